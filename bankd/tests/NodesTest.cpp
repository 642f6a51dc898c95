// Two bank nodes on one database: two Store objects opened on it, each with
// its own connections (and on SQLite its own writer), sharing nothing else but
// the gateway sessions. Single-use quotes, failure counts and scheduled
// transfers hold across them as within one.
#include "Handlers.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "TransferCodes.h"
#include "TransferFixture.h"
#include "TransferRunner.h"

using namespace bankd;
using namespace bankd::test;

namespace {

class TwoNodes : public TransferBank {
protected:
    TwoNodes()
        : store2(Store::open(location(bank.dir.str("bankd.db")), HashCost::minimal())),
          node2(*store2, bank.sessions, bank.clock)
    {
        bank.store->setServesAlone(false);  // two nodes on one database
        registerAllHandlers(node2);
    }

    // Runs f(node) on two threads at once, node 0 on the first store and node 1 on the second.
    template <class F>
    std::vector<std::string> atBoth(F f)
    {
        return burst(2, [&](int node) {
            threadVia = node == 1 ? &node2 : nullptr;
            std::string c = f(node);
            threadVia = nullptr;
            return c;
        });
    }

    std::unique_ptr<Store> store2;
    Dispatcher node2;
};

} // namespace

TEST_F(TwoNodes, AQuoteExecutedAtBothNodesAtOnceMovesMoneyOnce)
{
    constexpr int kRounds = 12;
    int executed = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto e = echoOf(check(keyKim, "KIM", kimA, leeA, std::to_string(1000 + round)));
        ASSERT_EQ(e.size(), 19u);
        auto codes = atBoth([&](int) { return code(executeWithCard(keyKim, e)); });
        ASSERT_EQ(countOf(codes, "10000"), 1) << codes[0] << " " << codes[1];
        EXPECT_EQ(countOf(codes, result::kTrfDone), 1) << codes[0] << " " << codes[1];
        executed += 1000 + round;
    }
    EXPECT_EQ(balance(kimA), 1'000'000 - executed);
    EXPECT_EQ(balance(leeA), 300'000 + executed);
    EXPECT_EQ(historyRows(leeA), 1 + kRounds);  // the opening deposit and one per quote
    // Each serial is recorded once, whichever node executed it.
    bank.store->read([&](Db& db) {
        auto s = db.prepare("SELECT count(*), count(DISTINCT serial) FROM transfers WHERE from_account = ?1");
        s.bind(1, kimA);
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.integer(0), kRounds);
        EXPECT_EQ(s.integer(1), kRounds);
    });
}

TEST_F(TwoNodes, WrongPasswordsAtBothNodesLockAtTheFifthWhicheverNodeCounted)
{
    // Twelve wrong account passwords, six at each node, all at once.
    auto codes = burst(12, [&](int i) {
        threadVia = i % 2 ? &node2 : nullptr;
        std::string c = code(check(keyKim, "KIM", kimB, leeA, "1000", "20", "20241105", std::to_string(5000 + i)));
        threadVia = nullptr;
        return c;
    });
    EXPECT_EQ(countOf(codes, result::kTrfPassword) + countOf(codes, result::kTrfAccountLocked), 12);
    EXPECT_LE(countOf(codes, result::kTrfPassword), 4);
    // Locked at both nodes, even for the right password.
    EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000")), result::kTrfAccountLocked);
    threadVia = &node2;
    EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000")), result::kTrfAccountLocked);
    threadVia = nullptr;
    store2->read([&](Db& db) { EXPECT_EQ(guard::failures(db, Secret::AccountPassword, kimB), kSecretFailureLimit); });

    // Failures counted at both nodes in turn add up to the same limit.
    for (int i = 0; i < kSecretFailureLimit - 1; ++i) {
        threadVia = i % 2 ? &node2 : nullptr;
        EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241105", "0000")), result::kTrfPassword);
    }
    threadVia = &node2;
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241105", "0000")), result::kTrfAccountLocked);
    threadVia = nullptr;
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000")), result::kTrfAccountLocked);
}

TEST_F(TwoNodes, RunnersOnBothNodesRunEachScheduledTransferOnce)
{
    constexpr int kScheduled = 16;
    for (int i = 0; i < kScheduled; ++i) {
        auto e = echoOf(check(keyKim, "KIM", kimA, leeA, std::to_string(10'000 + i), "20", "20241106"));
        ASSERT_EQ(e.size(), 19u);
        ASSERT_EQ(code(executeWithCard(keyKim, e)), "10000");
    }
    bank.clock.advance(std::chrono::hours(24));
    TransferRunner runner1(*bank.store, bank.clock, std::chrono::seconds(3600));
    TransferRunner runner2(*store2, bank.clock, std::chrono::seconds(3600));
    std::atomic<int> ran{0};
    burst(4, [&](int i) {
        ran += (i % 2 ? runner2 : runner1).runOnce();
        return std::string();
    });
    EXPECT_EQ(ran.load(), kScheduled);
    EXPECT_EQ(runner1.runOnce() + runner2.runOnce(), 0);
    std::int64_t moved = 0;
    for (int i = 0; i < kScheduled; ++i)
        moved += 10'000 + i;
    EXPECT_EQ(balance(kimA), 1'000'000 - moved);
    EXPECT_EQ(balance(leeA), 300'000 + moved);
    bank.store->read([&](Db& db) {
        auto s = db.prepare(
            "SELECT count(*), count(DISTINCT scheduled_id) FROM transfers WHERE scheduled_id IS NOT NULL "
            "AND result_code = '0000'");
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.integer(0), kScheduled);
        EXPECT_EQ(s.integer(1), kScheduled);
        auto r = db.prepare("SELECT count(*) FROM scheduled_transfers WHERE result_code = '0000'");
        ASSERT_TRUE(r.step());
        EXPECT_EQ(r.integer(0), kScheduled);
    });
}
