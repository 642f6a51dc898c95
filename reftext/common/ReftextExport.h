#pragma once
// Classes of the reference text libraries are exported with default visibility
// so that callers built with any visibility preset resolve them.
#define TVPB_REFTEXT_EXPORT __attribute__((visibility("default")))
