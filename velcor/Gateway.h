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
class SessionStore;

struct OpenedRequest {
    std::string sessionKey;     // 44 characters, = first 44 characters of the cipher text
    std::uint64_t counter = 0;
    bool pathOn = false;        // engine path "/on" (true) or "/off"
    // The session was already marked as logged in (establish()) when this
    // request was admitted; false when unknown (a shared session store).
    bool established = false;
    std::string request;        // the plain request, UTF-8
    std::array<unsigned char, 32> clientPk{};  // the session key decoded
    std::array<unsigned char, 32> replyKey{};
    std::array<unsigned char, 32> requestHash{};
};

struct OpenResult {
    bool ok = false;
    std::string reason;         // Korean, when !ok (bankd answers "Error:" + reason)
    // When the request was refused for its time only: the gateway's time,
    // sealed for the request's own client and bound to that request (base64).
    // bankd sends it on a line of its own after the reason; the engine takes
    // the time from it and seals the request again.
    std::string clockNotice;
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
    // Unix seconds: the time requests carry is checked against it.
    using WallClockFn = std::function<std::int64_t()>;

    explicit Gateway(const GatewayKeyPair& keys);
    ~Gateway();
    Gateway(const Gateway&) = delete;
    Gateway& operator=(const Gateway&) = delete;

    // Opens a request cipher text (the "q=" value, URL-unescaped). A new session
    // starts with the first request of an unknown client key; a counter seen
    // before, an ended session, a time outside the request window, or anything
    // that does not authenticate is refused. clientAddress: the peer's address
    // (counts the sessions that never logged in per address; empty: none).
    OpenResult open(std::string_view cipherText, std::string_view clientAddress = {});

    // The reply to an opened request: base64 text, bound to that request.
    std::string seal(const OpenedRequest& opened, std::string_view envelope) const;

    // Opens an end-session message (the POST body of kEndSessionPath), forgets
    // the session and returns the acknowledgement to send back.
    EndResult endSession(std::string_view body);

    // Marks a session as logged in (bankd calls it once a login succeeded and
    // whenever a logged-in session is used). Only sessions never marked are
    // bounded and evicted as anonymous. False when the session is unknown.
    bool establish(std::string_view sessionKey);

    // Session table. Last use is updated by open(), touch() and endSession().
    bool hasSession(std::string_view sessionKey) const;
    bool touch(std::string_view sessionKey);
    // Forgets sessions idle for longer than maxIdle (sessions that never logged
    // in: longer than the anonymous idle time); returns their keys. Such a
    // key may start again, but only with counters above the highest it used
    // (no request it sent before can come back; bankd sees a fresh session
    // without login).
    std::vector<std::string> expireIdle(std::chrono::seconds maxIdle);
    // Forgets one session; its key stays refused like an ended one. False when unknown.
    bool forget(std::string_view sessionKey);
    std::size_t sessionCount() const;

    // Limits: a new session beyond maxSessions first evicts the oldest session
    // that never logged in, and is refused only when every session has logged
    // in; ended, evicted or expired session keys are remembered for
    // tombstoneLifetime from their last use (default: twice the request window
    // and a minute, after which every request they sent is refused by its time).
    void setMaxSessions(std::size_t maxSessions);
    void setTombstoneLifetime(std::chrono::seconds lifetime);
    // Sessions that never logged in: at most maxTotal in all and perAddress per
    // client address (a new one evicts the oldest of them, so a flood of them
    // never stops a login, not even from the same address); forgotten after
    // idle without use (default 20,000, 256, 2 minutes).
    void setAnonymousLimits(std::size_t maxTotal, std::size_t perAddress, std::chrono::seconds idle);
    std::size_t anonymousCount() const;
    // A request is accepted only within window of the gateway's time, either
    // way (default 5 minutes).
    void setRequestWindow(std::chrono::seconds window);
    std::chrono::seconds requestWindow() const;
    // Replaces the clock of the session table (tests); empty restores steady_clock.
    void setClock(ClockFn clock);
    // Replaces the clock requests are checked against (tests); empty restores
    // the system clock.
    void setWallClock(WallClockFn clock);

    // Called with the key of every session about to start, after its first
    // request authenticated and before it is accepted; false refuses the
    // request. The server records the key durably there, and after a restart
    // gives the keys it recorded to refuseForGood(): a request captured
    // before the restart then finds its session ended, not a fresh one.
    using NewSessionHook = std::function<bool(const std::string& sessionKey)>;
    void setNewSessionHook(NewSessionHook hook);
    // Refuses these session keys like ended ones (for the tombstone lifetime).
    void refuseForGood(const std::vector<std::string>& sessionKeys);
    // Live sessions used since they were last recorded (by the new-session
    // hook or by this call) more than `every` ago; they count as recorded now.
    // The server records them again, so that its record of a key outlives the
    // key's last use and not only its first.
    std::vector<std::string> dueForRecord(std::chrono::seconds every);

    // Keeps the session table in a store shared with other gateways of the
    // same key pair (bankd nodes on one database) instead of this process's
    // memory: a session opened at one is served by all, a counter used at one
    // is refused by all. The new-session hook and refuseForGood are then not
    // needed (the store outlives a restart); touch() and dueForRecord() do
    // nothing. Set before the first request.
    void setSessionStore(std::shared_ptr<SessionStore> store);

    std::string publicKeyBase64() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// "Error:" + reason: the plain-text refusal bankd sends.
std::string errorReply(std::string_view reason);

} // namespace velcor
