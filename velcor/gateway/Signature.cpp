#include "../Signature.h"

#include <sodium.h>

#include <charconv>

#include "../GatewayKeys.h"
#include "../GatewayProtocol.h"
#include "Codec.h"

namespace velcor {

namespace p = protocol;

namespace {
constexpr const char* kBadFormat = "서명 형식이 올바르지 않습니다";
constexpr const char* kBadKey = "등록된 인증서 공개키가 올바르지 않습니다";
constexpr const char* kBadSignature = "서명이 올바르지 않습니다";
constexpr const char* kBadTime = "서명 시각이 허용 범위를 벗어났습니다";

bool isCertId(std::string_view s)
{
    if (s.size() != p::kCertIdLength)
        return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

bool parseTimestamp(std::string_view s, std::int64_t& out)
{
    if (s.empty() || s.size() > 18)
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return std::from_chars(s.data(), s.data() + s.size(), out).ec == std::errc{};
}
} // namespace

std::string signatureMessage(std::string_view certId, std::int64_t timestamp, std::string_view sessionKey,
                             std::string_view data)
{
    std::string m(p::kSignatureDomain);
    m += '\n';
    m += certId;
    m += '\n';
    m += std::to_string(timestamp);
    m += '\n';
    m += sessionKey;
    m += '\n';
    m += data;
    return m;
}

std::string makeSignedText(const std::array<unsigned char, 64>& secretKey, std::string_view certId,
                           std::int64_t timestamp, std::string_view sessionKey, std::string_view data)
{
    codec::ensureSodium();
    const std::string m = signatureMessage(certId, timestamp, sessionKey, data);
    std::array<unsigned char, crypto_sign_BYTES> sig{};
    crypto_sign_detached(sig.data(), nullptr, reinterpret_cast<const unsigned char*>(m.data()), m.size(),
                         secretKey.data());
    std::string text(p::kSignaturePrefix);
    text += '.';
    text += certId;
    text += '.';
    text += std::to_string(timestamp);
    text += '.';
    text += codec::toBase64Url(sig.data(), sig.size());
    return text;
}

SignatureCheck verifySignature(std::string_view registeredPublicKey, std::string_view expectedData,
                               std::string_view signedText, std::string_view sessionKey, std::int64_t now,
                               std::int64_t maxAgeSeconds)
{
    SignatureCheck r;
    try {
        codec::ensureSodium();
        // "V1" "." id "." timestamp "." signature
        std::string_view parts[4];
        std::string_view rest = signedText;
        for (int i = 0; i < 3; ++i) {
            const auto dot = rest.find('.');
            if (dot == std::string_view::npos) {
                r.reason = kBadFormat;
                return r;
            }
            parts[i] = rest.substr(0, dot);
            rest.remove_prefix(dot + 1);
        }
        parts[3] = rest;
        codec::Bytes sig;
        if (signedText.size() > 256 || parts[0] != p::kSignaturePrefix || !isCertId(parts[1]) ||
            !parseTimestamp(parts[2], r.timestamp) || !codec::fromBase64Url(parts[3], sig) ||
            sig.size() != crypto_sign_BYTES) {
            r.reason = kBadFormat;
            r.timestamp = 0;
            return r;
        }
        r.certId = std::string(parts[1]);
        const auto pk = decodeKey32(registeredPublicKey);
        if (!pk) {
            r.reason = kBadKey;
            return r;
        }
        const std::string m = signatureMessage(r.certId, r.timestamp, sessionKey, expectedData);
        if (crypto_sign_verify_detached(sig.data(), reinterpret_cast<const unsigned char*>(m.data()), m.size(),
                                        pk->data()) != 0) {
            r.reason = kBadSignature;
            return r;
        }
        const std::int64_t distance = now >= r.timestamp ? now - r.timestamp : r.timestamp - now;
        if (maxAgeSeconds < 0 || distance > maxAgeSeconds) {
            r.reason = kBadTime;
            return r;
        }
        r.ok = true;
    } catch (...) {
        r = SignatureCheck{};
        r.reason = kBadFormat;
    }
    return r;
}

} // namespace velcor
