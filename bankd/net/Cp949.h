#pragma once
// Code page 949 on the wire, UTF-8 inside bankd; glibc iconv "CP949" (not
// "EUC-KR", which lacks syllables such as 똠).
#include <optional>
#include <string>
#include <string_view>

namespace bankd {

// UTF-8 to CP949. A character CP949 cannot hold becomes "?"; invalid UTF-8
// bytes become "?" as well, so the result is always well-formed CP949.
std::string utf8ToCp949(std::string_view utf8);

// CP949 to UTF-8; empty when the bytes are not valid CP949.
std::optional<std::string> cp949ToUtf8(std::string_view cp949);

bool isValidUtf8(std::string_view text);

} // namespace bankd
