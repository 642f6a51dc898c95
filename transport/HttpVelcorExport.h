#pragma once
// Symbols of libHttpVelcor.so that other libraries and programs may use.
#if defined(TVPB_HTTPVELCOR_BUILD)
#define HTTPVELCOR_EXPORT __attribute__((visibility("default")))
#else
#define HTTPVELCOR_EXPORT
#endif
