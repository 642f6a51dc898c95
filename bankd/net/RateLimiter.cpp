#include "RateLimiter.h"

namespace bankd {

int RateLimits::limitOf(RateScope scope) const
{
    switch (scope) {
    case RateScope::Address:
        return perAddress;
    case RateScope::Session:
        return perSession;
    case RateScope::User:
        return perUser;
    case RateScope::Account:
        return perAccount;
    case RateScope::Resident:
        return perResident;
    }
    return 0;
}

RateLimits RateLimits::none()
{
    RateLimits r;
    r.perAddress = r.perSession = r.perUser = r.perAccount = r.perResident = 0;
    return r;
}

RateLimiter::RateLimiter(const Clock& clock, RateLimits limits, std::size_t maxKeys)
    : clock_(clock), limits_(limits), maxKeys_(maxKeys)
{
}

bool RateLimiter::admit(const std::vector<RateKey>& keys)
{
    const Clock::time_point now = clock_.now();
    if (store_)
        return sharedAdmit(keys, now);
    std::lock_guard lock(mutex_);
    auto live = [&](const Window& w) { return now < w.start + limits_.window && now >= w.start; };
    for (const RateKey& k : keys) {
        int limit = limits_.limitOf(k.first);
        if (limit <= 0 || k.second.empty())
            continue;
        auto it = windows_.find(k);
        if (it != windows_.end() && live(it->second) && it->second.count >= limit)
            return false;
    }
    if (windows_.size() + keys.size() > maxKeys_) {
        purgeLocked(now);
        // Still full within one window: a flood of distinct keys. Refuse
        // rather than let keys go uncounted.
        if (windows_.size() + keys.size() > maxKeys_)
            return false;
    }
    for (const RateKey& k : keys) {
        if (limits_.limitOf(k.first) <= 0 || k.second.empty())
            continue;
        Window& w = windows_[k];
        if (!live(w))
            w = Window{now, 0};
        ++w.count;
    }
    return true;
}

void RateLimiter::purge()
{
    if (store_)
        return sharedPurge(clock_.now());
    std::lock_guard lock(mutex_);
    purgeLocked(clock_.now());
}

void RateLimiter::purgeLocked(Clock::time_point now)
{
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (now >= it->second.start + limits_.window || now < it->second.start)
            it = windows_.erase(it);
        else
            ++it;
    }
}

std::size_t RateLimiter::size() const
{
    std::lock_guard lock(mutex_);
    return windows_.size();
}

} // namespace bankd
