#pragma once
// Code page 949 (Unified Hangul Code) <-> UTF-8 through glibc iconv "CP949"
// ("EUC-KR" lacks syllables such as 똠). Free of Qt: the bank server links it too;
// CodePage949Qt.h is the face for QString.
//
// Rules both directions keep:
// - a byte that is not part of a valid character of the source encoding becomes
//   one replacement ("?" in code page 949, U+FFFD in UTF-8), and conversion goes on
//   after it: nothing else of the text is lost;
// - a valid character that code page 949 cannot hold becomes one "?";
// - any number of threads may convert at once (each thread has its own converters).
#include <optional>
#include <string>
#include <string_view>

namespace cp949 {

// UTF-8 to code page 949.
std::string fromUtf8(std::string_view utf8);

// Code page 949 to UTF-8; invalid bytes become U+FFFD.
std::string toUtf8(std::string_view bytes);

// Code page 949 to UTF-8, or nothing when any byte is not valid code page 949.
std::optional<std::string> toUtf8Strict(std::string_view bytes);

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF, no sequence cut off at the end.
bool isValidUtf8(std::string_view text);

} // namespace cp949
