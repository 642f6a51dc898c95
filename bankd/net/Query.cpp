#include "Query.h"

#include <algorithm>

#include "CodePage949.h"

namespace bankd {

namespace {
bool validKey(std::string_view k)
{
    if (k.empty() || k.size() > 32)
        return false;
    for (char c : k)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

bool hasControl(std::string_view v)
{
    for (char c : v) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return true;
    }
    return false;
}

bool refuse(std::string* reason, const char* why)
{
    if (reason)
        *reason = why;
    return false;
}
} // namespace

std::string decodeValue(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size() && raw[i + 1] == '2' && (raw[i + 2] == '5' || raw[i + 2] == '6')) {
            out.push_back(raw[i + 2] == '5' ? '%' : '&');
            i += 2;
        } else {
            out.push_back(raw[i]);
        }
    }
    return out;
}

std::optional<Query> Query::parse(std::string_view text, std::string* reason)
{
    Query q;
    auto fail = [&](const char* why) {
        refuse(reason, why);
        return std::optional<Query>();
    };
    if (text.empty())
        return fail("empty query");
    if (text.size() > kMaxLength)
        return fail("query too long");
    if (!cp949::isValidUtf8(text))
        return fail("query is not valid text");
    const auto pairs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '&')) + 1;
    q.pairs_.reserve(std::min<std::size_t>(pairs, 16));
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t amp = text.find('&', pos);
        std::string_view pair = text.substr(pos, amp == std::string_view::npos ? std::string_view::npos : amp - pos);
        // A trailing "&" is tolerated; an empty pair in the middle is not.
        if (pair.empty() && amp == std::string_view::npos && !q.pairs_.empty())
            break;
        size_t eq = pair.find('=');
        if (eq == std::string_view::npos)
            return fail("pair without '='");
        std::string_view key = pair.substr(0, eq);
        std::string_view raw = pair.substr(eq + 1);
        if (!validKey(key))
            return fail("bad key");
        if (hasControl(raw))
            return fail("control character in value");
        if (q.has(key))
            return fail("key given twice");
        q.pairs_.emplace_back(std::string(key), decodeValue(raw));
        if (amp == std::string_view::npos)
            break;
        pos = amp + 1;
    }
    return q;
}

bool Query::has(std::string_view key) const
{
    for (const auto& p : pairs_)
        if (p.first == key)
            return true;
    return false;
}

const std::string& Query::value(std::string_view key) const
{
    static const std::string empty;
    for (const auto& p : pairs_)
        if (p.first == key)
            return p.second;
    return empty;
}

} // namespace bankd
