#pragma once
// The client side of one gateway session (Qt-free): the engine keeps one per
// gate address; bankd's tests and load generator use it to talk to a Gateway.
// Formats: GatewayProtocol.h. Not thread-safe: one owner at a time.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velcor {

class ClientChannel {
public:
    // Makes an ephemeral key pair and derives the session keys against the
    // gateway's pinned public key. Check valid() (a degenerate gateway key fails).
    explicit ClientChannel(const std::array<unsigned char, 32>& gatewayPublicKey);
    ~ClientChannel();
    ClientChannel(const ClientChannel&) = delete;
    ClientChannel& operator=(const ClientChannel&) = delete;

    bool valid() const;
    // Standard base64 of the client public key, 44 characters.
    const std::string& sessionKey() const;

    // Request cipher text for the next counter. Remembers it as the request
    // whose reply openReply() accepts. Empty and a Korean reason on failure.
    std::string sealRequest(bool pathOn, std::string_view request, std::string* reason = nullptr);
    // Opens the reply to the last sealed request; a reply opens once.
    std::optional<std::string> openReply(std::string_view replyText, std::string* reason = nullptr);

    // End-session message (POST body) for the next counter, remembered like a request.
    std::string sealEndSession(std::string* reason = nullptr);
    // True when reply is the gateway's acknowledgement of that end-session message.
    bool openEndAck(std::string_view replyText, std::string* reason = nullptr);

    std::uint64_t lastCounter() const;

    // Requests carry the time they were sealed: the system clock plus this
    // offset in seconds (what the gateway's clock is ahead of this one).
    void setClockOffset(std::int64_t seconds);
    std::int64_t clockOffset() const;
    // The gateway's time from the clock notice of a refusal of the last sealed
    // request (the "Clock:" line, base64); nullopt unless it authenticates for
    // that request. The request stays unanswered: seal it again.
    std::optional<std::int64_t> openClockNotice(std::string_view noticeText) const;
    // Unix seconds of the system clock.
    static std::int64_t systemTime();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace velcor
