#pragma once
#if defined(TVPB_WEBFETCH_BUILD)
#define WEBFETCH_EXPORT __attribute__((visibility("default")))
#else
#define WEBFETCH_EXPORT
#endif
