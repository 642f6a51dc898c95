#include "PasswordHash.h"

#include <atomic>
#include <map>
#include <mutex>
#include <sodium.h>
#include <stdexcept>
#include <utility>

#include "SecretKeys.h"

namespace bankd {

namespace {
std::atomic<std::uint64_t> gVerifications{0};
std::mutex gLastCostMutex;
std::string gLastCost;

void noteCost(std::string cost)
{
    std::lock_guard<std::mutex> lock(gLastCostMutex);
    gLastCost = std::move(cost);
}

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
    noteCost(costOf(hash));
    std::string p = normalisePassword(password);
    bool ok = crypto_pwhash_str_verify(hash.c_str(), p.data(), p.size()) == 0;
    sodium_memzero(p.data(), p.size());
    return ok;
}

namespace {
constexpr const char* kKeyedPrefix = "$bk1$";
constexpr size_t kSaltBytes = 16;
constexpr size_t kMacBytes = 32;

std::string keyedMac(const unsigned char* salt, std::string_view secret, const SecretKeys& keys)
{
    std::string p = normalisePassword(secret);
    crypto_generichash_state st;
    crypto_generichash_init(&st, keys.hashKey().data(), keys.hashKey().size(), kMacBytes);
    crypto_generichash_update(&st, salt, kSaltBytes);
    crypto_generichash_update(&st, reinterpret_cast<const unsigned char*>(p.data()), p.size());
    unsigned char mac[kMacBytes];
    crypto_generichash_final(&st, mac, sizeof mac);
    sodium_memzero(p.data(), p.size());
    return std::string(reinterpret_cast<const char*>(mac), sizeof mac);
}

std::string hex(const unsigned char* p, size_t n)
{
    std::string out(n * 2 + 1, '\0');
    sodium_bin2hex(out.data(), out.size(), p, n);
    out.pop_back();
    return out;
}

bool unhex(std::string_view text, unsigned char* out, size_t n)
{
    size_t len = 0;
    return text.size() == n * 2 &&
           sodium_hex2bin(out, n, text.data(), text.size(), nullptr, &len, nullptr) == 0 && len == n;
}
} // namespace

std::string hashShortSecret(std::string_view secret, const SecretKeys& keys)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    unsigned char salt[kSaltBytes];
    randombytes_buf(salt, sizeof salt);
    std::string mac = keyedMac(salt, secret, keys);
    return kKeyedPrefix + hex(salt, sizeof salt) + "$" +
           hex(reinterpret_cast<const unsigned char*>(mac.data()), mac.size());
}

bool isKeyedHash(const std::string& hash)
{
    return hash.rfind(kKeyedPrefix, 0) == 0;
}

bool verifySecret(const std::string& hash, std::string_view secret, const SecretKeys& keys)
{
    if (!isKeyedHash(hash))
        return verifyPassword(hash, secret);
    if (sodium_init() < 0)
        return false;
    ++gVerifications;
    noteCost(kKeyedPrefix);
    std::string_view rest = std::string_view(hash).substr(std::char_traits<char>::length(kKeyedPrefix));
    size_t dollar = rest.find('$');
    unsigned char salt[kSaltBytes], mac[kMacBytes];
    if (dollar == std::string_view::npos || !unhex(rest.substr(0, dollar), salt, sizeof salt) ||
        !unhex(rest.substr(dollar + 1), mac, sizeof mac))
        return false;
    std::string expect = keyedMac(salt, secret, keys);
    return sodium_memcmp(expect.data(), mac, sizeof mac) == 0;
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
    std::lock_guard<std::mutex> lock(gLastCostMutex);
    return gLastCost;
}

} // namespace bankd
