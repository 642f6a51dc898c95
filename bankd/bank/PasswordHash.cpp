#include "PasswordHash.h"

#include <sodium.h>
#include <stdexcept>

namespace bankd {

HashCost HashCost::standard()
{
    return {2, 19u * 1024u * 1024u};
}

HashCost HashCost::minimal()
{
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

std::string normalisePassword(std::string_view password)
{
    std::string s(password);
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string hashPassword(std::string_view password, const HashCost& cost)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    std::string p = normalisePassword(password);
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, p.data(), p.size(), cost.opslimit, cost.memlimit, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("password hashing ran out of memory");
    sodium_memzero(p.data(), p.size());
    return out;
}

bool verifyPassword(const std::string& hash, std::string_view password)
{
    if (sodium_init() < 0)
        return false;
    std::string p = normalisePassword(password);
    bool ok = crypto_pwhash_str_verify(hash.c_str(), p.data(), p.size()) == 0;
    sodium_memzero(p.data(), p.size());
    return ok;
}

} // namespace bankd
