#pragma once
// Argon2id password hashes (libsodium crypto_pwhash_str). The cost is chosen
// when a hash is made; verification reads it from the stored string.
#include <cstddef>
#include <string>
#include <string_view>

namespace bankd {

struct HashCost {
    unsigned long long opslimit;
    std::size_t memlimit;
    // Argon2id with t=2 and 19 MiB: the usual recommendation for logins; a
    // login then costs tens of milliseconds rather than libsodium's 64 MiB
    // "interactive" setting's hundreds under load.
    static HashCost standard();
    static HashCost minimal();  // tests only
};

// Passwords are compared as the client sends them: ASCII letters in upper case.
std::string normalisePassword(std::string_view password);

std::string hashPassword(std::string_view password, const HashCost& cost);
bool verifyPassword(const std::string& hash, std::string_view password);

} // namespace bankd
