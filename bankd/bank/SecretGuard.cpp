#include "SecretGuard.h"

#include <array>
#include <mutex>

#include "PasswordHash.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd::guard {

const char* kindName(Secret kind)
{
    switch (kind) {
    case Secret::LoginPassword:
        return "login";
    case Secret::AccountPassword:
        return "account";
    case Secret::CardPin:
        return "pin";
    case Secret::SecurityValue:
        return "security";
    }
    return "?";
}

Admit begin(Db& db, Secret kind, const std::string& subject, const std::string& now)
{
    auto ins = db.prepare(
        "INSERT INTO secret_locks (kind, subject, failures, locked, updated_at) VALUES (?1, ?2, 0, 0, ?3) "
        "ON CONFLICT (kind, subject) DO NOTHING");
    ins.bind(1, kindName(kind)).bind(2, subject).bind(3, now).run();
    auto up = db.prepare(
        "UPDATE secret_locks SET failures = failures + 1, updated_at = ?3 "
        "WHERE kind = ?1 AND subject = ?2 AND locked = 0 AND failures < ?4");
    up.bind(1, kindName(kind)).bind(2, subject).bind(3, now).bind(4, kSecretFailureLimit).run();
    return db.changes() == 1 ? Admit::Go : Admit::Locked;
}

bool succeeded(Db& db, Secret kind, const std::string& subject)
{
    auto del = db.prepare("DELETE FROM secret_locks WHERE kind = ?1 AND subject = ?2 AND locked = 0");
    del.bind(1, kindName(kind)).bind(2, subject).run();
    return !locked(db, kind, subject);
}

Failure failed(Db& db, Secret kind, const std::string& subject, const std::string& now)
{
    // A wrong attempt's count is on disk before its reply, in every write.
    db.syncBeforeReply();
    auto up = db.prepare(
        "UPDATE secret_locks SET locked = CASE WHEN failures >= ?3 THEN 1 ELSE locked END, updated_at = ?4 "
        "WHERE kind = ?1 AND subject = ?2 RETURNING failures, locked");
    up.bind(1, kindName(kind)).bind(2, subject).bind(3, kSecretFailureLimit).bind(4, now);
    Failure f;
    if (up.step()) {
        f.count = static_cast<int>(up.integer(0));
        f.locked = up.integer(1) != 0;
    }
    up.run();
    return f;
}

bool locked(Db& db, Secret kind, const std::string& subject)
{
    auto s = db.prepare("SELECT locked FROM secret_locks WHERE kind = ?1 AND subject = ?2");
    s.bind(1, kindName(kind)).bind(2, subject);
    return s.step() && s.integer(0) != 0;
}

int failures(Db& db, Secret kind, const std::string& subject)
{
    auto s = db.prepare("SELECT failures FROM secret_locks WHERE kind = ?1 AND subject = ?2");
    s.bind(1, kindName(kind)).bind(2, subject);
    return s.step() ? static_cast<int>(s.integer(0)) : 0;
}

bool unlock(Db& db, Secret kind, const std::string& subject)
{
    auto del = db.prepare("DELETE FROM secret_locks WHERE kind = ?1 AND subject = ?2");
    del.bind(1, kindName(kind)).bind(2, subject).run();
    return db.changes() == 1;
}

namespace {
// The turn of a secret's checks in this process (a few secrets share one).
std::mutex& turnOf(Secret kind, const std::string& subject)
{
    static std::array<std::mutex, 64> turns;
    return turns[(std::hash<std::string>{}(subject) + static_cast<std::size_t>(kind)) % turns.size()];
}
} // namespace

