#pragma once
// Business sessions, named by the 44-character session key of the secure
// channel. A login binds a session to its user; every session request must
// name that user, on a session that has not idled out or been ended. A
// logged-in session carries attributes (e.g. "security check passed" for
// account management) that last until the session's login ends: a new login,
// an idle expiry or the end of the session forgets them.
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "Clock.h"

namespace bankd {

class Store;

class Sessions {
public:
    enum class Status { Ok, Unknown, NotLoggedIn, Expired, Ended, OtherUser };

    Sessions(const Clock& clock, std::chrono::seconds idleTimeout, std::size_t maxSessions = 100000);

    // Keeps the table in the bank's database instead of this process's
    // memory, shared by every bankd node on it (a login at one node holds at
    // the others). Set before the first request.
    void share(Store& store) { store_ = &store; }
    bool shared() const { return store_ != nullptr; }

    // Binds the session to the user (a login). False when the session was ended.
    bool bind(const std::string& key, const std::string& userId);
    // Checks a request that names userId; on Ok the session's idle time restarts.
    Status check(const std::string& key, const std::string& userId);
    // Ends the session (the gateway ended it); the key stays refused. A key
    // that never logged in leaves nothing behind (the gateway refuses it).
    void end(const std::string& key);
    // Forgets the session (the gateway let it idle out): should the key come
    // back, it is a session without login.
    void forget(const std::string& key);
    // Ends every other live login of the user (after a password change): those
    // sessions must log in again. Returns how many were ended.
    std::size_t logOutOthers(const std::string& userId, const std::string& keepKey);
    // Sets an attribute of a live logged-in session; false when there is none.
    bool setAttribute(const std::string& key, const std::string& name, const std::string& value);
    // The attribute, if set during the session's current login.
    std::optional<std::string> attribute(const std::string& key, const std::string& name) const;
    // The bound user, if the session is live.
    std::optional<std::string> userOf(const std::string& key) const;
    // Drops entries that have idled out; ended keys are kept for a day.
    void purge();
    std::size_t size() const;

    std::chrono::seconds idleTimeout() const { return idle_; }

private:
    struct Entry {
        std::string userId;  // empty: not logged in
        Clock::time_point lastUse;
        bool ended = false;
        std::map<std::string, std::string> attributes;
    };
    bool idledOut(const Entry& e, Clock::time_point now) const;
    void makeRoom(Clock::time_point now);

    // The same on the shared table (SharedSessions.cpp).
    bool sharedBind(const std::string& key, const std::string& userId, Clock::time_point now);
    Status sharedCheck(const std::string& key, const std::string& userId, Clock::time_point now);
    void sharedEnd(const std::string& key, Clock::time_point now);
    void sharedForget(const std::string& key);
    std::size_t sharedLogOutOthers(const std::string& userId, const std::string& keepKey);
    std::optional<std::string> sharedUserOf(const std::string& key, Clock::time_point now) const;
    bool sharedSetAttribute(const std::string& key, const std::string& name, const std::string& value,
                            Clock::time_point now);
    std::optional<std::string> sharedAttribute(const std::string& key, const std::string& name,
                                               Clock::time_point now) const;
    void sharedPurge(Clock::time_point now);
    std::size_t sharedSize() const;

    Store* store_ = nullptr;

    const Clock& clock_;
    std::chrono::seconds idle_;
    std::size_t max_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> map_;
};

} // namespace bankd
