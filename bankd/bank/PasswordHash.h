#pragma once
// Argon2id password hashes (libsodium crypto_pwhash_str). The cost is chosen
// when a hash is made; verification reads it from the stored string.
#include <cstddef>
#include <cstdint>
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

// The same verification against a hash made once (per cost) of a random
// password: a login with an unknown user ID does the work of a known one, so
// the time of the answer does not tell which IDs exist. Always false.
bool verifyAgainstDecoy(std::string_view password, const HashCost& cost);

// Verifications run so far in this process, and the cost part of the hash the
// calling thread verified last ("$argon2id$v=19$m=19456,t=2,p=1"): what a
// path's hash work was, seen without timing it.
std::uint64_t passwordVerifications();
std::string lastVerifiedCost();

} // namespace bankd
