#pragma once
// Small "key=value" line files of the velcor folder (internal): the gateway key
// file and the certificate files.
#include <map>
#include <string>

namespace velcor::kv {

// Reads at most maxBytes; false when the file is missing, too big or holds a
// line without "=" or a key twice.
bool read(const std::string& path, std::map<std::string, std::string>& out, std::size_t maxBytes = 16384);

// Writes the text to path with mode 0600 through a temporary file and rename,
// flushed to disk before it returns.
bool writePrivate(const std::string& path, const std::string& text, std::string* reason);

} // namespace velcor::kv
