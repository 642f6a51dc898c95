#pragma once
// The bank code table the clients use (code and name): the server names the
// deposit bank of a transfer from the code the client sends.
#include <string>

namespace bankd::banks {

inline constexpr const char* kOwnBank = "20";  // 타브린은행

// The bank's name, empty for a code not in the table.
std::string nameOf(const std::string& code);

} // namespace bankd::banks
