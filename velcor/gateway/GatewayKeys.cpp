#include "../GatewayKeys.h"

#include <sodium.h>

#include "Codec.h"
#include "KeyValueFile.h"

namespace velcor {

std::string GatewayKeyPair::publicKeyBase64() const
{
    return codec::toBase64(publicKey.data(), publicKey.size());
}

GatewayKeyPair generateGatewayKeyPair()
{
    codec::ensureSodium();
    GatewayKeyPair k;
    crypto_kx_keypair(k.publicKey.data(), k.secretKey.data());
    return k;
}

bool saveGatewayKeyPair(const std::string& path, const GatewayKeyPair& keys, std::string* reason)
{
    std::string text = "public_key=" + keys.publicKeyBase64() + "\n";
    text += "secret_key=" + codec::toBase64(keys.secretKey.data(), keys.secretKey.size()) + "\n";
    const bool ok = kv::writePrivate(path, text, reason);
    sodium_memzero(text.data(), text.size());
    return ok;
}

std::optional<std::array<unsigned char, 32>> decodeKey32(std::string_view base64)
{
    codec::Bytes b;
    if (base64.size() != 44 || !codec::fromBase64(base64, b) || b.size() != 32)
        return std::nullopt;
    std::array<unsigned char, 32> k{};
    std::copy(b.begin(), b.end(), k.begin());
    return k;
}

std::optional<GatewayKeyPair> loadGatewayKeyPair(const std::string& path, std::string* reason)
{
    codec::ensureSodium();
    std::map<std::string, std::string> values;
    if (!kv::read(path, values)) {
        if (reason)
            *reason = "게이트웨이 키 파일을 읽을 수 없습니다: " + path;
        return std::nullopt;
    }
    const auto pk = decodeKey32(values["public_key"]);
    const auto sk = decodeKey32(values["secret_key"]);
    sodium_memzero(values["secret_key"].data(), values["secret_key"].size());
    if (!pk || !sk) {
        if (reason)
            *reason = "게이트웨이 키 파일의 형식이 올바르지 않습니다: " + path;
        return std::nullopt;
    }
    GatewayKeyPair k;
    k.publicKey = *pk;
    k.secretKey = *sk;
    std::array<unsigned char, 32> derived{};
    if (crypto_scalarmult_base(derived.data(), k.secretKey.data()) != 0 || derived != k.publicKey) {
        if (reason)
            *reason = "게이트웨이 공개키와 비밀키가 맞지 않습니다: " + path;
        return std::nullopt;
    }
    return k;
}

} // namespace velcor
