#pragma once
#include <QString>

namespace harness {

// The TVPB_HOME of the running test (a fresh temporary folder per test).
QString testHome();

} // namespace harness
