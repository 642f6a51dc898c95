#pragma once
// Signed texts of the engine's sign operation (format in GatewayProtocol.h). Qt-free.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velcor {

// The bytes that are signed.
std::string signatureMessage(std::string_view certId, std::int64_t timestamp, std::string_view sessionKey,
                             std::string_view data);

// Signs with an Ed25519 secret key; returns the signed text "V1.<id>.<ts>.<sig>".
std::string makeSignedText(const std::array<unsigned char, 64>& secretKey, std::string_view certId,
                           std::int64_t timestamp, std::string_view sessionKey, std::string_view data);

struct SignatureCheck {
    bool ok = false;
    std::string reason;     // Korean, when !ok
    std::string certId;     // the certificate id the text names (when parsable)
    std::int64_t timestamp = 0;
};

// bankd's check of a signed text: the registered public key of the user
// (standard base64, 44 characters), the data the client was asked to sign,
// the session key of the request that carries the text, the server's time
// (Unix seconds) and the largest accepted distance between the signature's
// time and now, in seconds (either direction).
SignatureCheck verifySignature(std::string_view registeredPublicKey, std::string_view expectedData,
                               std::string_view signedText, std::string_view sessionKey, std::int64_t now,
                               std::int64_t maxAgeSeconds);

} // namespace velcor
