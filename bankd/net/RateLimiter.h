#pragma once
// Request rate limits of the login-free transactions: at most so many
// requests per window for each client address, gateway session, user ID,
// account number and resident number a request names. Fixed windows: a key's
// count starts when its first request arrives and starts again once its
// window has passed. A request is admitted only when every key it names is
// under its limit, and then counts against all of them (one lock, so
// parallel requests cannot outrun a limit). A limit of 0 means none. The
// table of keys is bounded: when it is full of live windows, requests are
// refused rather than left uncounted.
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "Clock.h"

namespace bankd {

class Store;

enum class RateScope { Address, Session, User, Account, Resident };

struct RateLimits {
    std::chrono::seconds window{60};
    int perAddress = 300;   // mobile carriers put many customers behind one address
    int perSession = 30;
    int perUser = 10;
    int perAccount = 10;
    int perResident = 10;

    int limitOf(RateScope scope) const;
    static RateLimits none();  // no limits (load generator, tests of other things)
};

using RateKey = std::pair<RateScope, std::string>;

class RateLimiter {
public:
    RateLimiter(const Clock& clock, RateLimits limits, std::size_t maxKeys = 200000);

    // Keeps the windows in the bank's database, shared by every bankd node on
    // it (a limit reached through one node holds at the others). Set before
    // the first request.
    void share(Store& store) { store_ = &store; }

    // True (and counted) when every key is under its limit. Empty key texts
    // are skipped.
    bool admit(const std::vector<RateKey>& keys);
    // Forgets keys whose window has passed.
    void purge();
    std::size_t size() const;
    const RateLimits& limits() const { return limits_; }

private:
    struct Window {
        Clock::time_point start;
        int count = 0;
    };
    void purgeLocked(Clock::time_point now);
    // The same on the shared windows (SharedRateLimiter.cpp).
    bool sharedAdmit(const std::vector<RateKey>& keys, Clock::time_point now);
    void sharedPurge(Clock::time_point now);

    Store* store_ = nullptr;

    const Clock& clock_;
    RateLimits limits_;
    std::size_t maxKeys_;
    mutable std::mutex mutex_;
    std::map<RateKey, Window> windows_;
};

} // namespace bankd
