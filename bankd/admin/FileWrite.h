#pragma once
// Files of the data folder replaced all at once: written to a temporary file
// beside the target (mode 0600), flushed to disk, then renamed over it, so a
// reader (the download host) sees the old file or the new one, never a part.
#include <string>

namespace bankd {

// Throws std::runtime_error when the file cannot be written.
void writeFileAtomically(const std::string& path, const std::string& bytes);

} // namespace bankd
