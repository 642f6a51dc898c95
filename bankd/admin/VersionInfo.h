#pragma once
// The updater's list of program files, DIR/download/TVPB_Version.info:
// code page 949 text, "\n"-ended lines, ";" starts a comment, every entry is
// "file name/version". The updater stops at the first empty line and does not
// read a last line without "\n", so every line written here ends with "\n".
#include <string>
#include <utility>
#include <vector>

namespace bankd {

using VersionEntry = std::pair<std::string, std::string>;  // file name, version

std::vector<VersionEntry> readVersionInfo(const std::string& path);
void writeVersionInfo(const std::string& path, const std::vector<VersionEntry>& entries);
// Adds or replaces one entry, keeping the others in their order.
void setVersionEntry(std::vector<VersionEntry>& entries, const std::string& file, const std::string& version);

} // namespace bankd
