#include "Codec.h"

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
    const std::size_t whole = size / 3 * 3;
    const std::size_t rest = size - whole;
    std::string out((size + 2) / 3 * 4, '\0');
    char* o = out.data();
    for (std::size_t i = 0; i < whole; i += 3) {
        const unsigned v = (unsigned{data[i]} << 16) | (unsigned{data[i + 1]} << 8) | data[i + 2];
        *o++ = alphabet[v >> 18];
        *o++ = alphabet[(v >> 12) & 63];
        *o++ = alphabet[(v >> 6) & 63];
        *o++ = alphabet[v & 63];
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

static bool decode(std::string_view text, Bytes& out, int variant)
{
    // libsodium 1.0.18 takes bytes above 127 for letters of the alphabet, which
    // would let two texts name the same key; only the alphabet itself may pass.
    const bool urlSafe = variant == sodium_base64_VARIANT_URLSAFE_NO_PADDING;
    for (const char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        (urlSafe ? (c == '-' || c == '_') : (c == '+' || c == '/' || c == '='));
        if (!ok) {
            out.clear();
            return false;
        }
    }
    out.assign(text.size() / 4 * 3 + 3, 0);
    std::size_t len = 0;
    if (sodium_base642bin(out.data(), out.size(), text.data(), text.size(), nullptr, &len, nullptr, variant) != 0) {
        out.clear();
        return false;
    }
    out.resize(len);
    return true;
}

std::string toBase64(const unsigned char* data, std::size_t size)
{
    return encode(data, size, sodium_base64_VARIANT_ORIGINAL);
}

bool fromBase64(std::string_view text, Bytes& out)
{
    // Padding makes every standard base64 text a multiple of four characters.
    if (text.size() % 4 != 0)
        return false;
    return decode(text, out, sodium_base64_VARIANT_ORIGINAL);
}

std::string toBase64Url(const unsigned char* data, std::size_t size)
{
    return encode(data, size, sodium_base64_VARIANT_URLSAFE_NO_PADDING);
}

bool fromBase64Url(std::string_view text, Bytes& out)
{
    return decode(text, out, sodium_base64_VARIANT_URLSAFE_NO_PADDING);
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
