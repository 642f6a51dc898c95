#pragma once
// The gateway's long-term X25519 key pair: make, save, load (Qt-free).
#include <array>
#include <optional>
#include <string>

namespace velcor {

struct GatewayKeyPair {
    std::array<unsigned char, 32> publicKey{};
    std::array<unsigned char, 32> secretKey{};

    // Standard base64 of the public key (44 characters), as deploy.ini pins it.
    std::string publicKeyBase64() const;
};

// A fresh random key pair.
GatewayKeyPair generateGatewayKeyPair();

// Writes "public_key=<b64>\nsecret_key=<b64>\n" to path with mode 0600
// (replacing the file atomically). False and a reason on failure.
bool saveGatewayKeyPair(const std::string& path, const GatewayKeyPair& keys, std::string* reason = nullptr);

// Reads a file written by saveGatewayKeyPair; checks that the public key
// belongs to the secret key. Empty and a reason on failure.
std::optional<GatewayKeyPair> loadGatewayKeyPair(const std::string& path, std::string* reason = nullptr);

// Decodes a 44-character standard base64 key; empty unless exactly 32 bytes.
std::optional<std::array<unsigned char, 32>> decodeKey32(std::string_view base64);

} // namespace velcor
