#pragma once
#if defined(TVPB_PLATFORM_BUILD)
#define TVPB_PLATFORM_EXPORT __attribute__((visibility("default")))
#else
#define TVPB_PLATFORM_EXPORT
#endif
