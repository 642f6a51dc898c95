#pragma once
// A GET request simple enough to answer without the general HTTP parser:
// HTTP/1.1, no body, and only headers that change nothing in the answer
// except the connection's end and the client's address (Host, Accept,
// User-Agent, Connection, X-Real-IP, X-Forwarded-For). Anything else - other
// headers, a body, ranges, compression - is left to the general parser.
#include <optional>
#include <string>
#include <string_view>

namespace bankd {

struct SimpleGet {
    std::string_view path;   // the target before '?'
    std::string_view query;  // after '?'
    std::string_view realIp;
    std::string_view forwardedFor;
    bool close = false;      // "Connection: close"
};

// request: one whole request (line, headers, blank line).
std::optional<SimpleGet> parseSimpleGet(std::string_view request);

// Percent escapes ("%2B" ...) decoded, '+' a blank when plusIsBlank; a
// broken escape is kept as it is.
std::string percentDecode(std::string_view s, bool plusIsBlank);

// The value of a query that is exactly "name=value", decoded as the general
// parser decodes query values ('+' a blank, %XX a byte); nullopt for any
// other query (more parameters, %u escapes, a fragment).
std::optional<std::string> soleQueryValue(std::string_view query, std::string_view name);

} // namespace bankd
