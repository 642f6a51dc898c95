// Scheduled transfers (registration, running when due, cancelling) and the
// result inquiries, through the dispatcher.
#include "ResultCodes.h"
#include "Sqlite.h"
#include "TransferCodes.h"
#include "TransferFixture.h"
#include "TransferRunner.h"
#include "Transfers.h"

using namespace bankd;
using namespace bankd::test;

namespace {
std::vector<std::string> free0(const DispatchOutcome& o)
{
    return recordOf(o.envelope.str(), "free0");
}
} // namespace

class ScheduledTransfers : public TransferBank {
protected:
    // A scheduled transfer from KIM's first account, registered through T001/T002.
    DispatchOutcome schedule(const std::string& to, const std::string& amount, const std::string& date)
    {
        auto e = free0(check(keyKim, "KIM", kimA, to, amount, "20", date));
        return executeWithCard(keyKim, e);
    }
    DispatchOutcome list() { return send(keyKim, "encrypt=1&trcode=PDA_T006&UserID=KIM"); }
    DispatchOutcome cancel(const std::string& date, const std::string& seq)
    {
        return send(keyKim, "encrypt=1&trcode=PDA_T007&UserID=KIM&IcheExecDay=" + date + "&IcheSeqNo=" + seq);
    }
};

TEST_F(ScheduledTransfers, AFutureDateRegistersInsteadOfMovingMoney)
{
    auto q = free0(check(keyKim, "KIM", kimA, leeA, "2000000", "20", "20241120"));
    ASSERT_EQ(q.size(), 19u);  // the balance is checked when it runs
    EXPECT_EQ(q[15], "2");
    EXPECT_EQ(q[16], "20241120");
    auto r = executeWithCard(keyKim, q);
    ASSERT_EQ(r.envelope.code(), "10000") << r.envelope.text();
    EXPECT_EQ(r.envelope.text(), "예약이체가 등록되었습니다. (이체일 2024-11-20)");
    EXPECT_EQ(free0(r)[10], "0000000");
    EXPECT_EQ(balance(kimA), 1'000'000);
    EXPECT_EQ(executeWithCard(keyKim, q).envelope.code(), result::kTrfDone);

    auto l = list();
    ASSERT_EQ(recordCount(l.envelope.str(), "list0"), 1);
    auto rec = recordOf(l.envelope.str(), "list0", 1);
    ASSERT_EQ(rec.size(), 8u);
    EXPECT_EQ(rec[0], "20241120");
    EXPECT_EQ(rec[2], "110-234-567890");
    EXPECT_EQ(rec[3], "20");
    EXPECT_EQ(rec[4], leeA);
    EXPECT_EQ(rec[5], "이서연");
    EXPECT_EQ(rec[6], "2000000");
    EXPECT_EQ(rec[7], "");
    // LEE sees none of KIM's.
    EXPECT_EQ(recordCount(send(keyLee, "encrypt=1&trcode=PDA_T006&UserID=LEE").envelope.str(), "list0"), 0);
}

