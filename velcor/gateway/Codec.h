#pragma once
// Building blocks of the wire formats (internal to the velcor folder).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../GatewayProtocol.h"

namespace velcor::codec {

using Bytes = std::vector<unsigned char>;

// sodium_init() once per process; false when libsodium cannot start.
bool ensureSodium();

// Standard base64 ("+/" and "=" padding).
std::string toBase64(const unsigned char* data, std::size_t size);
inline std::string toBase64(const Bytes& b) { return toBase64(b.data(), b.size()); }
// Strict standard base64: every character must belong to the encoding, no
// blanks, canonical padding. False on anything else.
bool fromBase64(std::string_view text, Bytes& out);

// URL-safe base64 without padding ("-_").
std::string toBase64Url(const unsigned char* data, std::size_t size);
bool fromBase64Url(std::string_view text, Bytes& out);

void putCounter(Bytes& out, std::uint64_t counter);
std::uint64_t readCounter(const unsigned char* p);

// Associated data of the three message kinds.
Bytes requestAd(std::string_view label, const unsigned char* clientPk);
Bytes replyAd(const unsigned char* clientPk, std::uint64_t counter, const std::array<unsigned char, 32>& requestHash,
              std::string_view label = protocol::kReplyLabel);

// BLAKE2b-256 of the decoded request bytes.
std::array<unsigned char, 32> hashRequest(const Bytes& decoded);

// nonce || AEAD(plain) with a fresh random nonce.
Bytes seal(const unsigned char* key, const Bytes& ad, const unsigned char* plain, std::size_t size);
// Opens nonce || AEAD(...); false when it does not authenticate.
bool open(const unsigned char* key, const Bytes& ad, const unsigned char* box, std::size_t size, Bytes& plain);

// A request-like message split into its two parts (client pk, box).
struct Split {
    std::array<unsigned char, 32> clientPk{};
    Bytes box;           // nonce || sealed
};
// hashRequest() of the decoded message (client pk || box).
std::array<unsigned char, 32> hashRequest(const Split& split);
// Empty reason = ok. Reasons are Korean texts.
std::string splitMessage(std::string_view text, Split& out);

} // namespace velcor::codec
