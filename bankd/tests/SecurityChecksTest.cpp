// The checks every money or secret path shares, against a real store: the
// security means' failure count and lock, bursts of parallel guesses that
// must not get more checks than the limit, locks that survive a restart and
// yield to `unlock`, single-use quotes, and the keyed hash of account
// passwords with its key file.
#include <atomic>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "Accounts.h"
#include "Admin.h"
#include "EnvelopeReader.h"
#include "Handlers.h"
#include "PasswordHash.h"
#include "Quotes.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "TransferCodes.h"
#include "TransferFixture.h"

using namespace bankd;
using namespace bankd::test;

using SecurityChecks = TransferBank;

TEST_F(SecurityChecks, FiveWrongCellsLockTheMeansUntilUnlockedEvenAcrossARestart)
{
    auto e = echoOf(check(keyKim, "KIM", kimA, leeA, "150000"));
    ASSERT_EQ(e.size(), 19u);
    std::string wrong = kimCard[6] == "0000" ? "0001" : "0000";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(code(execute(keyKim, "KIM", e, "S", "7", wrong, "")), result::kTrfCard);
    auto fifth = execute(keyKim, "KIM", e, "S", "7", wrong, "");
    EXPECT_EQ(code(fifth), result::kSecurityLocked);
    EXPECT_EQ(fifth.envelope.text(), result::kSecurityLockedText);
    // The sixth attempt, with the right cell, is refused and moves nothing;
    // so is a fresh check's execution.
    EXPECT_EQ(code(executeWithCard(keyKim, e)), result::kSecurityLocked);
    EXPECT_EQ(code(executeWithCard(keyKim, echoOf(check(keyKim, "KIM", kimA, leeA, "1000")))),
              result::kSecurityLocked);
    EXPECT_EQ(balance(kimA), 1'000'000);

    // A restart: a new store, sessions and dispatcher on the same database.
    {
        auto store = Store::open(location(bank.dir.str("bankd.db")), HashCost::minimal());
        Sessions sessions(bank.clock, std::chrono::seconds(600));
        Dispatcher d(*store, sessions, bank.clock);
        registerAllHandlers(d);
        via = &d;
        ASSERT_EQ(code(send(keyKim, "useSess=N&trcode=PDA_U001&UserID=KIM&UserPwd=PW1")), "10000");
        auto again = echoOf(check(keyKim, "KIM", kimA, leeA, "2000"));
        ASSERT_EQ(again.size(), 19u);
        EXPECT_EQ(code(executeWithCard(keyKim, again)), result::kSecurityLocked);

        // Unlocking clears it: the same check now executes once.
        EXPECT_EQ(admin::unlock(*store, Secret::SecurityValue, "kim"), admin::Unlocked::Yes);
        EXPECT_EQ(admin::unlock(*store, Secret::SecurityValue, "KIM"), admin::Unlocked::WasNotLocked);
        EXPECT_EQ(admin::unlock(*store, Secret::SecurityValue, "NOBODY"), admin::Unlocked::NoSuchSubject);
        EXPECT_EQ(code(executeWithCard(keyKim, again)), "10000");
        EXPECT_EQ(balance(kimA), 998'000);
        via = nullptr;
    }

    // A certificate user's wrong signatures count the same way.
    auto l = echoOf(check(keyLee, "LEE", leeA, kimA, "1000"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(code(execute(keyLee, "LEE", l, "K", "", "", sign(keyKim))), result::kTrfSignature);
    EXPECT_EQ(code(execute(keyLee, "LEE", l, "K", "", "", sign(keyKim))), result::kSecurityLocked);
    EXPECT_EQ(code(execute(keyLee, "LEE", l, "K", "", "", sign(keyLee))), result::kSecurityLocked);
    EXPECT_EQ(balance(leeA), 302'000);
}

TEST_F(SecurityChecks, TwentyFourParallelGuessesGetNoMoreThanFiveChecks)
{
    // Security cells: 24 wrong cells at once on one check.
    auto e = echoOf(check(keyKim, "KIM", kimA, leeA, "150000"));
    ASSERT_EQ(e.size(), 19u);
    auto cells = burst(24, [&](int i) {
        std::string guess = std::to_string(1000 + i);
        if (guess == kimCard[6])
            guess = "9999";
        return code(execute(keyKim, "KIM", e, "S", "7", guess, ""));
    });
    // Five were checked (four wrong, the fifth wrong and locking); the rest
    // were refused unchecked.
    EXPECT_EQ(countOf(cells, result::kTrfCard), 4);
    EXPECT_EQ(countOf(cells, result::kSecurityLocked), 20);
    EXPECT_EQ(code(executeWithCard(keyKim, e)), result::kSecurityLocked);

    // Account passwords: 24 wrong ones at once; the hash runs five times.
    const std::uint64_t before = passwordVerifications();
    auto pwds = burst(24, [&](int i) {
        return code(check(keyKim, "KIM", kimB, leeA, "1000", "20", "20241105", std::to_string(5000 + i)));
    });
    EXPECT_EQ(passwordVerifications() - before, 5u);
    EXPECT_EQ(countOf(pwds, result::kTrfPassword) + countOf(pwds, result::kTrfAccountLocked), 24);
    EXPECT_LE(countOf(pwds, result::kTrfPassword), 4);
    EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000")), result::kTrfAccountLocked);
    EXPECT_EQ(balance(kimB), 50'000);

    // A card PIN goes through the same piece.
    int pinChecks = 0;
    const std::string pinHash = hashPassword("4321", HashCost::minimal());
    auto pins = burst(24, [&](int i) {
        auto r = guard::check(*bank.store, Secret::CardPin, "9410123412341234", pinHash, std::to_string(1000 + i),
                              bank.clock.now());
        return std::string(r.verdict == guard::Verdict::Locked ? "locked" : "wrong");
    });
    pinChecks = countOf(pins, "wrong");
    EXPECT_LE(pinChecks, 4);
    EXPECT_EQ(guard::check(*bank.store, Secret::CardPin, "9410123412341234", pinHash, "4321", bank.clock.now()).verdict,
              guard::Verdict::Locked);
    EXPECT_EQ(admin::unlock(*bank.store, Secret::CardPin, "9410-1234-1234-1234"), admin::Unlocked::Yes);
    EXPECT_EQ(guard::check(*bank.store, Secret::CardPin, "9410123412341234", pinHash, "4321", bank.clock.now()).verdict,
              guard::Verdict::Right);

    // The account unlocks by its printed number too, and checks again.
    EXPECT_EQ(admin::unlock(*bank.store, Secret::AccountPassword, "110-234-567891"), admin::Unlocked::Yes);
    EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000")), "10000");

    // Its password is now under the keyed hash, checked without a write when
    // right: 24 wrong ones at once still get five checks.
    ASSERT_TRUE(bank.store->servesAlone());
    const std::uint64_t keyedBefore = passwordVerifications();
    auto keyed = burst(24, [&](int i) {
        return code(check(keyKim, "KIM", kimB, leeA, "1000", "20", "20241105", std::to_string(6000 + i)));
    });
    EXPECT_EQ(passwordVerifications() - keyedBefore, 5u);
    EXPECT_EQ(lastVerifiedCost(), "$bk1$");
    EXPECT_EQ(countOf(keyed, result::kTrfPassword), 4);
    EXPECT_EQ(countOf(keyed, result::kTrfAccountLocked), 20);
    EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000")), result::kTrfAccountLocked);
}

TEST_F(SecurityChecks, AQuoteIsConsumedOnceFromOneSessionEvenBySixThreadsAtOnce)
{
    auto e = echoOf(check(keyKim, "KIM", kimA, leeA, "100000"));
    ASSERT_EQ(e.size(), 19u);
    std::string other = sessionKey(9);
    ASSERT_EQ(bank.login(other, "KIM", "PW1"), "10000");
    // Another session of the same user does not see it.
    EXPECT_EQ(code(executeWithCard(other, e)), result::kTrfNoQuote);
    auto six = burst(6, [&](int) { return code(executeWithCard(keyKim, e)); });
    EXPECT_EQ(countOf(six, "10000"), 1);
    EXPECT_EQ(countOf(six, result::kTrfDone), 5);
    EXPECT_EQ(balance(kimA), 900'000);
    EXPECT_EQ(balance(leeA), 400'000);
    EXPECT_EQ(code(executeWithCard(keyKim, e)), result::kTrfDone);

    // The generic piece under a burst: one consumer wins.
    std::int64_t kim = bank.store->read([](Db& db) { return customers::find(db, "KIM")->id; });
    const quotes::Binding loan{"loan-interest", kim, keyKim};
    std::string serial = bank.store->write([&](Db& db) {
        return quotes::open(db, loan, {{"account", "7700"}, {"memo", "a=b\nc\\d"}}, bank.clock.now(),
                            std::chrono::seconds(600));
    });
    auto found = bank.store->read([&](Db& db) { return quotes::find(db, loan, serial, bank.clock.now()); });
    ASSERT_EQ(found.state, quotes::State::Open);
    EXPECT_EQ(found.values["memo"], "a=b\nc\\d");
    // Another kind, customer or session reads it as unknown.
    for (const quotes::Binding& b : {quotes::Binding{"transfer", kim, keyKim}, quotes::Binding{"loan-interest", kim + 1, keyKim},
                                     quotes::Binding{"loan-interest", kim, other}})
        EXPECT_EQ(bank.store->read([&](Db& db) { return quotes::find(db, b, serial, bank.clock.now()).state; }),
                  quotes::State::Unknown);
    auto winners = burst(6, [&](int) {
        return bank.store->write([&](Db& db) { return quotes::consume(db, loan, serial, "paid", bank.clock.now()); })
                   ? std::string("won")
                   : std::string("lost");
    });
    EXPECT_EQ(countOf(winners, "won"), 1);
    auto used = bank.store->read([&](Db& db) { return quotes::find(db, loan, serial, bank.clock.now()); });
    EXPECT_EQ(used.state, quotes::State::Used);
    EXPECT_EQ(used.outcome, "paid");
    // An expired quote cannot be consumed.
    std::string late = bank.store->write(
        [&](Db& db) { return quotes::open(db, loan, {}, bank.clock.now(), std::chrono::seconds(60)); });
    bank.clock.advance(std::chrono::seconds(61));
    EXPECT_EQ(bank.store->read([&](Db& db) { return quotes::find(db, loan, late, bank.clock.now()).state; }),
              quotes::State::Expired);
    EXPECT_FALSE(bank.store->write([&](Db& db) { return quotes::consume(db, loan, late, "x", bank.clock.now()); }));
}

TEST_F(SecurityChecks, AccountPasswordsMoveToTheKeyedHashOnTheirNextRightCheckAndNeedTheKeyFile)
{
    auto hashOf = [&](const std::string& account) {
        return bank.store->read([&](Db& db) { return accounts::passwordHash(db, account).value_or(""); });
    };
    ASSERT_EQ(hashOf(kimA).rfind("$argon2id$", 0), 0u);
    // A wrong password leaves the old hash; the right one replaces it.
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241105", "9999")), result::kTrfPassword);
    EXPECT_EQ(hashOf(kimA).rfind("$argon2id$", 0), 0u);
    ASSERT_EQ(echoOf(check(keyKim, "KIM", kimA, leeA, "1000")).size(), 19u);
    EXPECT_EQ(lastVerifiedCost().rfind("$argon2id$", 0), 0u);
    const std::string keyed = hashOf(kimA);
    EXPECT_EQ(keyed.rfind("$bk1$", 0), 0u);
    ASSERT_EQ(echoOf(check(keyKim, "KIM", kimA, leeA, "1000")).size(), 19u);
    EXPECT_EQ(lastVerifiedCost(), "$bk1$");
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241105", "1235")), result::kTrfPassword);
    EXPECT_EQ(hashOf(kimA), keyed);

    // The key lives in its own file, readable by the server alone.
    struct stat st{};
    ASSERT_EQ(::stat(bank.dir.str("secrets.key").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // A copy of the database without the key file does not open, and with
    // another key no password checks: the hashes are useless without the key.
    // (On PostgreSQL: the same database reached from a folder without the key.)
    std::filesystem::create_directories(bank.dir.str("copy"));
    if (!onPostgres())
        bank.store->lease().db().exec(("VACUUM INTO '" + bank.dir.str("copy/bankd.db") + "'").c_str());
    EXPECT_THROW(Store::open(location(bank.dir.str("copy/bankd.db")), HashCost::minimal()), DbError);
    SecretKeys::loadOrCreate(bank.dir.str("copy/secrets.key"));
    auto copy = Store::open(location(bank.dir.str("copy/bankd.db")), HashCost::minimal());
    auto other = guard::check(*copy, Secret::AccountPassword, kimA, keyed, "1234", bank.clock.now());
    EXPECT_EQ(other.verdict, guard::Verdict::Wrong);
    auto same = guard::check(*bank.store, Secret::AccountPassword, kimA, keyed, "1234", bank.clock.now());
    EXPECT_EQ(same.verdict, guard::Verdict::Right);
}
