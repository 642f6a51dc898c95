#pragma once
// The gateway half of the secure channel, linked into bankd. Qt-free, thread-safe.
// Formats: GatewayProtocol.h. Every input is treated as hostile: a refusal comes
// back as a Korean reason, never as an exception or a crash.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Certificate.h"
#include "GatewayKeys.h"
#include "GatewayProtocol.h"
#include "Signature.h"

namespace velcor {

// A request the gateway opened. The reply key and binding are what seal()
// needs; they never leave the server.
struct OpenedRequest {
    std::string sessionKey;     // 44 characters, = first 44 characters of the cipher text
    std::uint64_t counter = 0;
    bool pathOn = false;        // engine path "/on" (true) or "/off"
    std::string request;        // the plain request, UTF-8
    std::array<unsigned char, 32> replyKey{};
    std::array<unsigned char, 32> requestHash{};
};

struct OpenResult {
    bool ok = false;
    std::string reason;         // Korean, when !ok (bankd answers "Error:" + reason)
    OpenedRequest opened;       // when ok
};

struct EndResult {
    bool ok = false;
    std::string reason;         // Korean, when !ok
    std::string sessionKey;     // the ended session, when ok
    std::string reply;          // when ok: the sealed acknowledgement (HTTP 200 body)
};

class Gateway {
public:
    using Clock = std::chrono::steady_clock;
    using ClockFn = std::function<Clock::time_point()>;

    explicit Gateway(const GatewayKeyPair& keys);
    ~Gateway();
    Gateway(const Gateway&) = delete;
    Gateway& operator=(const Gateway&) = delete;

    // Opens a request cipher text (the "q=" value, URL-unescaped). A new session
    // starts with the first request of an unknown client key; a counter seen
    // before, an ended session, or anything that does not authenticate is refused.
    OpenResult open(std::string_view cipherText);

    // The reply to an opened request: base64 text, bound to that request.
    std::string seal(const OpenedRequest& opened, std::string_view envelope) const;

    // Opens an end-session message (the POST body of kEndSessionPath), forgets
    // the session and returns the acknowledgement to send back.
    EndResult endSession(std::string_view body);

    // Session table. Last use is updated by open(), touch() and endSession().
    bool hasSession(std::string_view sessionKey) const;
    bool touch(std::string_view sessionKey);
    // Forgets sessions idle for longer than maxIdle; returns their keys. Such a
    // key may start again, but only with counters above the highest it used
    // (no request it sent before can come back; bankd sees a fresh session
    // without login).
    std::vector<std::string> expireIdle(std::chrono::seconds maxIdle);
    // Forgets one session; its key stays refused like an ended one. False when unknown.
    bool forget(std::string_view sessionKey);
    std::size_t sessionCount() const;

    // Limits: new sessions beyond maxSessions are refused; ended or expired
    // session keys are remembered for tombstoneLifetime (default 24 hours).
    void setMaxSessions(std::size_t maxSessions);
    void setTombstoneLifetime(std::chrono::seconds lifetime);
    // Replaces the clock of the session table (tests); empty restores steady_clock.
    void setClock(ClockFn clock);

    // Called with the key of every session about to start, after its first
    // request authenticated and before it is accepted; false refuses the
    // request. The server records the key durably there, and after a restart
    // gives the keys it recorded to refuseForGood(): a request captured
    // before the restart then finds its session ended, not a fresh one.
    using NewSessionHook = std::function<bool(const std::string& sessionKey)>;
    void setNewSessionHook(NewSessionHook hook);
    // Refuses these session keys like ended ones (for the tombstone lifetime).
    void refuseForGood(const std::vector<std::string>& sessionKeys);

    std::string publicKeyBase64() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// "Error:" + reason: the plain-text refusal bankd sends.
std::string errorReply(std::string_view reason);

} // namespace velcor
