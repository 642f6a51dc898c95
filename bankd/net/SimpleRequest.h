#pragma once
// A request simple enough to answer without the general HTTP parser: the
// client's encrypted GET and its form POST. HTTP/1.1, and only headers that
// change nothing in the answer except the connection's end and the client's
// address (Host, Accept, User-Agent, Connection, X-Real-IP, X-Forwarded-For);
// a POST also names its body with Content-Type exactly
// application/x-www-form-urlencoded and a plain Content-Length, and its target
// has no query. Anything else - other headers, a GET with a body, a body of
// another type or over the general parser's form limit, ranges, compression,
// "Expect" - is left to the general parser.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace bankd {

struct SimpleRequest {
    bool post = false;
    std::string_view path;   // the target before '?'
    std::string_view query;  // after '?'
    std::string_view body;   // a POST's form
    std::string_view realIp;
    std::string_view forwardedFor;
    bool close = false;      // "Connection: close"
};

// The largest form body the general parser reads (it refuses a longer one).
constexpr std::size_t kSimpleFormMost = 8192;

// request: one whole request (line, headers, blank line, the body its
// Content-Length names).
std::optional<SimpleRequest> parseSimpleRequest(std::string_view request);

// Percent escapes ("%2B" ...) decoded, '+' a blank when plusIsBlank; a
// broken escape is kept as it is.
std::string percentDecode(std::string_view s, bool plusIsBlank);

// The value of a query or form body that is exactly "name=value", decoded as
// the general parser decodes form values ('+' a blank, %XX a byte); nullopt
// for any other text (more parameters, a second '=' or '?', blanks it would
// trim, %u escapes).
std::optional<std::string> soleQueryValue(std::string_view query, std::string_view name);

} // namespace bankd
