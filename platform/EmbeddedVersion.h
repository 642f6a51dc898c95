#pragma once
// The version text the build embeds into every program and library:
// "TVPB-FILE-VERSION:" + letters, digits, ".", "-", "_" + a zero byte (room for a
// longer text follows as zero bytes). Qt-free, so bankd and the build tools read
// it the same way as the client.
#include <string>
#include <string_view>

namespace tvpbversion {

inline bool isVersionChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-' ||
           c == '_';
}

// The marker, assembled so that a binary holding this code does not carry it as
// one literal that could be mistaken for its own version.
inline std::string marker()
{
    return std::string("TVPB-FILE-") + "VERSION:";
}

// Where the first real version text of data starts and how long it is; false
// when there is none.
inline bool find(std::string_view data, size_t* start, size_t* length)
{
    const std::string m = marker();
    for (size_t at = data.find(m); at != std::string_view::npos; at = data.find(m, at + 1)) {
        size_t end = at + m.size();
        while (end < data.size() && isVersionChar(data[end])) ++end;
        if (end > at + m.size() && end < data.size() && data[end] == '\0') {
            *start = at + m.size();
            *length = end - *start;
            return true;
        }
    }
    return false;
}

// The version text of data; empty when there is none.
inline std::string read(std::string_view data)
{
    size_t start = 0, length = 0;
    return find(data, &start, &length) ? std::string(data.substr(start, length)) : std::string();
}

} // namespace tvpbversion
