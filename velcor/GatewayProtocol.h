#pragma once
// The wire formats shared by the Velcor engine (client half) and the gateway half.
// Qt-free; bankd, the engine and the tests all read the same constants.
//
// Keys
//   The gateway has a long-term X25519 key pair; clients pin its public key
//   (deploy.ini [bank] gateway_public_key, standard base64, 44 characters).
//   Per gate address the client makes an ephemeral X25519 key pair and derives
//   (rx, tx) with crypto_kx; the gateway derives the mirror pair. The standard
//   base64 of the client public key (44 characters) is the session key: it names
//   the session at the gateway and is the first 44 characters of every request.
//
// Request (client -> gateway; the "q=" value after URL-unescaping)
//   B64(client pk) || B64(nonce[24] || AEAD_c2s(counter[8] || time[8] || flag[1] || request UTF-8))
//   AEAD = XChaCha20-Poly1305-IETF with the client's tx key,
//   associated data = "VLC1-REQ" || client pk.
//   counter: big-endian, starts at 1, rises with every request of the session.
//   time: Unix seconds when sealed (big-endian, two's complement), by the
//   client's clock corrected by what the gateway told it; the gateway accepts
//   it only within its request window.
//   flag: 0x00 = engine path "/off", 0x01 = engine path "/on".
//
// Reply (gateway -> client; the whole HTTP body)
//   B64(nonce[24] || AEAD_s2c(envelope UTF-8))
//   associated data = "VLC1-REP" || client pk || counter[8] || H(request),
//   H(request) = BLAKE2b-256 (crypto_generichash) of the decoded request bytes
//   (client pk || nonce || sealed). A reply therefore opens only for the request
//   it answers, in its own session, and only once.
//
// Refusal: a request the gateway cannot open is answered with kErrorPrefix + a
//   Korean reason, in plain text. A request refused for its time only gets a
//   second line kClockPrefix + B64(nonce[24] || AEAD_s2c(gateway time[8])),
//   associated data = "VLC1-CLK" || client pk || counter[8] || H(request): the
//   gateway's time, which only that request's client can open.
//
// End session (client -> gateway: HTTP POST kEndSessionPath on
//   "http://" + server host, Content-Type text/plain, body:)
//   B64(client pk) || B64(nonce[24] || AEAD_c2s(counter[8] || kEndSessionMagic))
//   associated data = "VLC1-END" || client pk; the counter shares the request
//   sequence. Answer: HTTP 200 and a reply (format above, bound to the end
//   message) whose plain text is kEndSessionAck; or an HTTP error status with
//   kErrorPrefix + a Korean reason. The gateway forgets the session and refuses
//   its key from then on.
//
// Signature (the signed text the engine's sign operation returns)
//   "V1." certId "." timestamp "." B64URL(Ed25519 signature)   (no padding)
//   signed bytes = "VELCOR-SIGN-1\n" certId "\n" timestamp "\n" sessionKey "\n" data UTF-8
//   certId: 16 lower-case hex digits; timestamp: Unix seconds in decimal;
//   sessionKey: the 44-character session key of the gate address.
//   Only [A-Za-z0-9._-]: safe verbatim inside a query string.
//
// Certificate store: one file per certificate, <certs folder>/<certId>.cert,
//   UTF-8 "key=value" lines (see Certificate.h).
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velcor::protocol {

inline constexpr std::size_t kSessionKeyLength = 44;          // base64 of 32 bytes
inline constexpr std::size_t kMaxCipherTextLength = 256 * 1024; // characters
inline constexpr std::size_t kCounterBytes = 8;
inline constexpr std::size_t kTimeBytes = 8;
inline constexpr std::string_view kClockLabel = "VLC1-CLK";
// Second line of a refusal for the request's time.
inline constexpr std::string_view kClockPrefix = "Clock:";
inline constexpr std::uint8_t kFlagOff = 0x00;
inline constexpr std::uint8_t kFlagOn = 0x01;

inline constexpr std::string_view kRequestLabel = "VLC1-REQ";
inline constexpr std::string_view kReplyLabel = "VLC1-REP";
inline constexpr std::string_view kEndLabel = "VLC1-END";
inline constexpr std::string_view kEndSessionMagic = "END-SESSION";
inline constexpr std::string_view kEndSessionAck = "SESSION-ENDED";

// Gateway endpoint that ends a session (POST, body = end-session message).
inline constexpr std::string_view kEndSessionPath = "/gateway/end";
inline constexpr std::string_view kEndSessionContentType = "text/plain";

// Prefix of every plain-text refusal.
inline constexpr std::string_view kErrorPrefix = "Error:";

// Signed text.
inline constexpr std::string_view kSignaturePrefix = "V1";
inline constexpr std::string_view kSignatureDomain = "VELCOR-SIGN-1";
inline constexpr std::size_t kCertIdLength = 16;

} // namespace velcor::protocol