TEST_F(ScheduledTransfers, DueTransfersRunOnceWithTheirResultCodes)
{
    ASSERT_EQ(schedule(leeA, "300000", "20241106").envelope.code(), "10000");
    ASSERT_EQ(schedule(kimB, "900000", "20241106").envelope.code(), "10000");  // then short of funds
    ASSERT_EQ(schedule(leeA, "1000", "20241130").envelope.code(), "10000");   // not yet due
    TransferRunner runner(*bank.store, bank.clock, std::chrono::seconds(3600));
    EXPECT_EQ(runner.runOnce(), 0);  // nothing due today
    bank.clock.advance(std::chrono::hours(24));
    ASSERT_EQ(bank.login(keyKim, "KIM", "PW1"), "10000");
    ASSERT_EQ(bank.login(keyLee, "LEE", "PW2"), "10000");
    const std::int64_t total = totalBalances();
    EXPECT_EQ(runner.runOnce(), 2);
    EXPECT_EQ(runner.runOnce(), 0);  // never twice
    EXPECT_EQ(balance(kimA), 700'000);
    EXPECT_EQ(balance(leeA), 600'000);
    EXPECT_EQ(balance(kimB), 50'000);
    EXPECT_EQ(totalBalances(), total);

    auto l = list().envelope.str();
    ASSERT_EQ(recordCount(l, "list0"), 3);
    EXPECT_EQ(recordOf(l, "list0", 1)[7], transfers::kDone);
    EXPECT_EQ(recordOf(l, "list0", 2)[7], transfers::kFailFunds);
    EXPECT_EQ(recordOf(l, "list0", 3)[7], "");

    // Carried out: cannot be cancelled. Failed and pending: can.
    auto done = recordOf(l, "list0", 1);
    EXPECT_EQ(cancel(done[0], done[1]).envelope.code(), result::kTrfScheduleDone);
    auto failed = recordOf(l, "list0", 2);
    auto c = cancel(failed[0], failed[1]);
    EXPECT_EQ(c.envelope.code(), "10000");
    EXPECT_EQ(c.envelope.text(), "예약이체가 삭제되었습니다.");
    auto pending = recordOf(l, "list0", 3);
    EXPECT_EQ(cancel("20241129", pending[1]).envelope.code(), result::kTrfNoSchedule);  // wrong date
    EXPECT_EQ(send(keyLee, "encrypt=1&trcode=PDA_T007&UserID=LEE&IcheExecDay=" + pending[0] +
                               "&IcheSeqNo=" + pending[1]).envelope.code(),
              result::kTrfNoSchedule);  // not LEE's
    EXPECT_EQ(cancel(pending[0], pending[1]).envelope.code(), "10000");
    EXPECT_EQ(cancel(pending[0], pending[1]).envelope.code(), result::kTrfNoSchedule);
    EXPECT_EQ(cancel(pending[0], "x'1").envelope.code(), result::kTrfNoSchedule);
    EXPECT_EQ(recordCount(list().envelope.str(), "list0"), 1);
    // The cancelled one never runs.
    bank.clock.advance(std::chrono::hours(24 * 30));
    EXPECT_EQ(runner.runOnce(), 0);
    EXPECT_EQ(balance(kimA), 700'000);
}

TEST_F(ScheduledTransfers, TheRunnerRunsAtStartAndStopsCleanly)
{
    ASSERT_EQ(schedule(leeA, "5000", "20241106").envelope.code(), "10000");
    bank.clock.advance(std::chrono::hours(24));
    TransferRunner runner(*bank.store, bank.clock, std::chrono::seconds(3600));
    EXPECT_EQ(runner.start(), 1);
    runner.stop();
    EXPECT_EQ(balance(leeA), 305'000);
}

class TransferResults : public TransferBank {};

TEST_F(TransferResults, ListAndDetailOfTheUsersOwnTransfers)
{
    ASSERT_EQ(executeWithCard(keyKim, free0(check(keyKim, "KIM", kimA, leeA, "1000"))).envelope.code(), "10000");
    ASSERT_EQ(executeWithCard(keyKim, free0(check(keyKim, "KIM", kimA, "12345678901", "2000", "04"))).envelope.code(),
              "10000");
    bank.clock.advance(std::chrono::hours(24));
    ASSERT_EQ(bank.login(keyKim, "KIM", "PW1"), "10000");
    ASSERT_EQ(bank.login(keyLee, "LEE", "PW2"), "10000");
    auto e = free0(check(keyKim, "KIM", kimA, leeA, "3000", "20", "20241106"));
    auto third = executeWithCard(keyKim, e);
    ASSERT_EQ(third.envelope.code(), "10000");

    auto l = send(keyKim, "encrypt=1&trcode=PDA_T004&UserID=KIM&InqSdate=20241101&InqEdate=20241106").envelope.str();
    ASSERT_EQ(recordCount(l, "list0"), 3);
    auto r1 = recordOf(l, "list0", 1);
    ASSERT_EQ(r1.size(), 6u);
    EXPECT_EQ(r1[0], "20241105");
    EXPECT_EQ(r1[1], "20");
    EXPECT_EQ(r1[2], leeA);
    EXPECT_EQ(r1[3], "1000");
    EXPECT_EQ(r1[4], "정상");
    EXPECT_EQ(recordOf(l, "list0", 3)[0], "20241106");
    auto only = send(keyKim, "encrypt=1&trcode=PDA_T004&UserID=KIM&InqSdate=20241106&InqEdate=20241106");
    EXPECT_EQ(recordCount(only.envelope.str(), "list0"), 1);
    EXPECT_EQ(send(keyKim, "encrypt=1&trcode=PDA_T004&UserID=KIM&InqSdate=20241107&InqEdate=20241106").envelope.code(),
              result::kBadValue);
    EXPECT_EQ(recordCount(send(keyLee, "encrypt=1&trcode=PDA_T004&UserID=LEE&InqSdate=20241101&InqEdate=20241130")
                              .envelope.str(),
                          "list0"),
              0);

    auto r2 = recordOf(l, "list0", 2);
    auto d = send(keyKim, "encrypt=1&trcode=PDA_T005&UserID=KIM&InqSdate=" + r2[0] + "&InqEdate=" + r2[0] +
                              "&Seq=" + r2[5]);
    ASSERT_EQ(d.envelope.code(), "10000");
    auto f = free0(d);
    ASSERT_EQ(f.size(), 9u);
    EXPECT_EQ(f[0], "110-234-567890");
    EXPECT_EQ(f[1], "최유리");
    EXPECT_EQ(f[2], "국민은행");
    EXPECT_EQ(f[3], "12345678901");
    EXPECT_EQ(f[4], "2000");
    EXPECT_EQ(f[5], "500");
    EXPECT_EQ(f[6], "20241105");
    EXPECT_EQ(f[7].size(), 7u);
    EXPECT_EQ(f[8], "0000:정상처리되었습니다");
    // Another user cannot read it; a wrong date does not find it.
    EXPECT_EQ(send(keyLee, "encrypt=1&trcode=PDA_T005&UserID=LEE&InqSdate=" + r2[0] + "&InqEdate=" + r2[0] +
                               "&Seq=" + r2[5]).envelope.code(),
              result::kTrfNoResult);
    EXPECT_EQ(send(keyKim, "encrypt=1&trcode=PDA_T005&UserID=KIM&InqSdate=20241106&InqEdate=20241106&Seq=" + r2[5])
                  .envelope.code(),
              result::kTrfNoResult);
}

TEST_F(TransferResults, SourceAndFavouriteAccountLists)
{
    addAccount("KIM", "220-11-0045678", 90'000, /*withdrawal=*/false);
    addAccount("KIM", "110-234-567892", 10, true, "A04", /*hidden=*/true);
    auto a = send(keyKim, "encrypt=1&trcode=PDA_A003&UserID=KIM").envelope.str();
    ASSERT_EQ(recordCount(a, "list0"), 4);
    EXPECT_EQ(recordOf(a, "list0", 1), (std::vector<std::string>{"보통예금", "110-234-567890", "1000000", "1", "1000000"}));
    EXPECT_EQ(recordOf(a, "list0", 3)[3], "3");  // hidden withdrawal account
    EXPECT_EQ(recordOf(a, "list0", 4)[3], "0");  // not a withdrawal account

    bank.store->write([](Db& db) {
        db.exec("INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, registered_on) "
                "SELECT id, '04', '최유리', '12345678901', '20241001' FROM customers WHERE user_id = 'KIM'");
    });
    auto f = send(keyKim, "encrypt=1&trcode=PDA_A001&UserID=KIM").envelope.str();
    ASSERT_EQ(recordCount(f, "list0"), 1);
    auto r = recordOf(f, "list0", 1);
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[0], "04");
    EXPECT_EQ(r[1], "최유리");
    EXPECT_EQ(r[2], "12345678901");
    EXPECT_EQ(recordCount(send(keyLee, "encrypt=1&trcode=PDA_A001&UserID=LEE").envelope.str(), "list0"), 0);
}