Checked check(Store& store, Secret kind, const std::string& subject, const std::string& hash,
              std::string_view given, Clock::time_point now, const Upgrade& upgrade)
{
    // Alone, an account password or PIN is also checked without a write
    // (checkInTurn): this check takes the same turn, so that one never runs
    // between the other's read of the count and its verdict.
    std::unique_lock<std::mutex> turn;
    if (store.servesAlone() && (kind == Secret::AccountPassword || kind == Secret::CardPin))
        turn = std::unique_lock<std::mutex>(turnOf(kind, subject));
    const std::string at = bankTimestamp(now);
    if (store.write([&](Db& db) { return begin(db, kind, subject, at); }) == Admit::Locked)
        return {Verdict::Locked, kSecretFailureLimit};
    const bool keyed = kind == Secret::AccountPassword || kind == Secret::CardPin;
    if (keyed ? verifySecret(hash, given, store.keys()) : verifyPassword(hash, given)) {
        std::string newHash;
        if (keyed && upgrade && !isKeyedHash(hash))
            newHash = hashShortSecret(given, store.keys());
        if (!store.write([&](Db& db) {
                if (!succeeded(db, kind, subject))
                    return false;
                if (!newHash.empty())
                    upgrade(db, newHash);
                return true;
            }))
            return {Verdict::Locked, kSecretFailureLimit};
        return {Verdict::Right, 0};
    }
    Failure f = store.write([&](Db& db) { return failed(db, kind, subject, at); });
    return {f.locked ? Verdict::Locked : Verdict::Wrong, f.count};
}

Checked attempt(Db& db, Secret kind, const std::string& subject, const std::string& now,
                const std::function<bool(Db&)>& right)
{
    // The count and the check are in one transaction here, so the attempt
    // need not be counted before its check: it is counted only when wrong.
    bool counted = false;  // earlier failures to clear when right
    {
        auto s = db.prepare("SELECT locked, failures FROM secret_locks WHERE kind = ?1 AND subject = ?2");
        s.bind(1, kindName(kind)).bind(2, subject);
        if (s.step()) {
            if (s.integer(0) != 0 || s.integer(1) >= kSecretFailureLimit)
                return {Verdict::Locked, kSecretFailureLimit};
            counted = true;
        }
    }
    if (right(db)) {
        if (counted)
            succeeded(db, kind, subject);
        return {Verdict::Right, 0};
    }
    if (begin(db, kind, subject, now) == Admit::Locked)
        return {Verdict::Locked, kSecretFailureLimit};
    Failure f = failed(db, kind, subject, now);
    return {f.locked ? Verdict::Locked : Verdict::Wrong, f.count};
}

Checked checkKeyed(Db& db, const SecretKeys& keys, Secret kind, const std::string& subject, const std::string& hash,
                   std::string_view given, Clock::time_point now)
{
    return attempt(db, kind, subject, bankTimestamp(now),
                   [&](Db&) { return isKeyedHash(hash) && verifySecret(hash, given, keys); });
}

Checked checkInTurn(Store& store, Secret kind, const std::string& subject, Clock::time_point now,
                    const std::function<bool(Db&)>& right)
{
    std::lock_guard<std::mutex> turn(turnOf(kind, subject));
    struct Seen {
        bool locked = false;
        bool earlier = false;  // failures to clear when right
        bool right = false;
    };
    const Seen seen = store.read([&](Db& db) {
        Seen s;
        auto st = db.prepare("SELECT locked, failures FROM secret_locks WHERE kind = ?1 AND subject = ?2");
        st.bind(1, kindName(kind)).bind(2, subject);
        if (st.step()) {
            if (st.integer(0) != 0 || st.integer(1) >= kSecretFailureLimit) {
                s.locked = true;
                return s;
            }
            s.earlier = true;
        }
        s.right = right(db);
        return s;
    });
    if (seen.locked)
        return {Verdict::Locked, kSecretFailureLimit};
    if (seen.right && !seen.earlier)
        return {Verdict::Right, 0};
    // The count changes: written as a check inside a write would be, the
    // verdict already known.
    return store.write([&](Db& db) {
        return attempt(db, kind, subject, bankTimestamp(now), [&](Db&) { return seen.right; });
    });
}

std::string wrongSecretText(const char* text, const Checked& checked)
{
    return std::string(text) + " (" + std::to_string(checked.failures) + "회 오류, " +
           std::to_string(kSecretFailureLimit) + "회 오류 시 거래 제한)";
}

} // namespace bankd::guard
