#include "PasswordHash.h"

#include <atomic>
#include <map>
#include <mutex>
#include <sodium.h>
#include <stdexcept>
#include <utility>

namespace bankd {

namespace {
std::atomic<std::uint64_t> gVerifications{0};
thread_local std::string tLastCost;

// "$argon2id$v=19$m=...,t=...,p=..." without the salt and the hash.
std::string costOf(const std::string& hash)
{
    std::size_t end = hash.size();
    for (int i = 0; i < 2 && end != std::string::npos && end > 0; ++i)
        end = hash.rfind('$', end - 1);
    return end == std::string::npos ? std::string() : hash.substr(0, end);
}
} // namespace

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
    ++gVerifications;
    tLastCost = costOf(hash);
    std::string p = normalisePassword(password);
    bool ok = crypto_pwhash_str_verify(hash.c_str(), p.data(), p.size()) == 0;
    sodium_memzero(p.data(), p.size());
    return ok;
}

bool verifyAgainstDecoy(std::string_view password, const HashCost& cost)
{
    if (sodium_init() < 0)
        return false;
    static std::mutex mutex;
    static std::map<std::pair<unsigned long long, std::size_t>, std::string> decoys;
    std::string decoy;
    {
        std::lock_guard lock(mutex);
        std::string& d = decoys[{cost.opslimit, cost.memlimit}];
        if (d.empty()) {
            unsigned char random[16];
            randombytes_buf(random, sizeof random);
            char hex[sizeof random * 2 + 1];
            sodium_bin2hex(hex, sizeof hex, random, sizeof random);
            d = hashPassword(hex, cost);
        }
        decoy = d;
    }
    verifyPassword(decoy, password);
    return false;
}

std::uint64_t passwordVerifications()
{
    return gVerifications.load();
}

std::string lastVerifiedCost()
{
    return tLastCost;
}

} // namespace bankd
