#pragma once
// The data folder's settings file, DIR/bankd.ini (written by `bankd init`;
// a folder without one runs on the defaults):
//   [rate_limits]  window_seconds, per_address, per_session, per_user,
//                  per_account, per_resident (requests per window; 0: none)
#include <string>

#include "RateLimiter.h"

namespace bankd {

struct Settings {
    RateLimits rateLimits;
};

// Reads the file; a missing file gives the defaults. Throws DataFolderError
// naming the key of a value that is not a whole number in range.
Settings readSettings(const std::string& path);
// Writes the defaults with their explanation (a new data folder).
void writeDefaultSettings(const std::string& path);

} // namespace bankd
