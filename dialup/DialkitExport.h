#pragma once
#if defined(TVPB_DIALKIT_BUILD)
#define DIALKIT_EXPORT __attribute__((visibility("default")))
#else
#define DIALKIT_EXPORT
#endif

// The suite's success flag: non-zero is success.
typedef int BOOL;
