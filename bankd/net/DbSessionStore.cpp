#include "DbSessionStore.h"

#include <algorithm>

#include "Store.h"

namespace bankd {

namespace {

// gateway_sessions.state
constexpr int kAnonymous = 0;
constexpr int kLoggedIn = 1;
constexpr int kEnded = 2;

// The oldest sessions that never logged in go first (of one address, or of all).
void evictOldestAnonymous(Db& db, std::string_view address, std::int64_t n)
{
    if (n <= 0)
        return;
    Stmt del = db.prepare(address.empty()
                              ? "DELETE FROM gateway_sessions WHERE session_key IN (SELECT session_key FROM "
                                "gateway_sessions WHERE state = 0 ORDER BY created, session_key LIMIT ?)"
                              : "DELETE FROM gateway_sessions WHERE session_key IN (SELECT session_key FROM "
                                "gateway_sessions WHERE state = 0 AND address = ? ORDER BY created, session_key "
                                "LIMIT ?)");
    if (address.empty()) {
        del.bind(1, n);
    } else {
        del.bind(1, address);
        del.bind(2, n);
    }
    del.run();
}

std::int64_t countOf(Db& db, const char* sql, std::string_view text = {})
{
    Stmt s = db.prepare(sql);
    if (!text.empty())
        s.bind(1, text);
    s.step();
    return s.integer(0);
}

} // namespace

velcor::SessionStore::Admit DbSessionStore::admit(const std::string& key, std::uint64_t counter, bool mayCreate,
                                                  bool ending, std::string_view address, std::int64_t now,
                                                  const Limits& limits)
{
    return store_.write([&](Db& db) -> Admit {
        Stmt find = db.prepare("SELECT state FROM gateway_sessions WHERE session_key = ?");
        find.bind(1, key);
        const bool known = find.step();
        const int state = known ? static_cast<int>(find.integer(0)) : -1;
        if (state == kEnded)
            return Admit::Ended;
        if (!known && !mayCreate)
            return Admit::NoSession;
        Stmt used = db.prepare(
            "INSERT INTO gateway_counters (session_key, counter, used_at) VALUES (?, ?, ?) ON CONFLICT DO NOTHING");
        used.bind(1, key).bind(2, static_cast<std::int64_t>(counter)).bind(3, now).run();
        if (db.changes() == 0)
            return Admit::Replay;
        if (known) {
            Stmt touch = db.prepare("UPDATE gateway_sessions SET last_use = ?, state = ? WHERE session_key = ?");
            touch.bind(1, now).bind(2, ending ? kEnded : state).bind(3, key).run();
            return Admit::Ok;
        }
        const std::string addr(address);
        if (limits.anonymousPerAddress > 0) {
            const std::int64_t mine =
                countOf(db, "SELECT count(*) FROM gateway_sessions WHERE state = 0 AND address = ?", addr.empty() ? "-" : addr);
            evictOldestAnonymous(db, addr.empty() ? "-" : addr,
                                 mine - static_cast<std::int64_t>(limits.anonymousPerAddress) + 1);
        }
        Stmt add = db.prepare(
            "INSERT INTO gateway_sessions (session_key, state, address, created, last_use) VALUES (?, 0, ?, ?, ?)");
        add.bind(1, key).bind(2, addr.empty() ? std::string("-") : addr).bind(3, now).bind(4, now).run();
        return Admit::Ok;
    });
}

bool DbSessionStore::establish(const std::string& key)
{
    // Called on every request of a logged-in session: a read, and a write
    // only the first time.
    const int state = store_.read([&](Db& db) {
        Stmt s = db.prepare("SELECT state FROM gateway_sessions WHERE session_key = ?");
        s.bind(1, key);
        return s.step() ? static_cast<int>(s.integer(0)) : -1;
    });
    if (state != kAnonymous)
        return state == kLoggedIn;
    return store_.write([&](Db& db) {
        Stmt s = db.prepare("UPDATE gateway_sessions SET state = 1 WHERE session_key = ? AND state = 0");
        s.bind(1, key).run();
        return db.changes() > 0;
    });
}

bool DbSessionStore::exists(const std::string& key)
{
    return store_.read([&](Db& db) {
        Stmt s = db.prepare("SELECT 1 FROM gateway_sessions WHERE session_key = ? AND state <> 2");
        s.bind(1, key);
        return s.step();
    });
}

bool DbSessionStore::ended(const std::string& key)
{
    return store_.read([&](Db& db) {
        Stmt s = db.prepare("SELECT 1 FROM gateway_sessions WHERE session_key = ? AND state = 2");
        s.bind(1, key);
        return s.step();
    });
}

bool DbSessionStore::forget(const std::string& key, std::int64_t now)
{
    return store_.write([&](Db& db) {
        Stmt s = db.prepare("UPDATE gateway_sessions SET state = 2, last_use = ? WHERE session_key = ? AND state <> 2");
        s.bind(1, now).bind(2, key).run();
        return db.changes() > 0;
    });
}

std::vector<std::string> DbSessionStore::expire(std::int64_t idleBefore, std::int64_t anonymousIdleBefore,
                                                std::int64_t recordsBefore, const Limits& limits)
{
    return store_.write([&](Db& db) {
        std::vector<std::string> gone;
        Stmt idle = db.prepare("SELECT session_key FROM gateway_sessions WHERE (state = 1 AND last_use < ?) OR "
                               "(state = 0 AND last_use < ?)");
        idle.bind(1, idleBefore).bind(2, anonymousIdleBefore);
        while (idle.step())
            gone.push_back(idle.text(0));
        Stmt drop = db.prepare("DELETE FROM gateway_sessions WHERE (state = 1 AND last_use < ?) OR (state = 0 AND "
                               "last_use < ?) OR (state = 2 AND last_use < ?)");
        drop.bind(1, idleBefore).bind(2, anonymousIdleBefore).bind(3, recordsBefore).run();
        Stmt counters = db.prepare("DELETE FROM gateway_counters WHERE used_at < ?");
        counters.bind(1, recordsBefore).run();
        // The overall bounds, kept here rather than on every new session.
        const std::int64_t anonymous = countOf(db, "SELECT count(*) FROM gateway_sessions WHERE state = 0");
        const std::int64_t all = countOf(db, "SELECT count(*) FROM gateway_sessions WHERE state <> 2");
        evictOldestAnonymous(db, {},
                             std::max(anonymous - static_cast<std::int64_t>(limits.maxAnonymous),
                                      all - static_cast<std::int64_t>(limits.maxSessions)));
        return gone;
    });
}

std::size_t DbSessionStore::count()
{
    return store_.read([&](Db& db) {
        return static_cast<std::size_t>(countOf(db, "SELECT count(*) FROM gateway_sessions WHERE state <> 2"));
    });
}

std::size_t DbSessionStore::anonymousCount()
{
    return store_.read([&](Db& db) {
        return static_cast<std::size_t>(countOf(db, "SELECT count(*) FROM gateway_sessions WHERE state = 0"));
    });
}

} // namespace bankd
