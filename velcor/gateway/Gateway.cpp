#include "../Gateway.h"

#include <sodium.h>

#include <algorithm>
#include <list>
#include <mutex>
#include <unordered_map>

#include "../SessionStore.h"
#include "Codec.h"
#include "Reasons.h"

namespace velcor {

namespace p = protocol;
using codec::Bytes;

namespace {

// Replay window: the highest counter seen and a bitmap of the 64 below it.
struct ReplayWindow {
    std::uint64_t high = 0;
    std::uint64_t seen = 0; // bit i: counter (high - i) was accepted

    bool accept(std::uint64_t counter)
    {
        if (counter == 0)
            return false;
        if (counter > high) {
            const std::uint64_t shift = counter - high;
            seen = shift >= 64 ? 0 : seen << shift;
            seen |= 1;
            high = counter;
            return true;
        }
        const std::uint64_t back = high - counter;
        if (back >= 64 || (seen & (std::uint64_t{1} << back)))
            return false;
        seen |= std::uint64_t{1} << back;
        return true;
    }
};

using KeyList = std::list<std::string>;

struct Session {
    std::array<unsigned char, 32> rx{}; // client -> gateway
    std::array<unsigned char, 32> tx{}; // gateway -> client
    ReplayWindow window;
    Gateway::Clock::time_point lastUse{};
    Gateway::Clock::time_point recorded{}; // last time the server recorded the key
    bool established = false;              // a login succeeded in it
    // Sessions that never logged in: their places in the order of arrival,
    // overall and of their address.
    std::string address;
    KeyList::iterator inAll{};
    KeyList::iterator inAddress{};

    ~Session()
    {
        sodium_memzero(rx.data(), rx.size());
        sodium_memzero(tx.data(), tx.size());
    }
};

} // namespace

struct Gateway::Impl {
    // What is left of a session that ended or went idle. An ended session is
    // refused for good; an idle one may come back, but only with counters above
    // the ones it used, so none of its old requests can be replayed.
    struct Tombstone {
        Clock::time_point until{};
        std::uint64_t high = 0;
        bool ended = false;
    };

    GatewayKeyPair keys;
    mutable std::mutex mutex;
    std::unordered_map<std::string, Session> sessions;
    std::unordered_map<std::string, Tombstone> tombstones;
    // Sessions that never logged in, oldest first: overall and per address.
    KeyList anonymous;
    std::unordered_map<std::string, KeyList> anonymousByAddress;
    std::size_t maxSessions = 100000;
    std::size_t maxAnonymous = 20000;
    std::size_t maxAnonymousPerAddress = 256;
    std::chrono::seconds anonymousIdle{120};
    std::chrono::seconds window{300};
    std::chrono::seconds tombstoneLifetime{2 * 300 + 60};
    bool tombstoneLifetimeSet = false;
    ClockFn clock;
    WallClockFn wallClock;
    NewSessionHook onNewSession;
    std::shared_ptr<SessionStore> shared;

    SessionStore::Limits limits() const
    {
        return SessionStore::Limits{maxSessions, maxAnonymous, maxAnonymousPerAddress};
    }
    SessionStore* sharedStore() const
    {
        std::lock_guard lock(mutex);
        return shared.get();
    }

    // The shared store's answer; false with the reason on refusal.
    static bool admitted(SessionStore::Admit a, std::string& why)
    {
        switch (a) {
        case SessionStore::Admit::Ok:
            return true;
        case SessionStore::Admit::Replay:
            why = reason::kReplay;
            return false;
        case SessionStore::Admit::Ended:
            why = reason::kEnded;
            return false;
        case SessionStore::Admit::NoSession:
            why = reason::kNoSession;
            return false;
        case SessionStore::Admit::TooMany:
            why = reason::kTooMany;
            return false;
        case SessionStore::Admit::Failed:
            break;
        }
        why = reason::kInternal;
        return false;
    }

    Clock::time_point now() const { return clock ? clock() : Clock::now(); }
    std::int64_t wallNow() const
    {
        return wallClock ? wallClock()
                         : std::chrono::duration_cast<std::chrono::seconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    }

    const Tombstone* tombstone(const std::string& key, Clock::time_point t) const
    {
        auto it = tombstones.find(key);
        return it != tombstones.end() && it->second.until > t ? &it->second : nullptr;
    }

    bool isEnded(const std::string& key, Clock::time_point t) const
    {
        const Tombstone* stone = tombstone(key, t);
        return stone && stone->ended;
    }

