#pragma once
// Failure counts and locks of every secret that can be guessed: login
// passwords, account passwords, card PINs and security values (card cell or
// certificate signature). Each locks on its fifth consecutive failure.
//
// An attempt is counted before its secret is checked (begin), in its own
// write transaction, and resolved after the check (succeeded / failed). A
// burst of parallel guesses therefore gets at most the limit's worth of
// checks: the others find the count full and are refused as locked, whether
// or not the earlier checks have finished. The counts live in the database,
// so a lock survives a restart; `bankd unlock` clears it.
#include <functional>
#include <string>
#include <string_view>

#include "Clock.h"

namespace bankd {

class Db;
class SecretKeys;
class Store;

enum class Secret { LoginPassword, AccountPassword, CardPin, SecurityValue };

// Consecutive failures that lock any secret.
inline constexpr int kSecretFailureLimit = 5;

namespace guard {

// The subject of each kind: the user ID (login password, security value), the
// account number (account password), the card number (card PIN).
const char* kindName(Secret kind);

enum class Admit { Go, Locked };
// Counts one attempt; Locked when the subject is locked or the limit's worth
// of attempts are already counted. Inside the caller's write transaction.
Admit begin(Db& db, Secret kind, const std::string& subject, const std::string& now);

// The secret was right: the count starts again. False when the subject was
// locked meanwhile by other failed attempts (the caller refuses).
bool succeeded(Db& db, Secret kind, const std::string& subject);

struct Failure {
    int count = 0;        // consecutive failures counted so far
    bool locked = false;  // this failure locked the subject (or it was locked)
};
// The secret was wrong: the attempt stays counted, and the subject locks when
// the count has reached the limit.
Failure failed(Db& db, Secret kind, const std::string& subject, const std::string& now);

bool locked(Db& db, Secret kind, const std::string& subject);
int failures(Db& db, Secret kind, const std::string& subject);
// Clears the count and the lock; false when there was neither.
bool unlock(Db& db, Secret kind, const std::string& subject);

enum class Verdict { Right, Wrong, Locked };
struct Checked {
    Verdict verdict = Verdict::Wrong;
    int failures = 0;  // when Wrong: consecutive failures counted so far
};
// The refusal text of a wrong secret with its count: "TEXT (2회 오류, 5회 오류 시 거래 제한)".
std::string wrongSecretText(const char* text, const Checked& checked);
// A hashed secret (login password, account password, card PIN) checked under
// its count and lock: the attempt is counted in one transaction, the hash
// runs outside any, and the outcome is written in a third. An account
// password or PIN still under an Argon2id hash gets its keyed hash once it
// was right: `upgrade` stores it, inside the outcome's transaction.
using Upgrade = std::function<void(Db&, const std::string& keyedHash)>;
Checked check(Store& store, Secret kind, const std::string& subject, const std::string& hash,
              std::string_view given, Clock::time_point now, const Upgrade& upgrade = {});

// The same for a secret under a keyed hash (isKeyedHash), inside the caller's
// write transaction: the attempt is counted, the hash checked (microseconds,
// so it may hold the transaction) and the outcome written in that one
// transaction, together with whatever the caller writes after a right secret.
// Whatever the verdict, the caller must let its transaction commit (return,
// not throw) so that a wrong attempt stays counted.
Checked checkKeyed(Db& db, const SecretKeys& keys, Secret kind, const std::string& subject, const std::string& hash,
                   std::string_view given, Clock::time_point now);

// One attempt at a secret checked by `right` (quick), inside the caller's
// write transaction, with the same counting and locking as above. Only a
// wrong attempt, or a right one that clears earlier failures, writes
// anything: the usual right attempt costs the transaction no page.
Checked attempt(Db& db, Secret kind, const std::string& subject, const std::string& now,
                const std::function<bool(Db&)>& right);

// The same for a bank served by this process alone (Store::servesAlone), with
// no write for the usual right attempt: the checks of one secret are taken in
// turn within the process (check() above takes the same turn for account
// passwords and PINs); each reads the count and runs `right` in a read, and
// only a wrong attempt (or a right one that clears earlier failures) is then
// written, synced, before the next check of that secret begins.
Checked checkInTurn(Store& store, Secret kind, const std::string& subject, Clock::time_point now,
                    const std::function<bool(Db&)>& right);

} // namespace guard
} // namespace bankd
