#pragma once
// Small helpers shared by the load generator's modes: escaping a cipher text
// for a query string or form, and reading the reply envelope.
#include <string>
#include <vector>

namespace bankd::load {

// The client's escaping of a cipher text for "?q=" and the form body "q=".
inline std::string escapeCipher(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case ' ': out += "%20"; break;
        case '%': out += "%25"; break;
        case '&': out += "%26"; break;
        case '+': out += "%2B"; break;
        case '=': out += "%3D"; break;
        case '?': out += "%3F"; break;
        default: out += c;
        }
    }
    return out;
}

inline bool succeeded(const std::string& envelope)
{
    return envelope.find("<msg>10000;") != std::string::npos;
}

// The "CODE;TEXT" of the msg element (for error reports).
inline std::string messageOf(const std::string& envelope)
{
    size_t a = envelope.find("<msg>");
    size_t b = envelope.find("</msg>");
    if (a == std::string::npos || b == std::string::npos || b < a)
        return envelope.substr(0, 80);
    return envelope.substr(a + 5, b - a - 5);
}

// The fields of the single record of "<free0>", trimmed.
inline std::vector<std::string> free0Fields(const std::string& envelope)
{
    std::vector<std::string> out;
    size_t a = envelope.find("<free0>");
    size_t b = envelope.find("</free0>");
    if (a == std::string::npos || b == std::string::npos || b < a)
        return out;
    std::string rec = envelope.substr(a + 7, b - a - 7);
    size_t p = 0;
    for (size_t semi; (semi = rec.find(';', p)) != std::string::npos; p = semi + 1) {
        std::string f = rec.substr(p, semi - p);
        size_t s = f.find_first_not_of(' ');
        size_t e = f.find_last_not_of(' ');
        out.push_back(s == std::string::npos ? std::string() : f.substr(s, e - s + 1));
    }
    return out;
}

} // namespace bankd::load
