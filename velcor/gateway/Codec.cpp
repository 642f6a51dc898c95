#include "Codec.h"

#include <cstring>

#include <sodium.h>

#include "../GatewayProtocol.h"
#include "Reasons.h"

namespace velcor::codec {

namespace p = velcor::protocol;

bool ensureSodium()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}

// Plain table encoding: what is encoded here is public (keys, sealed boxes),
// so libsodium's constant-time encoder buys nothing on this path.
static std::string encode(const unsigned char* data, std::size_t size, int variant)
{
    const bool urlSafe = variant == sodium_base64_VARIANT_URLSAFE_NO_PADDING;
    const char* alphabet = urlSafe ? "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"
                                   : "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    // The two letters of every 12-bit value, so that three bytes take two lookups.
    struct LetterPairs {
        char t[4096][2];
        explicit LetterPairs(const char* a)
        {
            for (unsigned i = 0; i < 4096; ++i) {
                t[i][0] = a[i >> 6];
                t[i][1] = a[i & 63];
            }
        }
    };
    static const LetterPairs standardPairs("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    static const LetterPairs urlSafePairs("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_");
    const LetterPairs& pairs = urlSafe ? urlSafePairs : standardPairs;
    const std::size_t whole = size / 3 * 3;
    const std::size_t rest = size - whole;
    std::string out((size + 2) / 3 * 4, '\0');
    char* o = out.data();
    for (std::size_t i = 0; i < whole; i += 3) {
        const unsigned v = (unsigned{data[i]} << 16) | (unsigned{data[i + 1]} << 8) | data[i + 2];
        std::memcpy(o, pairs.t[v >> 12], 2);
        std::memcpy(o + 2, pairs.t[v & 4095], 2);
        o += 4;
    }
    if (rest > 0) {
        const unsigned v = (unsigned{data[whole]} << 16) | (rest == 2 ? unsigned{data[whole + 1]} << 8 : 0u);
        *o++ = alphabet[v >> 18];
        *o++ = alphabet[(v >> 12) & 63];
        if (rest == 2)
            *o++ = alphabet[(v >> 6) & 63];
        else if (!urlSafe)
            *o++ = '=';
        if (!urlSafe)
            *o++ = '=';
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

// Canonical base64 only, decoded by table (what is decoded here is public:
// keys and sealed boxes). Refused: any byte outside the alphabet (libsodium
// 1.0.18 took bytes above 127 for letters, which would let two texts name the
// same key), padding that is missing, misplaced or present in the unpadded
// variant, a length no encoding has, and non-zero bits after the last byte.
static bool decode(std::string_view text, Bytes& out, bool urlSafe)
{
    struct Table {
        signed char v[2][256];
        Table()
        {
            const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
            for (auto& row : v)
                for (auto& x : row)
                    x = -1;
            for (int i = 0; i < 62; ++i)
                v[0][static_cast<unsigned char>(letters[i])] = v[1][static_cast<unsigned char>(letters[i])] =
                    static_cast<signed char>(i);
            v[0][static_cast<unsigned char>('+')] = 62;
            v[0][static_cast<unsigned char>('/')] = 63;
            v[1][static_cast<unsigned char>('-')] = 62;
            v[1][static_cast<unsigned char>('_')] = 63;
        }
    };
    static const Table table;
    const signed char* v = table.v[urlSafe ? 1 : 0];
    out.clear();
    std::size_t n = text.size();
    if (!urlSafe) {
        // Padded to whole groups of four, with at most two '=' (a third is
        // left to the table, which refuses it).
        if (n % 4 != 0)
            return false;
        std::size_t pad = 0;
        while (pad < 2 && pad < n && text[n - 1 - pad] == '=')
            ++pad;
        n -= pad;
    }
    if (n % 4 == 1)
        return false;
    out.resize(n / 4 * 3 + (n % 4 == 0 ? 0 : n % 4 - 1));
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    unsigned char* o = out.data();
    int bad = 0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const int a = v[in[i]], b = v[in[i + 1]], c = v[in[i + 2]], d = v[in[i + 3]];
        bad |= a | b | c | d;
        const unsigned w = (unsigned(a) << 18) | (unsigned(b) << 12) | (unsigned(c) << 6) | unsigned(d);
        *o++ = static_cast<unsigned char>(w >> 16);
        *o++ = static_cast<unsigned char>(w >> 8);
        *o++ = static_cast<unsigned char>(w);
    }
    if (const std::size_t rest = n - i; rest > 0) {
        const int a = v[in[i]], b = v[in[i + 1]], c = rest == 3 ? v[in[i + 2]] : 0;
        bad |= a | b | c;
        const unsigned w = (unsigned(a) << 18) | (unsigned(b) << 12) | (unsigned(c) << 6);
        *o++ = static_cast<unsigned char>(w >> 16);
        if (rest == 3)
            *o++ = static_cast<unsigned char>(w >> 8);
        // The bits after the last whole byte must be zero (one text per value).
        if ((w & (rest == 3 ? 0xFFu : 0xFFFFu)) != 0)
            bad = -1;
    }
    if (bad < 0) {
        out.clear();
        return false;
    }
    return true;
}

std::string toBase64(const unsigned char* data, std::size_t size)
{
    return encode(data, size, sodium_base64_VARIANT_ORIGINAL);
}

bool fromBase64(std::string_view text, Bytes& out)
{
    return decode(text, out, false);
}

std::string toBase64Url(const unsigned char* data, std::size_t size)
{
    return encode(data, size, sodium_base64_VARIANT_URLSAFE_NO_PADDING);
}

bool fromBase64Url(std::string_view text, Bytes& out)
{
    return decode(text, out, true);
}

void putCounter(Bytes& out, std::uint64_t counter)
{
    for (int i = 7; i >= 0; --i)
        out.push_back(static_cast<unsigned char>(counter >> (8 * i)));
}

std::uint64_t readCounter(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | p[i];
    return v;
}

Bytes requestAd(std::string_view label, const unsigned char* clientPk)
{
    Bytes ad(label.begin(), label.end());
    ad.insert(ad.end(), clientPk, clientPk + 32);
    return ad;
}

Bytes replyAd(const unsigned char* clientPk, std::uint64_t counter, const std::array<unsigned char, 32>& requestHash,
              std::string_view label)
{
    Bytes ad(label.begin(), label.end());
    ad.insert(ad.end(), clientPk, clientPk + 32);
    putCounter(ad, counter);
    ad.insert(ad.end(), requestHash.begin(), requestHash.end());
    return ad;
}

std::array<unsigned char, 32> hashRequest(const Bytes& decoded)
{
    std::array<unsigned char, 32> h{};
    crypto_generichash(h.data(), h.size(), decoded.data(), decoded.size(), nullptr, 0);
    return h;
}

std::array<unsigned char, 32> hashRequest(const Split& split)
{
    std::array<unsigned char, 32> h{};
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, h.size());
    crypto_generichash_update(&state, split.clientPk.data(), split.clientPk.size());
    crypto_generichash_update(&state, split.box.data(), split.box.size());
    crypto_generichash_final(&state, h.data(), h.size());
    return h;
}

Bytes seal(const unsigned char* key, const Bytes& ad, const unsigned char* plain, std::size_t size)
{
    constexpr std::size_t nonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    Bytes box(nonceBytes + size + crypto_aead_xchacha20poly1305_ietf_ABYTES);
    randombytes_buf(box.data(), nonceBytes);
    unsigned long long clen = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(box.data() + nonceBytes, &clen, plain, size, ad.data(), ad.size(),
                                               nullptr, box.data(), key);
    box.resize(nonceBytes + clen);
    return box;
}

bool open(const unsigned char* key, const Bytes& ad, const unsigned char* box, std::size_t size, Bytes& plain)
{
    constexpr std::size_t nonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    constexpr std::size_t tagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
    if (size < nonceBytes + tagBytes)
        return false;
    plain.assign(size - nonceBytes - tagBytes, 0);
    unsigned long long mlen = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &mlen, nullptr, box + nonceBytes, size - nonceBytes,
                                                   ad.data(), ad.size(), box, key) != 0) {
        plain.clear();
        return false;
    }
    plain.resize(mlen);
    return true;
}

std::string splitMessage(std::string_view text, Split& out)
{
    if (text.empty())
        return reason::kEmpty;
    if (text.size() > p::kMaxCipherTextLength)
        return reason::kTooLong;
    if (text.size() <= p::kSessionKeyLength)
        return reason::kMalformed;
    Bytes pk;
    if (!fromBase64(text.substr(0, p::kSessionKeyLength), pk) || pk.size() != 32)
        return reason::kMalformed;
    // The session key names the session: only the one text of the key may do so.
    if (toBase64(pk) != text.substr(0, p::kSessionKeyLength))
        return reason::kMalformed;
    if (!fromBase64(text.substr(p::kSessionKeyLength), out.box))
        return reason::kMalformed;
    constexpr std::size_t minBox = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES +
                                   crypto_aead_xchacha20poly1305_ietf_ABYTES + p::kCounterBytes;
    if (out.box.size() < minBox)
        return reason::kMalformed;
    std::copy(pk.begin(), pk.end(), out.clientPk.begin());
    return {};
}

} // namespace velcor::codec
