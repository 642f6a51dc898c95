#pragma once
// Where a gateway keeps what it knows of its sessions when several gateways
// with one key pair serve the same clients (bankd nodes on one database): the
// counters each session has used, which sessions exist, which logged in and
// which ended. A session's keys are not kept: every gateway derives them from
// the client key in the request and its own key pair.
//
// Every call is one atomic step of the shared store, so that two gateways
// given the same request at once accept it once. Qt-free.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velcor {

class SessionStore {
public:
    enum class Admit { Ok, Replay, Ended, NoSession, TooMany, Failed };

    struct Limits {
        std::size_t maxSessions = 100000;
        std::size_t maxAnonymous = 20000;
        std::size_t anonymousPerAddress = 256;
    };

    virtual ~SessionStore() = default;

    // A request that authenticated and lies within its time window: records
    // its counter as used (Replay when it was), refuses an ended session,
    // and makes the session when it is new (mayCreate; NoSession otherwise)
    // within the limits, evicting the oldest sessions that never logged in
    // first. now: Unix seconds of the gateway. ending: the message ends the
    // session (it must exist; it is then ended for good).
    virtual Admit admit(const std::string& key, std::uint64_t counter, bool mayCreate, bool ending,
                        std::string_view address, std::int64_t now, const Limits& limits) = 0;
    // The session logged in: no longer bounded or evicted as anonymous.
    virtual bool establish(const std::string& key) = 0;
    virtual bool exists(const std::string& key) = 0;
    virtual bool ended(const std::string& key) = 0;
    // Ends the session for good (false when unknown).
    virtual bool forget(const std::string& key, std::int64_t now) = 0;
    // Drops sessions idle since before the given times (logged-in, anonymous),
    // and the records of ended sessions and used counters older than keepUntil
    // allows; returns the keys of the sessions dropped for idling.
    virtual std::vector<std::string> expire(std::int64_t idleBefore, std::int64_t anonymousIdleBefore,
                                            std::int64_t recordsBefore, const Limits& limits) = 0;
    virtual std::size_t count() = 0;
    virtual std::size_t anonymousCount() = 0;
};

} // namespace velcor
