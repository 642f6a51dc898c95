#pragma once
// Security cards: 35 numbered cells of four random digits.
#include <string>

#include "Customers.h"

namespace bankd {

SecurityCard generateSecurityCard();
// A printable card: seven rows of five cells, "[ 1] 1234  [ 2] 5678 ...".
std::string formatSecurityCard(const SecurityCard& card);

} // namespace bankd
