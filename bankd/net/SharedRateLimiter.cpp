// Rate windows in the bank's database (bankd nodes sharing one database).
#include "RateLimiter.h"
#include "Store.h"

namespace bankd {

namespace {
std::int64_t millis(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}
} // namespace

bool RateLimiter::sharedAdmit(const std::vector<RateKey>& keys, Clock::time_point now)
{
    const std::int64_t t = millis(now);
    const std::int64_t w = std::chrono::duration_cast<std::chrono::milliseconds>(limits_.window).count();
    return store_->write([&](Db& db) {
        struct Next {
            const RateKey* key;
            std::int64_t started;
            std::int64_t hits;
        };
        std::vector<Next> next;
        for (const RateKey& k : keys) {
            const int limit = limits_.limitOf(k.first);
            if (limit <= 0 || k.second.empty())
                continue;
            Stmt s = db.prepare("SELECT started, hits FROM rate_windows WHERE scope = ? AND rate_key = ?");
            s.bind(1, static_cast<int>(k.first)).bind(2, k.second);
            Next n{&k, t, 0};
            if (s.step() && t >= s.integer(0) && t < s.integer(0) + w) {
                n.started = s.integer(0);
                n.hits = s.integer(1);
            }
            if (n.hits >= limit)
                return false;
            next.push_back(n);
        }
        for (const Next& n : next) {
            Stmt s = db.prepare("INSERT INTO rate_windows (scope, rate_key, started, hits) VALUES (?, ?, ?, ?) "
                                "ON CONFLICT (scope, rate_key) DO UPDATE SET started = excluded.started, "
                                "hits = excluded.hits");
            s.bind(1, static_cast<int>(n.key->first)).bind(2, n.key->second).bind(3, n.started).bind(4, n.hits + 1);
            s.run();
        }
        return true;
    });
}

void RateLimiter::sharedPurge(Clock::time_point now)
{
    const std::int64_t t = millis(now);
    const std::int64_t w = std::chrono::duration_cast<std::chrono::milliseconds>(limits_.window).count();
    store_->write([&](Db& db) {
        Stmt s = db.prepare("DELETE FROM rate_windows WHERE started <= ? OR started > ?");
        s.bind(1, t - w).bind(2, t).run();
    });
}

} // namespace bankd
