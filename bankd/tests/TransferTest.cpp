// Transfers through the dispatcher: the check and price (PDA_T001), the
// execution with its security value (PDA_T002), and the money rules.
#include <atomic>
#include <thread>

#include "Books.h"
#include "QuoteBook.h"
#include "EnvelopeReader.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "TransferCodes.h"
#include "TransferFixture.h"
#include "Transfers.h"

using namespace bankd;
using namespace bankd::test;


using TransferCheck = TransferBank;
using TransferExecution = TransferBank;

TEST_F(TransferCheck, EchoesNineteenFieldsWithTheRecipientFeeAndASerial)
{
    auto own = check(keyKim, "KIM", kimA, leeA, "150000");
    ASSERT_EQ(code(own), "10000") << own.envelope.text();
    auto e = echoOf(own);
    ASSERT_EQ(e.size(), 19u);
    EXPECT_EQ(e[0], "110-234-567890");
    EXPECT_EQ(e[1], "타브린은행");
    EXPECT_EQ(e[2], "이서연");
    EXPECT_EQ(e[3], "");
    EXPECT_EQ(e[4], "20241105");
    EXPECT_EQ(e[5], "1000000");
    EXPECT_EQ(e[6], leeA);
    EXPECT_EQ(e[7], "150000");
    EXPECT_EQ(e[8], "김민준");  // no sender given: the holder's name
    EXPECT_EQ(e[9], "0");
    EXPECT_EQ(e[11], "20");
    EXPECT_EQ(e[12], "****");  // the password never comes back
    EXPECT_EQ(e[15], "1");
    EXPECT_EQ(e[17].size(), 16u);
    EXPECT_EQ(e[17].substr(0, 8), "20241105");

    auto other = check(keyKim, "KIM", kimA, "12345678901", "990000", "04");
    ASSERT_EQ(code(other), "10000");
    auto o = echoOf(other);
    EXPECT_EQ(o[1], "국민은행");
    EXPECT_EQ(o[2], "최유리");
    EXPECT_EQ(o[9], "500");
    EXPECT_EQ(transfers::feeFor("04", 1'000'000), 500);
    EXPECT_EQ(transfers::feeFor("04", 1'000'001), 1000);
    EXPECT_EQ(transfers::feeFor("20", 9'000'000), 0);
    EXPECT_NE(o[17], e[17]);  // every check has its own serial
    // Nothing moves at the check.
    EXPECT_EQ(balance(kimA), 1'000'000);
}

TEST_F(TransferCheck, RefusesWhatCannotBeTransferred)
{
    EXPECT_EQ(code(check(keyKim, "KIM", leeA, kimA, "1000")), result::kTrfAccount);  // not KIM's account
    std::string loan = addAccount("KIM", "770-01-0012345", 0, true, "A07");
    EXPECT_EQ(code(check(keyKim, "KIM", loan, leeA, "1000")), result::kTrfAccount);
    std::string savings = addAccount("KIM", "220-11-0045678", 90'000, /*withdrawal=*/false);
    EXPECT_EQ(code(check(keyKim, "KIM", savings, leeA, "1000")), result::kTrfAccount);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "0")), result::kTrfAmount);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1,000")), result::kTrfAmount);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "-5")), result::kTrfAmount);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "99999999999999999999")), result::kTrfAmount);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "10000001")), result::kTrfLimit);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000001")), result::kTrfFunds);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "99")), result::kTrfBank);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, "", "1000", "")), result::kTrfBank);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, "999999", "1000")), result::kTrfRecipient);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, kimA, "1000")), result::kTrfRecipient);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, "999999", "1000", "04")), result::kTrfRecipient);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241104")), result::kTrfDate);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20250301")), result::kTrfDate);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241131")), result::kTrfDate);
    // Another user's session cannot name KIM.
    EXPECT_EQ(code(check(keyLee, "KIM", kimA, leeA, "1000")), result::kSession);
}

