#include "RequestScan.h"

#include <cctype>

namespace bankd {

namespace {

bool sameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

RequestScan refuse(int status)
{
    RequestScan r;
    r.state = RequestScan::Refused;
    r.status = status;
    return r;
}

} // namespace

RequestScan scanRequest(std::string_view bytes, std::size_t headerMax, std::size_t bodyMax)
{
    // Blank lines before a request line are allowed (and skipped by the parser).
    // The header block ends at an empty line, "\r\n" or a bare "\n".
    std::size_t lineStart = 0;
    std::size_t headerEnd = std::string_view::npos;
    bool sawRequestLine = false;
    std::size_t contentLength = 0;
    bool chunked = false;
    bool sawLength = false;
    RequestScan r;
    while (true) {
        std::size_t nl = bytes.find('\n', lineStart);
        if (nl == std::string_view::npos && bytes.size() <= headerMax)
            return RequestScan{};  // Incomplete
        if (nl == std::string_view::npos || nl >= headerMax)
            return refuse(sawRequestLine ? 431 : 414);
        std::string_view line = bytes.substr(lineStart, nl - lineStart);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::size_t next = nl + 1;
        if (line.empty()) {
            if (sawRequestLine) {
                headerEnd = next;
                break;
            }
        } else if (!sawRequestLine) {
            sawRequestLine = true;
        } else {
            std::size_t colon = line.find(':');
            std::string_view name = colon == std::string_view::npos ? line : line.substr(0, colon);
            std::string_view value = colon == std::string_view::npos ? std::string_view() : trim(line.substr(colon + 1));
            if (sameNoCase(name, "Content-Length")) {
                // A second length (which the parser might read differently) is refused.
                if (sawLength)
                    return refuse(400);
                sawLength = true;
                if (value.empty() || value.size() > 12 || value.find_first_not_of("0123456789") != std::string_view::npos)
                    return refuse(400);
                std::size_t n = 0;
                for (char c : value)
                    n = n * 10 + static_cast<std::size_t>(c - '0');
                contentLength = n;
            } else if (sameNoCase(name, "Transfer-Encoding")) {
                chunked = true;
            } else if (sameNoCase(name, "Expect") && sameNoCase(value, "100-continue")) {
                r.expectsContinue = true;
                r.expectLine = lineStart;
                r.expectLength = next - lineStart;
            }
        }
        lineStart = next;
    }
    if (chunked)
        return refuse(411);
    if (contentLength > bodyMax)
        return refuse(413);
    if (bytes.size() >= headerEnd + contentLength) {
        r.state = RequestScan::Complete;
        r.length = headerEnd + contentLength;
        r.expectsContinue = false;
        return r;
    }
    // Waiting for the body; "100 Continue" matters only when none of it has come.
    if (bytes.size() > headerEnd)
        r.expectsContinue = false;
    return r;
}

std::string emptyReply(int status)
{
    const char* reason = "Bad Request";
    switch (status) {
    case 408: reason = "Request Timeout"; break;
    case 411: reason = "Length Required"; break;
    case 413: reason = "Payload Too Large"; break;
    case 414: reason = "URI Too Long"; break;
    case 431: reason = "Request Header Fields Too Large"; break;
    case 503: reason = "Service Unavailable"; break;
    default: break;
    }
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

} // namespace bankd
