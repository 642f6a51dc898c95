#pragma once
// The client's envelope readers, written from the client's rules (tag search,
// items each ended by their separator, trimmed), so tests check what the
// client will read, not what the writer meant.
#include <string>

namespace bankd::test {

inline std::string trimmed(const std::string& s)
{
    const char* ws = " \t\r\n\v\f";
    size_t a = s.find_first_not_of(ws);
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(ws) - a + 1);
}

inline std::string xParse(const std::string& text, const std::string& tag)
{
    std::string open = "<" + tag + ">";
    size_t a = text.find(open);
    if (a == std::string::npos)
        return {};
    size_t c = text.find("</" + tag + ">", a + open.size());
    if (c == std::string::npos)
        return {};
    return trimmed(text.substr(a + open.size(), c - a - open.size()));
}

inline std::string xParsedItem(const std::string& text, unsigned n, const std::string& sep)
{
    size_t start = 0;
    size_t end = 0;
    for (unsigned i = 1;; ++i) {
        end = text.find(sep, start);
        if (i == n)
            break;
        if (end == std::string::npos) {
            start = 0;  // the count starts again at the beginning
            continue;
        }
        start = end + sep.size();
    }
    if (end == std::string::npos)
        return {};
    return trimmed(text.substr(start, end - start));
}

inline std::string tagValue(const std::string& data, const std::string& tag, unsigned field, unsigned record = 1)
{
    std::string content = xParse(data, tag);
    if (content.empty())
        return {};
    if (record == 1)
        return xParsedItem(content, field, ";");
    std::string rec = xParsedItem(content, record, "|");
    return rec.empty() ? std::string() : xParsedItem(rec, field, ";");
}

inline bool existRecord(const std::string& data, const std::string& tag, unsigned record)
{
    return !xParsedItem(xParse(data, tag), record, "|").empty();
}

inline std::string msgCode(const std::string& reply)
{
    return xParsedItem(xParse(xParse(reply, "DataTag"), "msg"), 1, ";");
}

inline std::string msgText(const std::string& reply)
{
    return xParsedItem(xParse(xParse(reply, "DataTag"), "msg"), 2, ";");
}

} // namespace bankd::test