    void bury(const std::string& key, const Session& s, bool ended, Clock::time_point t)
    {
        tombstones[key] = Tombstone{t + tombstoneLifetime, s.window.high, ended};
    }

    void listAnonymous(const std::string& key, Session& s, std::string_view address)
    {
        s.address.assign(address);
        s.inAll = anonymous.insert(anonymous.end(), key);
        KeyList& mine = anonymousByAddress[s.address];
        s.inAddress = mine.insert(mine.end(), key);
    }

    void unlistAnonymous(Session& s)
    {
        if (s.established)
            return;
        anonymous.erase(s.inAll);
        auto it = anonymousByAddress.find(s.address);
        if (it != anonymousByAddress.end()) {
            it->second.erase(s.inAddress);
            if (it->second.empty())
                anonymousByAddress.erase(it);
        }
    }

    // Room for one more session that has not logged in yet, from address:
    // the oldest sessions that never logged in make way (of that address when
    // it holds its share). False when the table is full of logged-in sessions.
    bool makeRoom(const std::string& address, Clock::time_point t)
    {
        auto mine = anonymousByAddress.find(address);
        if (mine != anonymousByAddress.end() && maxAnonymousPerAddress > 0 &&
            mine->second.size() >= maxAnonymousPerAddress)
            remove(mine->second.front(), false, t);
        while (!anonymous.empty() && (anonymous.size() >= maxAnonymous || sessions.size() >= maxSessions))
            remove(anonymous.front(), false, t);
        return sessions.size() < maxSessions;
    }

    void purgeTombstones(Clock::time_point t)
    {
        for (auto it = tombstones.begin(); it != tombstones.end();)
            it = it->second.until <= t ? tombstones.erase(it) : std::next(it);
    }

    // Keys of the session named by key: the table's, or derived for a new one.
    bool sessionKeys(const std::string& key, const codec::Split& split, Session& out, std::string& why)
    {
        if (!sharedStore()) {
            std::lock_guard lock(mutex);
            if (isEnded(key, now())) {
                why = reason::kEnded;
                return false;
            }
            auto it = sessions.find(key);
            if (it != sessions.end()) {
                out.rx = it->second.rx;
                out.tx = it->second.tx;
                return true;
            }
        }
        if (crypto_kx_server_session_keys(out.rx.data(), out.tx.data(), keys.publicKey.data(), keys.secretKey.data(),
                                          split.clientPk.data()) != 0) {
            why = reason::kBadSessionKey;
            return false;
        }
        return true;
    }

    // Records an authenticated counter; creates the session when it is new.
    // established: whether the session had been marked as logged in.
    bool admit(const std::string& key, const Session& keysOf, std::uint64_t counter, bool mayCreate,
               std::string_view address, std::string& why, bool* established = nullptr)
    {
        std::lock_guard lock(mutex);
        return admitLocked(key, keysOf, counter, mayCreate, address, why, established);
    }

    bool admitLocked(const std::string& key, const Session& keysOf, std::uint64_t counter, bool mayCreate,
                     std::string_view address, std::string& why, bool* established)
    {
        const auto t = now();
        if (isEnded(key, t)) {
            why = reason::kEnded;
            return false;
        }
        auto it = sessions.find(key);
        if (it == sessions.end()) {
            if (!mayCreate) {
                why = reason::kNoSession;
                return false;
            }
            const Tombstone* stone = tombstone(key, t);
            if (stone && counter <= stone->high) {
                why = reason::kReplay;
                return false;
            }
            const std::uint64_t high = stone ? stone->high : 0;
            const bool cameBack = stone != nullptr;
            if (!makeRoom(std::string(address), t)) {
                why = reason::kTooMany;
                return false;
            }
            it = sessions.try_emplace(key).first;
            it->second.rx = keysOf.rx;
            it->second.tx = keysOf.tx;
            it->second.recorded = t;
            listAnonymous(key, it->second, address);
            if (cameBack) {
                // Back after idle expiry or eviction: every counter it used
                // before stays used.
                it->second.window.high = high;
                it->second.window.seen = ~std::uint64_t{0};
            }
            tombstones.erase(key);
        }
        if (!it->second.window.accept(counter)) {
            why = reason::kReplay;
            return false;
        }
        it->second.lastUse = t;
        if (established)
            *established = it->second.established;
        return true;
    }

