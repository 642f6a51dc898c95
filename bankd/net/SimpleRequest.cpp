#include "SimpleRequest.h"

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

std::optional<SimpleRequest> parseSimpleRequest(std::string_view request)
{
    constexpr std::string_view kGet = "GET ";
    constexpr std::string_view kPost = "POST ";
    constexpr std::string_view kVersion = " HTTP/1.1";
    constexpr std::string_view kFormType = "application/x-www-form-urlencoded";
    SimpleRequest r;
    r.post = request.substr(0, kPost.size()) == kPost;
    if (!r.post && request.substr(0, kGet.size()) != kGet)
        return std::nullopt;
    const std::size_t method = r.post ? kPost.size() : kGet.size();
    std::size_t end = request.find("\r\n");
    if (end == std::string_view::npos)
        return std::nullopt;
    std::string_view line = request.substr(0, end);
    if (line.size() > kLineMost || line.size() < method + kVersion.size() || line.substr(line.size() - kVersion.size()) != kVersion)
        return std::nullopt;
    std::string_view target = line.substr(method, line.size() - method - kVersion.size());
    // (A bare line feed ends the line there.)
    if (target.empty() || target.front() != '/' || target.find_first_of(" #\t\n") != std::string_view::npos)
        return std::nullopt;
    const std::size_t q = target.find('?');
    // A POST's parameters come from its body alone.
    if (r.post && q != std::string_view::npos)
        return std::nullopt;
    r.path = target.substr(0, q);
    r.query = q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
    bool seenIp = false, seenForwarded = false, seenConnection = false, seenType = false;
    std::size_t length = 0;
    bool seenLength = false;
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
        // The general parser percent-decodes header values: such a value
        // would be read differently there.
        if (value.find('%') != std::string_view::npos)
            return std::nullopt;
        // The first of a repeated header counts, as in the general parser,
        // which drops a header with no value.
        const bool known = sameName(name, "Connection") || sameName(name, "X-Real-IP") || sameName(name, "X-Forwarded-For");
        if (value.empty() && known)
            continue;
        if (sameName(name, "Connection")) {
            if (!seenConnection)
                r.close = value == "close";
            seenConnection = true;
        } else if (sameName(name, "X-Real-IP")) {
            if (!seenIp)
                r.realIp = value;
            seenIp = true;
        } else if (sameName(name, "X-Forwarded-For")) {
            if (!seenForwarded)
                r.forwardedFor = value;
            seenForwarded = true;
        } else if (r.post && sameName(name, "Content-Type") && !seenType && value == kFormType) {
            seenType = true;
        } else if (r.post && sameName(name, "Content-Length") && !seenLength && value.size() <= 5 &&
                   value.find_first_not_of("0123456789") == std::string_view::npos) {
            for (char c : value)
                length = length * 10 + static_cast<std::size_t>(c - '0');
            seenLength = true;
        } else {
            return std::nullopt;
        }
    }
    // The general parser hands header values on as C strings, cut at a NUL.
    if (request.substr(0, pos).find('\0') != std::string_view::npos)
        return std::nullopt;
    // A GET is exactly its head; a POST's body is what its length names.
    r.body = request.substr(pos);
    if (!r.post)
        return r.body.empty() ? std::optional<SimpleRequest>(r) : std::nullopt;
    if (!seenType || !seenLength || length != r.body.size() || r.body.size() > kSimpleFormMost)
        return std::nullopt;
    return r;
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
    // Other parameters, the general parser's "%uXXXX" escapes, and what it
    // reads differently (it keeps the text after a value's last '=', refuses
    // a target with a second '?', trims blanks) go its way.
    if (v.find_first_of("&=? \t") != std::string_view::npos || v.find("%u") != std::string_view::npos)
        return std::nullopt;
    return percentDecode(v, true);
}

} // namespace bankd
