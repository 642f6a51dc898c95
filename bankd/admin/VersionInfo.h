#pragma once
// The updater's list of program files, DIR/download/TVPB_Version.info:
// code page 949 text, "\n"-ended lines, ";" starts a comment, every entry is
// "file name/version". The updater stops at the first empty line and does not
// read a last line without "\n", so every line written here ends with "\n".
// The list is signed with the bank's update key and names each file's SHA-256
// (velcor/ReleaseSignature.h); both are comment lines to the updater's reader.
#include <string>
#include <utility>
#include <vector>

#include "velcor/ReleaseSignature.h"

namespace bankd {

using VersionEntry = std::pair<std::string, std::string>;  // file name, version

std::vector<VersionEntry> readVersionInfo(const std::string& path);
// Writes the signed list: every entry's file must be in the list's folder (its
// hash is taken there). Replaces the file atomically, on disk before it returns.
void writeVersionInfo(const std::string& path, const std::vector<VersionEntry>& entries,
                      const velcor::UpdateKeyPair& key);
// A name the updater accepts: a plain file name of the program folder.
bool isPlainFileName(const std::string& name);
// Adds or replaces one entry, keeping the others in their order.
void setVersionEntry(std::vector<VersionEntry>& entries, const std::string& file, const std::string& version);

} // namespace bankd
