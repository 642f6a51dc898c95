#pragma once
#if defined(TVPB_LATTICE_BUILD)
#define LATTICE_EXPORT __attribute__((visibility("default")))
#else
#define LATTICE_EXPORT
#endif
