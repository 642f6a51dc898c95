#pragma once
// Argon2id password hashes (libsodium crypto_pwhash_str) for login passwords:
// the cost is chosen when a hash is made; verification reads it from the
// stored string. Short secrets (four-digit account passwords, card PINs) get
// a keyed hash instead: their strength is the failure lock, and a slow hash
// would only make every transfer a lever against the server's CPU.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bankd {

class SecretKeys;

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

// "$bk1$<salt>$<mac>": BLAKE2b keyed with the server's hash key over a random
// salt and the secret. Useless without the key file.
std::string hashShortSecret(std::string_view secret, const SecretKeys& keys);
bool isKeyedHash(const std::string& hash);
// Verifies a keyed hash or, for hashes made before keyed ones, an Argon2id one.
bool verifySecret(const std::string& hash, std::string_view secret, const SecretKeys& keys);

// The same verification against a hash made once (per cost) of a random
// password: a login with an unknown user ID does the work of a known one, so
// the time of the answer does not tell which IDs exist. Always false.
bool verifyAgainstDecoy(std::string_view password, const HashCost& cost);

// Verifications run so far in this process, and the cost part of the hash
// verified last in it, on any thread ("$argon2id$v=19$m=19456,t=2,p=1", or
// "$bk1$" for a keyed hash): what a path's hash work was, seen without
// timing it.
std::uint64_t passwordVerifications();
std::string lastVerifiedCost();

} // namespace bankd
