#pragma once
#include <string>
#include <string_view>

namespace bankd {

// An IPv4 or IPv6 address in its usual text form ("203.0.113.7", "2001:db8::1"),
// surrounding blanks allowed; empty when the text is not one.
std::string ipAddressText(std::string_view text);

} // namespace bankd
