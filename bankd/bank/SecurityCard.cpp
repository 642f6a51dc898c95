#include "SecurityCard.h"

#include <cstdio>
#include <sodium.h>
#include <stdexcept>

namespace bankd {

SecurityCard generateSecurityCard()
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    SecurityCard card;
    for (auto& cell : card) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(randombytes_uniform(10000)));
        cell = buf;
    }
    return card;
}

std::string formatSecurityCard(const SecurityCard& card)
{
    std::string out;
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
            int n = row * 5 + col + 1;
            char buf[32];
            std::snprintf(buf, sizeof buf, "%s[%2d] %s", col ? "  " : "", n, card[static_cast<size_t>(n - 1)].c_str());
            out += buf;
        }
        out += '\n';
    }
    return out;
}

} // namespace bankd
