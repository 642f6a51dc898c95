// The Sessions table in the bank's database (bankd nodes sharing one database).
#include "Sessions.h"
#include "Store.h"

namespace bankd {

namespace {

std::int64_t millis(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

void dropAttributes(Db& db, const std::string& key)
{
    Stmt s = db.prepare("DELETE FROM bank_session_attributes WHERE session_key = ?");
    s.bind(1, key).run();
}

// Last use is written at most this often for a session in use (a write per request otherwise).
constexpr std::int64_t kTouchEveryMs = 5000;

} // namespace

bool Sessions::sharedBind(const std::string& key, const std::string& userId, Clock::time_point now)
{
    return store_->write([&](Db& db) {
        Stmt find = db.prepare("SELECT ended FROM bank_sessions WHERE session_key = ?");
        find.bind(1, key);
        if (find.step() && find.integer(0) != 0)
            return false;
        Stmt up = db.prepare("INSERT INTO bank_sessions (session_key, user_id, last_use, ended) VALUES (?, ?, ?, 0) "
                             "ON CONFLICT (session_key) DO UPDATE SET user_id = excluded.user_id, "
                             "last_use = excluded.last_use");
        up.bind(1, key).bind(2, userId).bind(3, millis(now)).run();
        dropAttributes(db, key);
        return true;
    });
}

Sessions::Status Sessions::sharedCheck(const std::string& key, const std::string& userId, Clock::time_point now)
{
    struct Row {
        bool found = false;
        std::string user;
        std::int64_t lastUse = 0;
        bool ended = false;
    };
    const Row row = store_->read([&](Db& db) {
        Row r;
        Stmt s = db.prepare("SELECT user_id, last_use, ended FROM bank_sessions WHERE session_key = ?");
        s.bind(1, key);
        if (s.step()) {
            r.found = true;
            r.user = s.text(0);
            r.lastUse = s.integer(1);
            r.ended = s.integer(2) != 0;
        }
        return r;
    });
    if (!row.found)
        return Status::Unknown;
    if (row.ended)
        return Status::Ended;
    if (row.user.empty())
        return Status::NotLoggedIn;
    const std::int64_t t = millis(now);
    if (t - row.lastUse > std::chrono::duration_cast<std::chrono::milliseconds>(idle_).count()) {
        store_->write([&](Db& db) {
            Stmt s = db.prepare("UPDATE bank_sessions SET user_id = '' WHERE session_key = ? AND last_use = ?");
            s.bind(1, key).bind(2, row.lastUse).run();
            if (db.changes() > 0)
                dropAttributes(db, key);
        });
        return Status::Expired;
    }
    if (row.user != userId)
        return Status::OtherUser;
    if (t - row.lastUse >= kTouchEveryMs) {
        store_->write([&](Db& db) {
            Stmt s = db.prepare("UPDATE bank_sessions SET last_use = ? WHERE session_key = ? AND last_use < ?");
            s.bind(1, t).bind(2, key).bind(3, t).run();
        });
    }
    return Status::Ok;
}

void Sessions::sharedEnd(const std::string& key, Clock::time_point now)
{
    store_->write([&](Db& db) {
        Stmt s = db.prepare("UPDATE bank_sessions SET user_id = '', ended = 1, last_use = ? WHERE session_key = ?");
        s.bind(1, millis(now)).bind(2, key).run();
        dropAttributes(db, key);
    });
}

void Sessions::sharedForget(const std::string& key)
{
    store_->write([&](Db& db) {
        Stmt s = db.prepare("DELETE FROM bank_sessions WHERE session_key = ?");
        s.bind(1, key).run();
        dropAttributes(db, key);
    });
}

std::size_t Sessions::sharedLogOutOthers(const std::string& userId, const std::string& keepKey)
{
    return store_->write([&](Db& db) {
        Stmt attrs = db.prepare("DELETE FROM bank_session_attributes WHERE session_key IN (SELECT session_key FROM "
                                "bank_sessions WHERE user_id = ? AND session_key <> ? AND ended = 0)");
        attrs.bind(1, userId).bind(2, keepKey).run();
        Stmt s = db.prepare(
            "UPDATE bank_sessions SET user_id = '' WHERE user_id = ? AND session_key <> ? AND ended = 0");
        s.bind(1, userId).bind(2, keepKey).run();
        return static_cast<std::size_t>(db.changes());
    });
}

std::optional<std::string> Sessions::sharedUserOf(const std::string& key, Clock::time_point now) const
{
    const std::int64_t oldest = millis(now) - std::chrono::duration_cast<std::chrono::milliseconds>(idle_).count();
    return store_->read([&](Db& db) -> std::optional<std::string> {
        Stmt s = db.prepare("SELECT user_id FROM bank_sessions WHERE session_key = ? AND ended = 0 AND user_id <> '' "
                            "AND last_use >= ?");
        s.bind(1, key).bind(2, oldest);
        if (!s.step())
            return std::nullopt;
        return s.text(0);
    });
}

bool Sessions::sharedSetAttribute(const std::string& key, const std::string& name, const std::string& value,
                                  Clock::time_point now)
{
    if (!sharedUserOf(key, now))
        return false;
    store_->write([&](Db& db) {
        Stmt s = db.prepare("INSERT INTO bank_session_attributes (session_key, name, value) VALUES (?, ?, ?) "
                            "ON CONFLICT (session_key, name) DO UPDATE SET value = excluded.value");
        s.bind(1, key).bind(2, name).bind(3, value).run();
    });
    return true;
}

std::optional<std::string> Sessions::sharedAttribute(const std::string& key, const std::string& name,
                                                     Clock::time_point now) const
{
    if (!sharedUserOf(key, now))
        return std::nullopt;
    return store_->read([&](Db& db) -> std::optional<std::string> {
        Stmt s = db.prepare("SELECT value FROM bank_session_attributes WHERE session_key = ? AND name = ?");
        s.bind(1, key).bind(2, name);
        if (!s.step())
            return std::nullopt;
        return s.text(0);
    });
}

void Sessions::sharedPurge(Clock::time_point now)
{
    const std::int64_t t = millis(now);
    const std::int64_t idle = std::chrono::duration_cast<std::chrono::milliseconds>(idle_).count();
    const std::int64_t endedMemory = 24 * 3600 * 1000LL;
    store_->write([&](Db& db) {
        Stmt attrs = db.prepare("DELETE FROM bank_session_attributes WHERE session_key IN (SELECT session_key FROM "
                                "bank_sessions WHERE (ended = 0 AND last_use < ?) OR (ended = 1 AND last_use < ?))");
        attrs.bind(1, t - idle).bind(2, t - endedMemory).run();
        Stmt s = db.prepare(
            "DELETE FROM bank_sessions WHERE (ended = 0 AND last_use < ?) OR (ended = 1 AND last_use < ?)");
        s.bind(1, t - idle).bind(2, t - endedMemory).run();
    });
}

std::size_t Sessions::sharedSize() const
{
    return store_->read([&](Db& db) {
        Stmt s = db.prepare("SELECT count(*) FROM bank_sessions");
        s.step();
        return static_cast<std::size_t>(s.integer(0));
    });
}

} // namespace bankd
