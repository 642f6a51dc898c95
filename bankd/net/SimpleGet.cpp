#include "SimpleGet.h"

#include <array>

namespace bankd {

namespace {

// Longer lines go to the general parser, which holds them to its own limits.
constexpr std::size_t kLineMost = 4096;

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

int hex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::optional<SimpleGet> parseSimpleGet(std::string_view request)
{
    constexpr std::string_view kGet = "GET ";
    constexpr std::string_view kVersion = " HTTP/1.1";
    if (request.substr(0, kGet.size()) != kGet)
        return std::nullopt;
    std::size_t end = request.find("\r\n");
    if (end == std::string_view::npos)
        return std::nullopt;
    std::string_view line = request.substr(0, end);
    if (line.size() > kLineMost || line.size() < kGet.size() + kVersion.size() || line.substr(line.size() - kVersion.size()) != kVersion)
        return std::nullopt;
    std::string_view target = line.substr(kGet.size(), line.size() - kGet.size() - kVersion.size());
    if (target.empty() || target.front() != '/' || target.find_first_of(" #\t") != std::string_view::npos)
        return std::nullopt;
    SimpleGet g;
    const std::size_t q = target.find('?');
    g.path = target.substr(0, q);
    g.query = q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
    bool seenIp = false, seenForwarded = false, seenConnection = false;
    std::size_t pos = end + 2;
    for (;;) {
        end = request.find("\r\n", pos);
        if (end == std::string_view::npos)
            return std::nullopt;
        std::string_view h = request.substr(pos, end - pos);
        pos = end + 2;
        if (h.size() > kLineMost)
            return std::nullopt;
        if (h.empty())
            break;
        const std::size_t colon = h.find(':');
        if (colon == std::string_view::npos || colon == 0 || h.find('\n') != std::string_view::npos)
            return std::nullopt;
        const std::string_view name = h.substr(0, colon);
        const std::string_view value = trim(h.substr(colon + 1));
        if (name.find_first_of(" \t") != std::string_view::npos)
            return std::nullopt;
        if (sameName(name, "Host") || sameName(name, "Accept") || sameName(name, "User-Agent"))
            continue;
        // The first of a repeated header counts, as in the general parser.
        if (sameName(name, "Connection")) {
            if (!seenConnection)
                g.close = value == "close";
            seenConnection = true;
        } else if (sameName(name, "X-Real-IP")) {
            if (!seenIp)
                g.realIp = value;
            seenIp = true;
        } else if (sameName(name, "X-Forwarded-For")) {
            if (!seenForwarded)
                g.forwardedFor = value;
            seenForwarded = true;
        } else {
            return std::nullopt;
        }
    }
    // Nothing may follow the blank line: a whole request is exactly its head.
    if (pos != request.size())
        return std::nullopt;
    return g;
}

std::string percentDecode(std::string_view s, bool plusIsBlank)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2])));
            i += 2;
        } else {
            out.push_back(plusIsBlank && s[i] == '+' ? ' ' : s[i]);
        }
    }
    return out;
}

std::optional<std::string> soleQueryValue(std::string_view query, std::string_view name)
{
    if (query.size() <= name.size() || query.substr(0, name.size()) != name || query[name.size()] != '=')
        return std::nullopt;
    const std::string_view v = query.substr(name.size() + 1);
    // Other parameters, and the general parser's "%uXXXX" escapes, go its way.
    if (v.find('&') != std::string_view::npos || v.find("%u") != std::string_view::npos)
        return std::nullopt;
    return percentDecode(v, true);
}

} // namespace bankd
