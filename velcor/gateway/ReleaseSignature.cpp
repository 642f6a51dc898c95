#include "../ReleaseSignature.h"

#include <sodium.h>

#include <map>

#include "../GatewayKeys.h"
#include "Codec.h"
#include "KeyValueFile.h"

namespace velcor {

std::string UpdateKeyPair::publicKeyBase64() const
{
    return codec::toBase64(publicKey.data(), publicKey.size());
}

UpdateKeyPair generateUpdateKeyPair()
{
    codec::ensureSodium();
    UpdateKeyPair k;
    crypto_sign_keypair(k.publicKey.data(), k.secretKey.data());
    return k;
}

bool saveUpdateKeyPair(const std::string& path, const UpdateKeyPair& keys, std::string* reason)
{
    std::string text = "public_key=" + keys.publicKeyBase64() + "\n";
    text += "secret_key=" + codec::toBase64(keys.secretKey.data(), keys.secretKey.size()) + "\n";
    const bool ok = kv::writePrivate(path, text, reason);
    sodium_memzero(text.data(), text.size());
    return ok;
}

std::optional<UpdateKeyPair> loadUpdateKeyPair(const std::string& path, std::string* reason)
{
    codec::ensureSodium();
    std::map<std::string, std::string> values;
    if (!kv::read(path, values)) {
        if (reason) *reason = "cannot read the update key file " + path;
        return std::nullopt;
    }
    const auto pk = decodeKey32(values["public_key"]);
    codec::Bytes sk;
    const bool skOk = codec::fromBase64(values["secret_key"], sk) && sk.size() == 64;
    sodium_memzero(values["secret_key"].data(), values["secret_key"].size());
    UpdateKeyPair k;
    if (pk && skOk) {
        k.publicKey = *pk;
        std::copy(sk.begin(), sk.end(), k.secretKey.begin());
    }
    sodium_memzero(sk.data(), sk.size());
    // The public half must belong to the secret half.
    std::array<unsigned char, 32> derived{};
    if (!pk || !skOk || crypto_sign_ed25519_sk_to_pk(derived.data(), k.secretKey.data()) != 0 || derived != k.publicKey) {
        if (reason) *reason = "the update key file is malformed: " + path;
        return std::nullopt;
    }
    return k;
}

std::string releaseHashLine(std::string_view fileBytes, std::string_view name)
{
    codec::ensureSodium();
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(fileBytes.data()), fileBytes.size());
    char hex[2 * crypto_hash_sha256_BYTES + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return std::string(kReleaseHashPrefix) + hex + " " + std::string(name);
}

std::string signReleaseList(std::string_view body, const UpdateKeyPair& keys)
{
    codec::ensureSodium();
    unsigned char sig[crypto_sign_BYTES];
    crypto_sign_detached(sig, nullptr, reinterpret_cast<const unsigned char*>(body.data()), body.size(),
                         keys.secretKey.data());
    return std::string(kReleaseSignaturePrefix) + codec::toBase64(sig, sizeof sig) + "\n" + std::string(body);
}

std::optional<std::string> openReleaseList(std::string_view signedList, const std::array<unsigned char, 32>& publicKey)
{
    codec::ensureSodium();
    const size_t nl = signedList.find('\n');
    if (nl == std::string_view::npos || signedList.substr(0, kReleaseSignaturePrefix.size()) != kReleaseSignaturePrefix)
        return std::nullopt;
    std::string_view b64 = signedList.substr(kReleaseSignaturePrefix.size(), nl - kReleaseSignaturePrefix.size());
    while (!b64.empty() && (b64.back() == '\r' || b64.back() == ' ')) b64.remove_suffix(1);
    codec::Bytes sig;
    if (!codec::fromBase64(b64, sig) || sig.size() != crypto_sign_BYTES) return std::nullopt;
    const std::string_view body = signedList.substr(nl + 1);
    if (crypto_sign_verify_detached(sig.data(), reinterpret_cast<const unsigned char*>(body.data()), body.size(),
                                    publicKey.data()) != 0)
        return std::nullopt;
    return std::string(body);
}

} // namespace velcor