TEST_F(TransferCheck, WrongAccountPasswordsLockTheAccountAtTheFifth)
{
    for (int i = 0; i < 4; ++i) {
        auto o = check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241105", "9999");
        EXPECT_EQ(code(o), result::kTrfPassword);
        // The customer is told how many tries are used and where the limit is.
        EXPECT_EQ(o.envelope.text(), std::string(result::kTrfPasswordText) + " (" + std::to_string(i + 1) +
                                         "회 오류, 5회 오류 시 거래 제한)");
    }
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000", "20", "20241105", "9999")), result::kTrfAccountLocked);
    EXPECT_EQ(code(check(keyKim, "KIM", kimA, leeA, "1000")), result::kTrfAccountLocked);
    // A right password before the limit clears the count.
    EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000", "20", "20241105", "9999")), result::kTrfPassword);
    EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000")), "10000");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(code(check(keyKim, "KIM", kimB, leeA, "1000", "20", "20241105", "9999")), result::kTrfPassword);
}

TEST_F(TransferExecution, CardUserWrongCellMovesNothingAndTheRightCellMovesOnce)
{
    auto q = check(keyKim, "KIM", kimA, leeA, "150000");
    auto e = echoOf(q);
    std::string wrong = kimCard[6] == "0000" ? "0001" : "0000";
    auto refused = execute(keyKim, "KIM", e, "S", "7", wrong, "");
    EXPECT_EQ(code(refused), result::kTrfCard);
    EXPECT_EQ(code(execute(keyKim, "KIM", e, "S", "36", kimCard[6], "")), result::kTrfCard);
    EXPECT_EQ(code(execute(keyKim, "KIM", e, "S", "", kimCard[6], "")), result::kTrfCard);
    EXPECT_EQ(code(execute(keyKim, "KIM", e, "K", "", "", "V1.x.1.y")), result::kTrfSecurityWay);
    EXPECT_EQ(balance(kimA), 1'000'000);
    EXPECT_EQ(balance(leeA), 300'000);

    auto done = executeWithCard(keyKim, e);
    ASSERT_EQ(code(done), "10000") << done.envelope.text();
    EXPECT_EQ(done.envelope.text(), "이체가 정상처리 되었습니다.");
    auto r = echoOf(done);
    ASSERT_EQ(r.size(), 11u);
    EXPECT_EQ(r[0], "110-234-567890");
    EXPECT_EQ(r[1], "타브린은행");
    EXPECT_EQ(r[2], "이서연");
    EXPECT_EQ(r[4], "20241105");
    EXPECT_EQ(r[5], "850000");
    EXPECT_EQ(r[6], leeA);
    EXPECT_EQ(r[7], "150000");
    EXPECT_EQ(r[9], "0");
    EXPECT_EQ(r[10].size(), 7u);
    EXPECT_EQ(balance(kimA), 850'000);
    EXPECT_EQ(balance(leeA), 450'000);
    // One history row on each side.
    EXPECT_EQ(historyRows(kimA), 2);
    EXPECT_EQ(historyRows(leeA), 2);

    // The same serial again, as sent or re-signed: refused, nothing moves.
    auto again = executeWithCard(keyKim, e);
    EXPECT_EQ(code(again), result::kTrfDone);
    EXPECT_EQ(again.envelope.text(), result::kTrfDoneText);
    EXPECT_EQ(balance(kimA), 850'000);
    EXPECT_EQ(balance(leeA), 450'000);
}

TEST_F(TransferExecution, AnAlteredEchoOrAnotherSessionMovesNothing)
{
    auto e = echoOf(check(keyKim, "KIM", kimA, leeA, "150000"));
    for (int field : {0, 6, 7, 9, 11, 4, 2, 8}) {
        auto altered = e;
        altered[field] = field == 4 ? "20241106" : field == 0 || field == 6 ? kimB : altered[field] + "1";
        EXPECT_EQ(code(executeWithCard(keyKim, altered)), result::kTrfAltered) << "field " << field;
    }
    auto unknown = e;
    unknown[17] = "2024110500000000";
    EXPECT_EQ(code(executeWithCard(keyKim, unknown)), result::kTrfNoQuote);
    // The same user logged in on another session cannot execute this check.
    std::string other = sessionKey(9);
    ASSERT_EQ(bank.login(other, "KIM", "PW1"), "10000");
    EXPECT_EQ(code(executeWithCard(other, e)), result::kTrfNoQuote);
    // A check left too long expires.
    bank.clock.advance(std::chrono::seconds(601));
    ASSERT_EQ(bank.login(keyKim, "KIM", "PW1"), "10000");
    EXPECT_EQ(code(executeWithCard(keyKim, e)), result::kTrfNoQuote);
    EXPECT_EQ(balance(kimA), 1'000'000);
    EXPECT_EQ(balance(leeA), 300'000);
}

TEST_F(TransferExecution, CertificateSignatureMustBeOfThisSessionRecentAndUnused)
{
    auto e = echoOf(check(keyLee, "LEE", leeA, kimA, "100000"));
    ASSERT_EQ(e.size(), 19u);
    // Signed for another session: refused.
    EXPECT_EQ(code(execute(keyLee, "LEE", e, "K", "", "", sign(keyKim))), result::kTrfSignature);
    // Signed too long ago.
    auto old = bank.clock.now() - std::chrono::seconds(400);
    EXPECT_EQ(code(execute(keyLee, "LEE", e, "K", "", "",
                           sign(keyLee, std::chrono::duration_cast<std::chrono::seconds>(old.time_since_epoch()).count()))),
              result::kTrfSignature);
    EXPECT_EQ(code(execute(keyLee, "LEE", e, "K", "", "", "")), result::kTrfSignature);
    EXPECT_EQ(code(execute(keyLee, "LEE", e, "S", "7", "0000", "")), result::kTrfSecurityWay);
    EXPECT_EQ(balance(leeA), 300'000);

    std::string good = sign(keyLee);
    auto done = execute(keyLee, "LEE", e, "K", "", "", good);
    ASSERT_EQ(code(done), "10000") << done.envelope.text();
    EXPECT_EQ(balance(leeA), 200'000);
    EXPECT_EQ(balance(kimA), 1'100'000);
    // The same signature cannot authorise a second transfer.
    auto e2 = echoOf(check(keyLee, "LEE", leeA, kimA, "1000"));
    EXPECT_EQ(code(execute(keyLee, "LEE", e2, "K", "", "", good)), result::kTrfSignature);
    EXPECT_EQ(balance(leeA), 200'000);
}

TEST_F(TransferExecution, FeesAndMoneySentOutAreTheOnlyChangeOfTheBooks)
{
    auto before = bank.store->read([](Db& db) { return books::read(db); });
    ASSERT_EQ(code(executeWithCard(keyKim, echoOf(check(keyKim, "KIM", kimA, "12345678901", "200000", "04")))),
              "10000");
    ASSERT_EQ(code(executeWithCard(keyKim, echoOf(check(keyKim, "KIM", kimA, "12345678901", "1500", "04")))), "10000");
    ASSERT_EQ(code(executeWithCard(keyKim, echoOf(check(keyKim, "KIM", kimA, leeA, "3000")))), "10000");
    auto after = bank.store->read([](Db& db) { return books::read(db); });
    EXPECT_EQ(books::check(before, after), "");
    EXPECT_EQ(after.term("transfer fees") - before.term("transfer fees"), 1000);
    EXPECT_EQ(after.term("sent to other banks") - before.term("sent to other banks"), 201'500);
    EXPECT_EQ(before.balances - after.balances, 202'500);
    EXPECT_EQ(balance(kimA), 1'000'000 - 200'500 - 2'000 - 3'000);
    // Funds must cover the fee too.
    auto e = echoOf(check(keyKim, "KIM", kimB, "12345678901", "49600", "04"));
    EXPECT_TRUE(e.empty());
}

TEST_F(TransferExecution, ConcurrentExecutionsFromOneAccountNeverOverdrawIt)
{
    // Eight checked transfers of 400,000 won each from an account of 1,000,000:
    // only two can be carried out, whatever the interleaving.
    std::vector<std::vector<std::string>> echoes;
    for (int i = 0; i < 8; ++i) {
        auto e = echoOf(check(keyKim, "KIM", kimA, i % 2 ? leeA : kimB, "400000"));
        ASSERT_EQ(e.size(), 19u);
        echoes.push_back(e);
    }
    const std::int64_t total = totalBalances();
    std::atomic<int> ok{0}, funds{0}, other{0};
    std::vector<std::thread> threads;
    for (auto& e : echoes)
        threads.emplace_back([&, e] {
            auto o = executeWithCard(keyKim, e);
            if (o.envelope.code() == "10000")
                ++ok;
            else if (o.envelope.code() == result::kTrfFunds)
                ++funds;
            else
                ++other;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ok, 2);
    EXPECT_EQ(funds, 6);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(balance(kimA), 200'000);
    EXPECT_EQ(totalBalances(), total);
}

TEST_F(TransferExecution, ConcurrentExecutionsOfOneSerialMoveMoneyOnce)
{
    auto e = echoOf(check(keyKim, "KIM", kimA, leeA, "10000"));
    std::atomic<int> ok{0}, done{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i)
        threads.emplace_back([&] {
            auto o = executeWithCard(keyKim, e);
            if (o.envelope.code() == "10000")
                ++ok;
            else if (o.envelope.code() == result::kTrfDone)
                ++done;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(done, 5);
    EXPECT_EQ(balance(kimA), 990'000);
    EXPECT_EQ(balance(leeA), 310'000);
}

TEST_F(TransferExecution, TheDaysExecutedTransfersCountTowardsTheDailyLimit)
{
    std::string rich = addAccount("KIM", "110-99-0000001", 80'000'000);
    const int kDaySumField = 13;
    // Four executed transfers of 10,000,000 won, one refused at the execution
    // (an echo altered after the check): the refused one does not count.
    for (int i = 0; i < 4; ++i) {
        auto e = echoOf(check(keyKim, "KIM", rich, i % 2 ? leeA : kimB, "10000000"));
        ASSERT_EQ(e.size(), 19u);
        EXPECT_EQ(e[kDaySumField], std::to_string(i * 10'000'000)) << i;
        ASSERT_EQ(code(executeWithCard(keyKim, e)), "10000") << i;
    }
    auto altered = echoOf(check(keyKim, "KIM", rich, leeA, "9000000"));
    ASSERT_EQ(altered.size(), 19u);
    altered[7] = "9000001";
    EXPECT_NE(code(executeWithCard(keyKim, altered)), "10000");
    // 40,000,000 executed today: 10,000,000 more reaches the 50,000,000 limit, one won past it does not.
    auto last = echoOf(check(keyKim, "KIM", rich, leeA, "10000000"));
    ASSERT_EQ(last.size(), 19u);
    EXPECT_EQ(last[kDaySumField], "40000000");
    EXPECT_EQ(code(check(keyKim, "KIM", rich, leeA, "10000001")), result::kTrfLimit);
    ASSERT_EQ(code(executeWithCard(keyKim, last)), "10000");
    EXPECT_EQ(code(check(keyKim, "KIM", rich, leeA, "1")), result::kTrfLimit);
    // Another account of the same customer has its own day.
    auto other = echoOf(check(keyKim, "KIM", kimA, leeA, "1000"));
    ASSERT_EQ(other.size(), 19u);
    EXPECT_EQ(other[kDaySumField], "0");
    // And the limit holds at the execution too: a check made before the day's
    // sum grew is refused when carried out past it.
    std::string second = addAccount("KIM", "110-99-0000002", 80'000'000);
    auto early = echoOf(check(keyKim, "KIM", second, leeA, "10000000"));
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(code(executeWithCard(keyKim, echoOf(check(keyKim, "KIM", second, kimB, "10000000")))), "10000") << i;
    EXPECT_EQ(code(executeWithCard(keyKim, early)), result::kTrfLimit);
    EXPECT_EQ(balance(second), 30'000'000);
}

TEST_F(TransferExecution, AQuoteWaitsInMemoryUntilItsExecutionWritesItAsUsed)
{
    ASSERT_TRUE(bank.store->servesAlone());
    ASSERT_EQ(echoOf(check(keyKim, "KIM", kimA, leeA, "1000")).size(), 19u);  // the password moves to the keyed hash
    auto quoteRows = [&](const std::string& state) {
        return bank.store->read([&](Db& db) {
            auto s = db.prepare("SELECT count(*) FROM quotes WHERE state = ?1");
            s.bind(1, state);
            s.step();
            return s.integer(0);
        });
    };
    // A right check writes nothing.
    const auto before = bank.store->writeStats().writes;
    auto e = echoOf(check(keyKim, "KIM", kimA, leeA, "1000"));
    ASSERT_EQ(e.size(), 19u);
    EXPECT_EQ(bank.store->writeStats().writes, before);
    EXPECT_EQ(quoteRows("open") + quoteRows("used"), 0);
    // Its execution writes it, used, once.
    EXPECT_EQ(code(executeWithCard(keyKim, e)), "10000");
    EXPECT_EQ(quoteRows("used"), 1);
    EXPECT_EQ(code(executeWithCard(keyKim, e)), result::kTrfDone);
    EXPECT_EQ(balance(leeA), 301'000);

    // A session keeps its 32 newest quotes: the 33rd check lets the first go.
    std::vector<std::vector<std::string>> echoes;
    for (int i = 0; i < 33; ++i)
        echoes.push_back(echoOf(check(keyKim, "KIM", kimA, leeA, std::to_string(100 + i))));
    EXPECT_EQ(code(executeWithCard(keyKim, echoes.front())), result::kTrfNoQuote);
    EXPECT_EQ(code(executeWithCard(keyKim, echoes[1])), "10000");
    EXPECT_EQ(code(executeWithCard(keyKim, echoes.back())), "10000");
    EXPECT_EQ(balance(leeA), 301'000 + 101 + 132);
    EXPECT_EQ(quoteRows("used"), 3);
    EXPECT_EQ(quoteRows("open"), 0);
}

TEST(QuoteBookBounds, ASessionACustomerAndTheBookKeepTheirNewest)
{
    QuoteBook book;
    const auto now = std::chrono::system_clock::from_time_t(1'730'784'730);
    auto entry = [](std::int64_t customer, const std::string& session) {
        return QuoteBook::Entry{{"transfer", customer, session}, {{"amount", "1"}}, "20241105143210", "20241105144210"};
    };
    // One session: the oldest beyond 32 go, the newest first in its list.
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(book.add("S" + std::to_string(i), entry(1, "one"), now));
    EXPECT_FALSE(book.add("S99", entry(1, "one"), now));  // a serial the book has
    EXPECT_EQ(book.size(), QuoteBook::kPerBinding);
    EXPECT_FALSE(book.get("S67"));
    ASSERT_TRUE(book.get("S68"));
    auto newest = book.newestOf({"transfer", 1, "one"});
    ASSERT_EQ(newest.size(), QuoteBook::kPerBinding);
    EXPECT_EQ(newest.front(), "S99");
    EXPECT_TRUE(book.newestOf({"transfer", 2, "one"}).empty());  // another customer's binding

    // One customer over many sessions keeps 64, whatever it opens; another
    // customer's quotes stay.
    ASSERT_TRUE(book.add("Q", entry(2, "two"), now));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(book.add("C" + std::to_string(i), entry(1, std::to_string(i % 50)), now));
    EXPECT_EQ(book.size(), QuoteBook::kPerCustomer + 1);
    EXPECT_TRUE(book.get("Q"));
    EXPECT_TRUE(book.get("C999"));
    EXPECT_TRUE(book.get("C936"));
    EXPECT_FALSE(book.get("C935"));
    EXPECT_FALSE(book.get("S99"));
    EXPECT_EQ(book.newestOf({"transfer", 1, "49"}).front(), "C999");
    EXPECT_TRUE(book.newestOf({"transfer", 1, "one"}).empty());

    // Many customers: the book's oldest go past its bound.
    for (std::size_t i = 0; i < QuoteBook::kMost; ++i)
        book.add("M" + std::to_string(i), entry(static_cast<std::int64_t>(100 + i), "s"), now);
    EXPECT_EQ(book.size(), QuoteBook::kMost);
    EXPECT_FALSE(book.get("Q"));
    EXPECT_FALSE(book.get("C999"));
    ASSERT_TRUE(book.get("M0"));
    EXPECT_EQ(book.get("M0")->binding.customerId, 100);
}