    // A request of this gateway's own table: a key about to start a session
    // is recorded first, outside the lock (after a restart it is refused like
    // an ended one), then the counter is admitted.
    bool admitHere(const std::string& key, const Session& keysOf, std::uint64_t counter, std::string_view address,
                   std::string& why, bool* established)
    {
        NewSessionHook hook;
        {
            std::lock_guard lock(mutex);
            if (onNewSession && !sessions.count(key) && !isEnded(key, now()))
                hook = onNewSession;
            else  // nothing to record first: admitted under this same lock
                return admitLocked(key, keysOf, counter, true, address, why, established);
        }
        if (!hook(key)) {
            why = reason::kInternal;
            return false;
        }
        return admit(key, keysOf, counter, true, address, why, established);
    }

    // Removes a session, keeping its tombstone. key may name the lists' entry.
    bool remove(const std::string& keyRef, bool ended, Clock::time_point t)
    {
        const std::string key = keyRef;
        auto it = sessions.find(key);
        if (it == sessions.end())
            return false;
        bury(key, it->second, ended, t);
        unlistAnonymous(it->second);
        sessions.erase(it);
        return true;
    }
};

Gateway::Gateway(const GatewayKeyPair& keys) : d(std::make_unique<Impl>())
{
    codec::ensureSodium();
    d->keys = keys;
}

Gateway::~Gateway()
{
    sodium_memzero(d->keys.secretKey.data(), d->keys.secretKey.size());
}

OpenResult Gateway::open(std::string_view cipherText, std::string_view clientAddress)
{
    OpenResult r;
    try {
        if (!codec::ensureSodium()) {
            r.reason = reason::kCrypto;
            return r;
        }
        codec::Split split;
        if (std::string why = codec::splitMessage(cipherText, split); !why.empty()) {
            r.reason = why;
            return r;
        }
        std::string key(cipherText.substr(0, p::kSessionKeyLength));
        Session keysOf;
        if (!d->sessionKeys(key, split, keysOf, r.reason))
            return r;
        Bytes plain;
        const Bytes ad = codec::requestAd(p::kRequestLabel, split.clientPk.data());
        if (!codec::open(keysOf.rx.data(), ad, split.box.data(), split.box.size(), plain)) {
            r.reason = reason::kNotAuthentic;
            return r;
        }
        constexpr std::size_t kFlagAt = p::kCounterBytes + p::kTimeBytes;
        if (plain.size() < kFlagAt + 1 || (plain[kFlagAt] != p::kFlagOff && plain[kFlagAt] != p::kFlagOn)) {
            sodium_memzero(plain.data(), plain.size());
            r.reason = reason::kMalformed;
            return r;
        }
        const std::uint64_t counter = codec::readCounter(plain.data());
        const auto sealedAt = static_cast<std::int64_t>(codec::readCounter(plain.data() + p::kCounterBytes));
        std::int64_t gatewayTime = 0;
        std::chrono::seconds window;
        {
            std::lock_guard lock(d->mutex);
            gatewayTime = d->wallNow();
            window = d->window;
        }
        // Outside the window either way: refused before anything else, with
        // the gateway's time sealed for this request's client.
        if (sealedAt < gatewayTime - window.count() || sealedAt > gatewayTime + window.count()) {
            sodium_memzero(plain.data(), plain.size());
            Bytes time;
            codec::putCounter(time, static_cast<std::uint64_t>(gatewayTime));
            const Bytes ad = codec::replyAd(split.clientPk.data(), counter, codec::hashRequest(split),
                                            p::kClockLabel);
            r.clockNotice = codec::toBase64(codec::seal(keysOf.tx.data(), ad, time.data(), time.size()));
            r.reason = reason::kClock;
            return r;
        }
        if (SessionStore* shared = d->sharedStore()) {
            // Several gateways: the store records the counter and the session.
            SessionStore::Limits limits;
            {
                std::lock_guard lock(d->mutex);
                limits = d->limits();
            }
            if (!Impl::admitted(shared->admit(key, counter, true, false, clientAddress, gatewayTime, limits), r.reason)) {
                sodium_memzero(plain.data(), plain.size());
                return r;
            }
        } else if (!d->admitHere(key, keysOf, counter, clientAddress, r.reason, &r.opened.established)) {
            sodium_memzero(plain.data(), plain.size());
            return r;
        }
        OpenedRequest& o = r.opened;
        o.sessionKey = std::move(key);
        o.counter = counter;
        o.pathOn = plain[kFlagAt] == p::kFlagOn;
        o.request.assign(reinterpret_cast<const char*>(plain.data()) + kFlagAt + 1, plain.size() - kFlagAt - 1);
        o.clientPk = split.clientPk;
        o.replyKey = keysOf.tx;
        o.requestHash = codec::hashRequest(split);
        sodium_memzero(plain.data(), plain.size());
        r.ok = true;
    } catch (...) {
        r = OpenResult{};
        r.reason = reason::kInternal;
    }
    return r;
}

std::string Gateway::seal(const OpenedRequest& opened, std::string_view envelope) const
{
    try {
        const Bytes ad = codec::replyAd(opened.clientPk.data(), opened.counter, opened.requestHash);
        const Bytes box = codec::seal(opened.replyKey.data(), ad, reinterpret_cast<const unsigned char*>(envelope.data()),
                                      envelope.size());
        return codec::toBase64(box);
    } catch (...) {
        return {};
    }
}

EndResult Gateway::endSession(std::string_view body)
{
    EndResult r;
    try {
        if (!codec::ensureSodium()) {
            r.reason = reason::kCrypto;
            return r;
        }
        codec::Split split;
        if (std::string why = codec::splitMessage(body, split); !why.empty()) {
            r.reason = why;
            return r;
        }
        const std::string key(body.substr(0, p::kSessionKeyLength));
        Session keysOf;
        SessionStore* shared = d->sharedStore();
        if (shared) {
            if (!d->sessionKeys(key, split, keysOf, r.reason))
                return r;
        } else {
            std::lock_guard lock(d->mutex);
            if (d->isEnded(key, d->now())) {
                r.reason = reason::kEnded;
                return r;
            }
            auto it = d->sessions.find(key);
            if (it == d->sessions.end()) {
                r.reason = reason::kNoSession;
                return r;
            }
            keysOf.rx = it->second.rx;
            keysOf.tx = it->second.tx;
        }
        Bytes plain;
        const Bytes ad = codec::requestAd(p::kEndLabel, split.clientPk.data());
        if (!codec::open(keysOf.rx.data(), ad, split.box.data(), split.box.size(), plain)) {
            r.reason = reason::kNotAuthentic;
            return r;
        }
        if (plain.size() < p::kCounterBytes) {
            r.reason = reason::kMalformed;
            return r;
        }
        const std::string_view magic(reinterpret_cast<const char*>(plain.data()) + p::kCounterBytes,
                                     plain.size() - p::kCounterBytes);
        if (magic != p::kEndSessionMagic) {
            r.reason = reason::kMalformed;
            return r;
        }
        const std::uint64_t counter = codec::readCounter(plain.data());
        if (shared) {
            SessionStore::Limits limits;
            std::int64_t at = 0;
            {
                std::lock_guard lock(d->mutex);
                limits = d->limits();
                at = d->wallNow();
            }
            if (!Impl::admitted(shared->admit(key, counter, false, true, {}, at, limits), r.reason))
                return r;
        } else {
            if (!d->admit(key, keysOf, counter, false, {}, r.reason))
                return r;
            std::lock_guard lock(d->mutex);
            d->remove(key, true, d->now());
        }
        const Bytes replyAd = codec::replyAd(split.clientPk.data(), counter, codec::hashRequest(split));
        const Bytes box = codec::seal(keysOf.tx.data(), replyAd,
                                      reinterpret_cast<const unsigned char*>(p::kEndSessionAck.data()),
                                      p::kEndSessionAck.size());
        r.reply = codec::toBase64(box);
        r.sessionKey = key;
        r.ok = true;
    } catch (...) {
        r = EndResult{};
        r.reason = reason::kInternal;
    }
    return r;
}

bool Gateway::establish(std::string_view sessionKey)
{
    if (SessionStore* shared = d->sharedStore())
        return shared->establish(std::string(sessionKey));
    std::lock_guard lock(d->mutex);
    auto it = d->sessions.find(std::string(sessionKey));
    if (it == d->sessions.end())
        return false;
    d->unlistAnonymous(it->second);
    it->second.established = true;
    return true;
}

bool Gateway::hasSession(std::string_view sessionKey) const
{
    if (SessionStore* shared = d->sharedStore())
        return shared->exists(std::string(sessionKey));
    std::lock_guard lock(d->mutex);
    return d->sessions.count(std::string(sessionKey)) != 0;
}

bool Gateway::touch(std::string_view sessionKey)
{
    std::lock_guard lock(d->mutex);
    auto it = d->sessions.find(std::string(sessionKey));
    if (it == d->sessions.end())
        return false;
    it->second.lastUse = d->now();
    return true;
}

std::vector<std::string> Gateway::expireIdle(std::chrono::seconds maxIdle)
{
    if (SessionStore* shared = d->sharedStore()) {
        std::int64_t t = 0;
        SessionStore::Limits limits;
        std::chrono::seconds anonymousIdle{}, lifetime{};
        {
            std::lock_guard lock(d->mutex);
            t = d->wallNow();
            limits = d->limits();
            anonymousIdle = std::min(maxIdle, d->anonymousIdle);
            lifetime = d->tombstoneLifetime;
        }
        return shared->expire(t - maxIdle.count(), t - anonymousIdle.count(), t - lifetime.count(), limits);
    }
    std::vector<std::string> gone;
    std::lock_guard lock(d->mutex);
    const auto t = d->now();
    for (const auto& [key, session] : d->sessions)
        if (t - session.lastUse > (session.established ? maxIdle : std::min(maxIdle, d->anonymousIdle)))
            gone.push_back(key);
    for (const auto& key : gone)
        d->remove(key, false, t);
    d->purgeTombstones(t);
    return gone;
}

bool Gateway::forget(std::string_view sessionKey)
{
    if (SessionStore* shared = d->sharedStore()) {
        std::int64_t t = 0;
        {
            std::lock_guard lock(d->mutex);
            t = d->wallNow();
        }
        return shared->forget(std::string(sessionKey), t);
    }
    std::lock_guard lock(d->mutex);
    return d->remove(std::string(sessionKey), true, d->now());
}

std::size_t Gateway::sessionCount() const
{
    if (SessionStore* shared = d->sharedStore())
        return shared->count();
    std::lock_guard lock(d->mutex);
    return d->sessions.size();
}

void Gateway::setMaxSessions(std::size_t maxSessions)
{
    std::lock_guard lock(d->mutex);
    d->maxSessions = maxSessions;
}

void Gateway::setTombstoneLifetime(std::chrono::seconds lifetime)
{
    std::lock_guard lock(d->mutex);
    d->tombstoneLifetime = lifetime;
    d->tombstoneLifetimeSet = true;
}

void Gateway::setAnonymousLimits(std::size_t maxTotal, std::size_t perAddress, std::chrono::seconds idle)
{
    std::lock_guard lock(d->mutex);
    d->maxAnonymous = std::max<std::size_t>(maxTotal, 1);
    d->maxAnonymousPerAddress = perAddress;
    d->anonymousIdle = idle;
}

std::size_t Gateway::anonymousCount() const
{
    if (SessionStore* shared = d->sharedStore())
        return shared->anonymousCount();
    std::lock_guard lock(d->mutex);
    return d->anonymous.size();
}

void Gateway::setRequestWindow(std::chrono::seconds window)
{
    std::lock_guard lock(d->mutex);
    d->window = window;
    if (!d->tombstoneLifetimeSet)
        d->tombstoneLifetime = 2 * window + std::chrono::seconds(60);
}

std::chrono::seconds Gateway::requestWindow() const
{
    std::lock_guard lock(d->mutex);
    return d->window;
}

void Gateway::setWallClock(WallClockFn clock)
{
    std::lock_guard lock(d->mutex);
    d->wallClock = std::move(clock);
}

std::vector<std::string> Gateway::dueForRecord(std::chrono::seconds every)
{
    std::vector<std::string> due;
    std::lock_guard lock(d->mutex);
    const auto t = d->now();
    for (auto& [key, session] : d->sessions)
        if (session.lastUse > session.recorded && t - session.recorded >= every) {
            session.recorded = t;
            due.push_back(key);
        }
    return due;
}

void Gateway::setNewSessionHook(NewSessionHook hook)
{
    std::lock_guard lock(d->mutex);
    d->onNewSession = std::move(hook);
}

void Gateway::refuseForGood(const std::vector<std::string>& sessionKeys)
{
    std::lock_guard lock(d->mutex);
    const auto t = d->now();
    for (const std::string& key : sessionKeys) {
        d->remove(key, true, t);
        d->tombstones[key] = Impl::Tombstone{t + d->tombstoneLifetime, 0, true};
    }
}

void Gateway::setClock(ClockFn clock)
{
    std::lock_guard lock(d->mutex);
    d->clock = std::move(clock);
}

void Gateway::setSessionStore(std::shared_ptr<SessionStore> store)
{
    std::lock_guard lock(d->mutex);
    d->shared = std::move(store);
}

std::string Gateway::publicKeyBase64() const
{
    return d->keys.publicKeyBase64();
}

std::string errorReply(std::string_view reason)
{
    std::string s(p::kErrorPrefix);
    s += reason;
    return s;
}

} // namespace velcor
