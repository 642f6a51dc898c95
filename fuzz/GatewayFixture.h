#pragma once
// Fixed keys for the gateway fuzz targets and their seed generator: a gateway
// key pair and a few client key pairs made from constant seeds, and the sealing
// of any plain bytes as a request or end-session message of one of those
// clients (so that the fuzzer reaches what lies behind the authentication).
#include <sodium.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "GatewayKeys.h"
#include "GatewayProtocol.h"
#include "gateway/Codec.h"

namespace fuzz {

inline velcor::GatewayKeyPair gatewayKeys()
{
    velcor::codec::ensureSodium();
    std::array<unsigned char, crypto_kx_SEEDBYTES> seed{};
    seed.fill(0x47);
    velcor::GatewayKeyPair keys;
    crypto_kx_seed_keypair(keys.publicKey.data(), keys.secretKey.data(), seed.data());
    return keys;
}

struct FuzzClient {
    std::array<unsigned char, 32> pk{}, sk{}, rx{}, tx{};
    std::string sessionKey;

    explicit FuzzClient(unsigned char n)
    {
        const velcor::GatewayKeyPair gw = gatewayKeys();
        std::array<unsigned char, crypto_kx_SEEDBYTES> seed{};
        seed.fill(static_cast<unsigned char>(0xC0 + n));
        crypto_kx_seed_keypair(pk.data(), sk.data(), seed.data());
        if (crypto_kx_client_session_keys(rx.data(), tx.data(), pk.data(), sk.data(), gw.publicKey.data()) != 0)
            std::abort();
        sessionKey = velcor::codec::toBase64(pk.data(), pk.size());
    }

    // plain sealed as a request (end = false) or an end-session message.
    std::string seal(std::string_view plain, bool end) const
    {
        namespace p = velcor::protocol;
        const auto box = velcor::codec::seal(tx.data(), velcor::codec::requestAd(end ? p::kEndLabel : p::kRequestLabel, pk.data()),
                                             reinterpret_cast<const unsigned char*>(plain.data()), plain.size());
        return sessionKey + velcor::codec::toBase64(box);
    }
};

inline constexpr unsigned kClients = 3;

// The gateway's wall clock in the gateway target (Unix seconds), fixed so that
// the times inside stored requests stay within its window; the seed generator
// seals its requests at this time.
inline constexpr std::int64_t kFuzzWallTime = 1'733'000'000;

inline const FuzzClient& client(unsigned n)
{
    static const FuzzClient clients[kClients] = {FuzzClient(0), FuzzClient(1), FuzzClient(2)};
    return clients[n % kClients];
}

} // namespace fuzz
