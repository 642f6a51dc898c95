#pragma once
// The data folder's settings file, DIR/bankd.ini (written by `bankd init`;
// a folder without one runs on the defaults):
//   [rate_limits]  window_seconds, per_address, per_session, per_user,
//                  per_account, per_resident (requests per window; 0: none)
//   [front]        trusted_fronts (addresses whose X-Real-IP names the client),
//                  connections_per_address, max_connections, request_seconds
//   [database]     postgres: a libpq connection string; the bank's database
//                  is then in PostgreSQL instead of DIR/bankd.db
#include <set>
#include <string>

#include "RateLimiter.h"

namespace bankd {

// The HTTP front's limits (see ServerOptions).
struct FrontSettings {
    std::set<std::string> trustedFronts;
    int connectionsPerAddress = 100;
    int maxConnections = 1000;
    int requestSeconds = 10;
};

struct Settings {
    RateLimits rateLimits;
    FrontSettings front;
    std::string postgres;  // empty: the SQLite file of the data folder
};

// Reads the file; a missing file gives the defaults. Throws DataFolderError
// naming the key of a value that is not a whole number in range (or, in
// trusted_fronts, not an IP address).
Settings readSettings(const std::string& path);
// Writes the defaults with their explanation (a new data folder), with the
// PostgreSQL database when one is given (the file is then the server's
// alone, mode 0600: the connection string may hold a password).
void writeDefaultSettings(const std::string& path, const std::string& postgres = {});

} // namespace bankd
