#pragma once
// Internal to the platform library: the application-wide filter that discards
// Enter and Escape key-downs aimed at the suite's screens and pop-ups.

namespace platform {

// Installs the filter once per application (later calls do nothing).
void installKeyGuard();

} // namespace platform
