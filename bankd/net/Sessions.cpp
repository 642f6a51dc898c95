#include "Sessions.h"

namespace bankd {

namespace {
constexpr std::chrono::hours kEndedMemory{24};
}

Sessions::Sessions(const Clock& clock, std::chrono::seconds idleTimeout, std::size_t maxSessions)
    : clock_(clock), idle_(idleTimeout), max_(maxSessions)
{
}

bool Sessions::idledOut(const Entry& e, Clock::time_point now) const
{
    return now - e.lastUse > idle_;
}

void Sessions::makeRoom(Clock::time_point now)
{
    if (map_.size() < max_)
        return;
    for (auto it = map_.begin(); it != map_.end();) {
        bool drop = it->second.ended ? now - it->second.lastUse > kEndedMemory : idledOut(it->second, now);
        it = drop ? map_.erase(it) : std::next(it);
    }
    // Still full of live sessions: the least recently used one goes.
    while (map_.size() >= max_) {
        auto oldest = map_.begin();
        for (auto it = map_.begin(); it != map_.end(); ++it)
            if (it->second.lastUse < oldest->second.lastUse)
                oldest = it;
        map_.erase(oldest);
    }
}

bool Sessions::bind(const std::string& key, const std::string& userId)
{
    if (store_)
        return sharedBind(key, userId, clock_.now());
    auto now = clock_.now();
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = map_.find(key);
    if (it != map_.end() && it->second.ended)
        return false;
    if (it == map_.end()) {
        makeRoom(now);
        it = map_.emplace(key, Entry{}).first;
    }
    it->second.userId = userId;
    it->second.lastUse = now;
    it->second.attributes.clear();
    return true;
}

Sessions::Status Sessions::check(const std::string& key, const std::string& userId)
{
    if (store_)
        return sharedCheck(key, userId, clock_.now());
    auto now = clock_.now();
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = map_.find(key);
    if (it == map_.end())
        return Status::Unknown;
    Entry& e = it->second;
    if (e.ended)
        return Status::Ended;
    if (e.userId.empty())
        return Status::NotLoggedIn;
    if (idledOut(e, now)) {
        e.userId.clear();  // the user must log in again
        e.attributes.clear();
        return Status::Expired;
    }
    if (e.userId != userId)
        return Status::OtherUser;
    e.lastUse = now;
    return Status::Ok;
}

void Sessions::end(const std::string& key)
{
    if (store_)
        return sharedEnd(key, clock_.now());
    auto now = clock_.now();
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = map_.find(key);
    if (it == map_.end())
        return;
    it->second.userId.clear();
    it->second.attributes.clear();
    it->second.ended = true;
    it->second.lastUse = now;
}

void Sessions::forget(const std::string& key)
{
    if (store_)
        return sharedForget(key);
    std::lock_guard<std::mutex> lock(mutex_);
    map_.erase(key);
}

std::optional<std::string> Sessions::userOf(const std::string& key) const
{
    if (store_)
        return sharedUserOf(key, clock_.now());
    auto now = clock_.now();
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = map_.find(key);
    if (it == map_.end() || it->second.ended || it->second.userId.empty() || idledOut(it->second, now))
        return std::nullopt;
    return it->second.userId;
}

std::size_t Sessions::logOutOthers(const std::string& userId, const std::string& keepKey)
{
    if (store_)
        return sharedLogOutOthers(userId, keepKey);
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t n = 0;
    for (auto& [key, e] : map_) {
        if (key == keepKey || e.ended || e.userId != userId)
            continue;
        e.userId.clear();
        e.attributes.clear();
        ++n;
    }
    return n;
}

bool Sessions::setAttribute(const std::string& key, const std::string& name, const std::string& value)
{
    if (store_)
        return sharedSetAttribute(key, name, value, clock_.now());
    auto now = clock_.now();
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = map_.find(key);
    if (it == map_.end() || it->second.ended || it->second.userId.empty() || idledOut(it->second, now))
        return false;
    it->second.attributes[name] = value;
    return true;
}

std::optional<std::string> Sessions::attribute(const std::string& key, const std::string& name) const
{
    if (store_)
        return sharedAttribute(key, name, clock_.now());
    auto now = clock_.now();
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = map_.find(key);
    if (it == map_.end() || it->second.ended || it->second.userId.empty() || idledOut(it->second, now))
        return std::nullopt;
    auto a = it->second.attributes.find(name);
    if (a == it->second.attributes.end())
        return std::nullopt;
    return a->second;
}

void Sessions::purge()
{
    if (store_)
        return sharedPurge(clock_.now());
    auto now = clock_.now();
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = map_.begin(); it != map_.end();) {
        const Entry& e = it->second;
        bool drop = e.ended ? now - e.lastUse > kEndedMemory : (idledOut(e, now) || e.userId.empty());
        it = drop ? map_.erase(it) : std::next(it);
    }
}

std::size_t Sessions::size() const
{
    if (store_)
        return sharedSize();
    std::lock_guard<std::mutex> lock(mutex_);
    return map_.size();
}

} // namespace bankd
