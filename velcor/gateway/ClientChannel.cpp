#include "../ClientChannel.h"

#include <sodium.h>

#include <chrono>

#include "../GatewayProtocol.h"
#include "Codec.h"

namespace velcor {

namespace p = protocol;
using codec::Bytes;

namespace {
// The engine's Korean texts for the client-side failures.
constexpr const char* kNoChannel = "보안 세션을 만들 수 없습니다";
constexpr const char* kRequestTooLong = "요청이 너무 깁니다";
constexpr const char* kNoPending = "응답을 기다리는 요청이 없습니다";
constexpr const char* kReplyMalformed = "응답 형식이 올바르지 않습니다";
constexpr const char* kReplyNotAuthentic = "응답 복호화에 실패했습니다";
constexpr std::size_t kMaxReplyLength = 64u * 1024u * 1024u;
} // namespace

struct ClientChannel::Impl {
    std::array<unsigned char, 32> pk{};
    std::array<unsigned char, 32> sk{};
    std::array<unsigned char, 32> rx{};
    std::array<unsigned char, 32> tx{};
    std::string sessionKey;
    bool valid = false;
    std::uint64_t counter = 0;
    std::int64_t clockOffset = 0;

    struct Pending {
        bool active = false;
        bool isEnd = false;
        std::uint64_t counter = 0;
        std::array<unsigned char, 32> hash{};
    } pending;

    std::string sealMessage(std::string_view label, const Bytes& plain, bool isEnd, std::string* reason)
    {
        const Bytes box = codec::seal(tx.data(), codec::requestAd(label, pk.data()), plain.data(), plain.size());
        std::string text = sessionKey + codec::toBase64(box);
        if (text.size() > p::kMaxCipherTextLength) {
            if (reason)
                *reason = kRequestTooLong;
            return {};
        }
        Bytes decoded(pk.begin(), pk.end());
        decoded.insert(decoded.end(), box.begin(), box.end());
        pending.active = true;
        pending.isEnd = isEnd;
        pending.counter = counter;
        pending.hash = codec::hashRequest(decoded);
        return text;
    }

    std::optional<std::string> openAnswer(std::string_view replyText, bool isEnd, std::string* reason)
    {
        if (!pending.active || pending.isEnd != isEnd) {
            if (reason)
                *reason = kNoPending;
            return std::nullopt;
        }
        Bytes box;
        if (replyText.empty() || replyText.size() > kMaxReplyLength || !codec::fromBase64(replyText, box)) {
            if (reason)
                *reason = kReplyMalformed;
            return std::nullopt;
        }
        Bytes plain;
        if (!codec::open(rx.data(), codec::replyAd(pk.data(), pending.counter, pending.hash), box.data(), box.size(),
                         plain)) {
            if (reason)
                *reason = kReplyNotAuthentic;
            return std::nullopt;
        }
        pending.active = false; // a reply opens once
        return std::string(reinterpret_cast<const char*>(plain.data()), plain.size());
    }
};

ClientChannel::ClientChannel(const std::array<unsigned char, 32>& gatewayPublicKey) : d(std::make_unique<Impl>())
{
    if (!codec::ensureSodium())
        return;
    crypto_kx_keypair(d->pk.data(), d->sk.data());
    d->valid = crypto_kx_client_session_keys(d->rx.data(), d->tx.data(), d->pk.data(), d->sk.data(),
                                             gatewayPublicKey.data()) == 0;
    d->sessionKey = codec::toBase64(d->pk.data(), d->pk.size());
}

ClientChannel::~ClientChannel()
{
    sodium_memzero(d->sk.data(), d->sk.size());
    sodium_memzero(d->rx.data(), d->rx.size());
    sodium_memzero(d->tx.data(), d->tx.size());
}

bool ClientChannel::valid() const { return d->valid; }

const std::string& ClientChannel::sessionKey() const { return d->sessionKey; }

std::uint64_t ClientChannel::lastCounter() const { return d->counter; }

std::string ClientChannel::sealRequest(bool pathOn, std::string_view request, std::string* reason)
{
    if (!d->valid) {
        if (reason)
            *reason = kNoChannel;
        return {};
    }
    if (request.size() > p::kMaxCipherTextLength) {
        if (reason)
            *reason = kRequestTooLong;
        return {};
    }
    Bytes plain;
    plain.reserve(p::kCounterBytes + p::kTimeBytes + 1 + request.size());
    codec::putCounter(plain, ++d->counter);
    codec::putCounter(plain, static_cast<std::uint64_t>(systemTime() + d->clockOffset));
    plain.push_back(pathOn ? p::kFlagOn : p::kFlagOff);
    plain.insert(plain.end(), request.begin(), request.end());
    std::string text = d->sealMessage(p::kRequestLabel, plain, false, reason);
    sodium_memzero(plain.data(), plain.size());
    return text;
}

void ClientChannel::setClockOffset(std::int64_t seconds) { d->clockOffset = seconds; }

std::int64_t ClientChannel::clockOffset() const { return d->clockOffset; }

std::int64_t ClientChannel::systemTime()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<std::int64_t> ClientChannel::openClockNotice(std::string_view noticeText) const
{
    const Impl::Pending& pending = d->pending;
    Bytes box;
    if (!pending.active || pending.isEnd || noticeText.empty() || noticeText.size() > 256 ||
        !codec::fromBase64(noticeText, box))
        return std::nullopt;
    Bytes plain;
    if (!codec::open(d->rx.data(), codec::replyAd(d->pk.data(), pending.counter, pending.hash, p::kClockLabel),
                     box.data(), box.size(), plain) ||
        plain.size() != p::kTimeBytes)
        return std::nullopt;
    return static_cast<std::int64_t>(codec::readCounter(plain.data()));
}

std::optional<std::string> ClientChannel::openReply(std::string_view replyText, std::string* reason)
{
    return d->openAnswer(replyText, false, reason);
}

std::string ClientChannel::sealEndSession(std::string* reason)
{
    if (!d->valid) {
        if (reason)
            *reason = kNoChannel;
        return {};
    }
    Bytes plain;
    codec::putCounter(plain, ++d->counter);
    plain.insert(plain.end(), p::kEndSessionMagic.begin(), p::kEndSessionMagic.end());
    return d->sealMessage(p::kEndLabel, plain, true, reason);
}

bool ClientChannel::openEndAck(std::string_view replyText, std::string* reason)
{
    const auto plain = d->openAnswer(replyText, true, reason);
    if (!plain)
        return false;
    if (*plain != p::kEndSessionAck) {
        if (reason)
            *reason = kReplyMalformed;
        return false;
    }
    return true;
}

} // namespace velcor
