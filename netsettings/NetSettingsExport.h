#pragma once
#if defined(TVPB_NETSETTINGS_BUILD)
#define NETSETTINGS_EXPORT __attribute__((visibility("default")))
#else
#define NETSETTINGS_EXPORT
#endif
