// Cards: held cards paged by continuation key, the PIN-guarded inquiries and
// the cash service (check, security step, one execution), through the
// dispatcher as the client sends them.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "Books.h"
#include "Demo.h"
#include "CardCodes.h"
#include "Cards.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "TransferCodes.h"
#include "TransferFixture.h"

namespace bankd::test {

namespace {

class CardBank : public TransferBank {
protected:
    CardBank()
    {
        pinHash = hashPassword("4321", HashCost::minimal());
        // KIM: seven credit or check cards (three pages of three), one cash card.
        for (int i = 0; i < 7; ++i)
            addCard("KIM", kimCardNo(i), i == 1 ? "check" : "credit", kimA, 27,
                    "2024" + std::string(i < 5 ? "0" : "") + std::to_string(i < 5 ? 5 + i : 10 + i));
        addCard("KIM", "9410999900000001", "cash", kimA, 0, "20230101");
        addCard("LEE", leeCard, "credit", leeA, 5, "20240301");
    }

    static std::string kimCardNo(int i) { return "941011112222333" + std::to_string(i); }

    void addCard(const std::string& owner, const std::string& no, const std::string& kind, const std::string& account,
                 int billingDay, const std::string& issuedOn)
    {
        bank.store->write([&](Db& db) {
            Card c;
            c.cardNo = no;
            c.customerId = customers::find(db, owner)->id;
            c.kind = kind;
            c.kindName = kind == "credit" ? "개인신용" : kind == "check" ? "개인체크" : "현금카드";
            c.expiry = "202711";
            c.branch = "강남지점";
            c.settlementNo = account;
            c.billingDay = billingDay;
            if (kind == "credit") {
                c.totalLimit = 5'000'000;
                c.cashLimit = 1'000'000;
                c.advanceLimit = 700'000;
                c.usedAmount = 200'000;
            }
            c.issuedOn = issuedOn;
            cards::add(db, c, pinHash);
        });
    }

    void sql(const std::string& text)
    {
        bank.store->write([&](Db& db) { db.exec(text.c_str()); });
    }

    DispatchOutcome held(const std::string& key, const std::string& user, const std::string& relay)
    {
        return send(key, "encrypt=1&trcode=PDA_C001&UserID=" + user + "&RelayDataYN=" + relay + "&BankGubun=H");
    }
    DispatchOutcome inquiry(const std::string& code, const std::string& card, const std::string& pin,
                            const std::string& rest = "", const std::string& key = "", const std::string& user = "KIM")
    {
        return send(key.empty() ? keyKim : key,
                    "encrypt=1&trcode=" + code + "&UserID=" + user + "&CardNO=" + card + "&CardPwd=" + pin + rest);
    }
    DispatchOutcome checkCash(const std::string& card, const std::string& cash, const std::string& key = "",
                              const std::string& pin = "4321")
    {
        return inquiry("PDA_C007", card, pin, "&Cash=" + cash + "&Zentab=&IpAccNO=", key);
    }
    DispatchOutcome executeCash(const std::string& card, const std::string& cash, const std::string& cell,
                                const std::string& value, const std::string& key = "", const std::string& pin = "4321")
    {
        return inquiry("PDA_C008", card, pin,
                       "&Cash=" + cash + "&Zentab=&IpAccNO=&ScrtyWay=S&RandomNum=" + cell + "&SecPwd=" + value +
                           "&SignedMsg=",
                       key);
    }
    Card card(const std::string& no)
    {
        return bank.store->read([&](Db& db) { return *cards::find(db, no); });
    }
    Books books()
    {
        return bank.store->read([&](Db& db) { return books::read(db); });
    }
    int advances()
    {
        return bank.store->read([&](Db& db) {
            auto s = db.prepare("SELECT count(*) FROM card_cash_advances");
            s.step();
            return static_cast<int>(s.integer(0));
        });
    }

    std::string pinHash;
    std::string leeCard = "9410888877776666";
    std::string kimMain = kimCardNo(0);
};

std::vector<std::string> column(const std::string& reply, int records, int field)
{
    std::vector<std::string> out;
    for (int r = 1; r <= records; ++r)
        out.push_back(recordOf(reply, "list0", r).at(static_cast<std::size_t>(field)));
    return out;
}

} // namespace

TEST_F(CardBank, HeldCardsComePagedByTheirContinuationKeyWithFullNumbersAndOnlyTheUsersOwn)
{
    // First load "000": page 1 and key "001"; the client then asks "002", "003".
    auto p1 = held(keyKim, "KIM", "000");
    ASSERT_EQ(code(p1), "10000");
    EXPECT_EQ(echoOf(p1), std::vector<std::string>{"001"});
    ASSERT_EQ(recordCount(p1.envelope.str(), "list0"), 3);
    // Newest issue first; full number with separators; six fields in order.
    EXPECT_EQ(recordOf(p1.envelope.str(), "list0", 1),
              (std::vector<std::string>{"9410-1111-2222-3336", "개인신용", "2027-11", "강남지점", "",
                                        "110-234-567890"}));
    auto p2 = held(keyKim, "KIM", "002");
    EXPECT_EQ(echoOf(p2), std::vector<std::string>{"002"});
    EXPECT_EQ(recordCount(p2.envelope.str(), "list0"), 3);
    auto p3 = held(keyKim, "KIM", "003");
    EXPECT_EQ(echoOf(p3), std::vector<std::string>{"000"});
    ASSERT_EQ(recordCount(p3.envelope.str(), "list0"), 1);
    // Seven different cards over the three pages, the cash card not among them.
    std::set<std::string> seen;
    for (auto* p : {&p1, &p2, &p3})
        for (int r = 1; r <= recordCount(p->envelope.str(), "list0"); ++r)
            seen.insert(recordOf(p->envelope.str(), "list0", r)[0]);
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_FALSE(seen.count("9410-9999-0000-0001"));
    // A page past the end is empty and ends the paging.
    auto p9 = held(keyKim, "KIM", "009");
    EXPECT_EQ(echoOf(p9), std::vector<std::string>{"000"});
    EXPECT_EQ(recordCount(p9.envelope.str(), "list0"), 0);
    // Only three digits are a key.
    for (const char* bad : {"", "1", "0001", "00A", "-01"})
        EXPECT_EQ(code(held(keyKim, "KIM", bad)), result::kCardPageKey) << bad;
    // LEE sees his one card only; a reported card shows its accident record.
    sql("UPDATE cards SET accident = '분실신고' WHERE card_no = '" + leeCard + "'");
    auto lee = held(keyLee, "LEE", "000");
    ASSERT_EQ(recordCount(lee.envelope.str(), "list0"), 1);
    EXPECT_EQ(recordOf(lee.envelope.str(), "list0", 1)[4], "분실신고");
    EXPECT_EQ(echoOf(lee), std::vector<std::string>{"000"});
}

TEST_F(CardBank, InquiriesNeedTheUsersOwnCardAndItsPinWhoseLockIsSharedByEveryCardTransaction)
{
    const std::string period = "&sdate=20241010&edate=20241105&ConKey=000";
    // Another customer's card, a card that does not exist, a malformed number: unknown, nothing counted.
    EXPECT_EQ(code(inquiry("PDA_C006", leeCard, "4321")), result::kCardUnknown);
    EXPECT_EQ(code(inquiry("PDA_C006", "9410-1111-2222-3330", "4321")), result::kCardUnknown);
    EXPECT_EQ(code(inquiry("PDA_C006", "94101111", "4321")), result::kCardUnknown);
    EXPECT_EQ(code(inquiry("PDA_C006", kimCardNo(0), "4321", "", keyLee, "LEE")), result::kCardUnknown);
    EXPECT_EQ(bank.store->read([&](Db& db) { return guard::failures(db, Secret::CardPin, leeCard); }), 0);

    // Five wrong PINs spread over the five inquiries lock the card for all of them and for the cash service.
    EXPECT_EQ(code(inquiry("PDA_C002", kimMain, "0000", period)), result::kCardPin);
    EXPECT_EQ(code(inquiry("PDA_C003", kimMain, "0000", "&sdate=20241027")), result::kCardPin);
    EXPECT_EQ(code(inquiry("PDA_C004", kimMain, "0000", "&sdate=20241027&ConKey=000")), result::kCardPin);
    auto fourth = inquiry("PDA_C005", kimMain, "0000");
    EXPECT_EQ(code(fourth), result::kCardPin);
    EXPECT_NE(fourth.envelope.text().find("4회 오류"), std::string::npos);
    EXPECT_EQ(code(inquiry("PDA_C006", kimMain, "0000")), result::kCardPinLocked);
    EXPECT_EQ(code(inquiry("PDA_C006", kimMain, "4321")), result::kCardPinLocked);
    EXPECT_EQ(code(checkCash(kimMain, "10000")), result::kCardPinLocked);
    // Another card of the same customer is not locked.
    EXPECT_EQ(code(inquiry("PDA_C006", kimCardNo(2), "4321")), "10000");
    bank.store->write([&](Db& db) { guard::unlock(db, Secret::CardPin, kimMain); });
    EXPECT_EQ(code(inquiry("PDA_C006", kimMain, "4321")), "10000");
}

TEST_F(CardBank, ApprovalsComeNewestFirstPagedWithinAValidBoundedPeriod)
{
    // 23 approvals from 2024-10-12 on, one a day, and one outside the period.
    for (int i = 0; i < 23; ++i) {
        char at[32];
        std::snprintf(at, sizeof at, "2024-%02d-%02d 1%d:00:00", i < 20 ? 10 : 11, i < 20 ? 12 + i : i - 19, i % 10);
        sql("INSERT INTO card_approvals (card_no, approved_at, merchant, amount, sales_kind, instalments, receipt) "
            "VALUES ('" + kimMain + "', '" + at + "', '가맹점" + std::to_string(i) + "', " +
            std::to_string(1000 * (i + 1)) + ", '일시불', " + (i == 3 ? "3" : "0") + ", '매입')");
    }
    sql("INSERT INTO card_approvals (card_no, approved_at, merchant, amount, sales_kind) VALUES ('" + kimMain +
        "', '2024-10-01 09:00:00', '예전가맹점', 5000, '일시불')");
    auto page = [&](const std::string& key, const std::string& from = "20241010", const std::string& to = "20241105") {
        return inquiry("PDA_C002", kimMain, "4321", "&sdate=" + from + "&edate=" + to + "&ConKey=" + key);
    };
    auto p1 = page("000");
    ASSERT_EQ(code(p1), "10000");
    auto f = echoOf(p1);
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[1], "김민준");
    EXPECT_EQ(f[2], "강남지점");
    EXPECT_EQ(f[4], "001");
    ASSERT_EQ(recordCount(p1.envelope.str(), "list0"), 10);
    EXPECT_EQ(recordOf(p1.envelope.str(), "list0", 1),
              (std::vector<std::string>{"2024-11-03", "가맹점22", "23,000", "일시불", "", "매입", ""}));
    auto p2 = page("002");
    EXPECT_EQ(echoOf(p2)[4], "002");
    auto p3 = page("003");
    EXPECT_EQ(echoOf(p3)[4], "000");
    ASSERT_EQ(recordCount(p3.envelope.str(), "list0"), 3);
    EXPECT_EQ(recordOf(p3.envelope.str(), "list0", 3)[1], "가맹점0");
    // Dates descend across the pages.
    std::vector<std::string> dates = column(p1.envelope.str(), 10, 0);
    for (auto d : column(p2.envelope.str(), 10, 0))
        dates.push_back(d);
    EXPECT_TRUE(std::is_sorted(dates.rbegin(), dates.rend()));
    EXPECT_EQ(recordOf(p3.envelope.str(), "list0", 3 - 3 + 1).size(), 7u);

    // A period without approvals is an empty list, not a failure.
    auto none = page("000", "20240901", "20240930");
    EXPECT_EQ(code(none), "10000");
    EXPECT_EQ(recordCount(none.envelope.str(), "list0"), 0);
    EXPECT_EQ(echoOf(none)[4], "000");
    // Impossible dates, a reversed or over-long period, a bad key.
    for (auto [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"20241301", "20241105"}, {"20240230", "20241105"}, {"2024105", "20241105"}, {"20241106", "20241105"},
             {"20240701", "20241105"}, {"", "20241105"}})
        EXPECT_EQ(code(page("000", from, to)), result::kCardPeriod) << from << " " << to;
    EXPECT_EQ(code(page("0x1")), result::kCardPageKey);
}

TEST_F(CardBank, BillAndItsItemsOnlyOnARealBillingDateOfTheCard)
{
    sql("INSERT INTO card_bills (card_no, billing_date, settlement_no, lump_principal, lump_fee, cash_principal, "
        "cash_fee, instal_principal, instal_fee, overseas_principal, overseas_fee, revolving_principal, revolving_fee) "
        "VALUES ('" + kimMain + "', '20241027', '" + kimA + "', 100000, 0, 300000, 4500, 60000, 720, 20000, 300, 0, 0)");
    for (int i = 0; i < 12; ++i)
        sql("INSERT INTO card_bill_items (card_no, billing_date, used_on, merchant, sales_kind, amount, fee, "
            "instalment_no, instalment_amount, instalment_balance) VALUES ('" + kimMain + "', '20241027', '202409" +
            (i < 9 ? "0" : "") + std::to_string(i + 1) + "', '상점" + std::to_string(i) + "', '" +
            (i == 5 ? "할부" : "일시불") + "', 10000, 0, '" + (i == 5 ? "1/3" : "") + "', " +
            (i == 5 ? "10000, 20000" : "0, 0") + ")");
    auto b = inquiry("PDA_C003", kimMain, "4321", "&sdate=20241027");
    ASSERT_EQ(code(b), "10000");
    auto f = echoOf(b);
    ASSERT_EQ(f.size(), 21u);
    EXPECT_EQ(f[1], "김민준");
    EXPECT_EQ(f[3], "485,520");
    EXPECT_EQ(f[5], "110-234-567890");
    EXPECT_EQ((std::vector<std::string>(f.begin() + 6, f.begin() + 16)),
              (std::vector<std::string>{"100,000", "0", "300,000", "4,500", "60,000", "720", "20,000", "300", "0", "0"}));
    // Not the card's billing day, no bill in that month, not a date.
    for (const char* d : {"20241020", "20240927", "20241127", "2024102", "20241327"})
        EXPECT_EQ(code(inquiry("PDA_C003", kimMain, "4321", std::string("&sdate=") + d)), result::kCardBillingDate)
            << d;
    // Items: newest first, ten a page, the instalment with its number and balance.
    auto i1 = inquiry("PDA_C004", kimMain, "4321", "&sdate=20241027&ConKey=000");
    ASSERT_EQ(code(i1), "10000");
    EXPECT_EQ(echoOf(i1), (std::vector<std::string>{"9410-1111-2222-3330", "김민준", "강남지점", "485,520",
                                                    "2024-10-27", "110-234-567890", "001"}));
    EXPECT_EQ(recordCount(i1.envelope.str(), "list0"), 10);
    EXPECT_EQ(recordOf(i1.envelope.str(), "list0", 1)[0], "2024-09-12");
    EXPECT_EQ(recordOf(i1.envelope.str(), "list0", 7),
              (std::vector<std::string>{"2024-09-06", "상점5", "할부", "10,000", "0", "1/3", "10,000", "20,000"}));
    auto i2 = inquiry("PDA_C004", kimMain, "4321", "&sdate=20241027&ConKey=002");
    EXPECT_EQ(echoOf(i2)[6], "000");
    EXPECT_EQ(recordCount(i2.envelope.str(), "list0"), 2);
    EXPECT_EQ(code(inquiry("PDA_C004", kimMain, "4321", "&sdate=20241012&ConKey=000")), result::kCardBillingDate);
}

TEST_F(CardBank, AvailableAmountsAndArrearsOfTheCard)
{
    sql("UPDATE cards SET cash_used = 0, special_from = '20241101', special_to = '20241130', special_amount = 1000000, "
        "special_used = 250000 WHERE card_no = '" + kimMain + "'");
    auto a = echoOf(inquiry("PDA_C006", kimMain, "4321"));
    ASSERT_EQ(a.size(), 12u);
    EXPECT_EQ(a[0], "김민준");
    EXPECT_EQ((std::vector<std::string>(a.begin() + 4, a.end())),
              (std::vector<std::string>{"5,000,000", "1,000,000", "4,800,000", "1,000,000", "2024-11-01~11-30",
                                        "1,000,000", "250,000", "750,000"}));
    // No arrears: zeros and no overdue date.
    auto none = echoOf(inquiry("PDA_C005", kimMain, "4321"));
    ASSERT_EQ(none.size(), 20u);
    EXPECT_EQ(none[4], "");
    EXPECT_EQ(none[19], "0");
    sql("INSERT INTO card_arrears (card_no, first_overdue_on, today_unpaid, lump_principal, lump_fee, cash_principal, "
        "annual_fee) VALUES ('" + kimMain + "', '20241020', 87000, 412000, 6180, 200000, 10000)");
    auto r = echoOf(inquiry("PDA_C005", kimMain, "4321"));
    ASSERT_EQ(r.size(), 20u);
    EXPECT_EQ(r[2], "강남지점");
    EXPECT_EQ(r[3], "110-234-567890");
    EXPECT_EQ(r[4], "2024-10-20");
    EXPECT_EQ(r[5], "628,180");
    EXPECT_EQ(r[6], "87,000");
    EXPECT_EQ(r[7], "715,180");
    EXPECT_EQ(r[8], "412,000");
    EXPECT_EQ(r[18], "10,000");
    EXPECT_EQ(r[19], "628,180");
}

TEST_F(CardBank, CashServiceChecksThenExecutesOnceIntoTheSettlementAccountAndTheBooksHold)
{
    const Books before = books();
    const std::int64_t balanceBefore = balance(kimA);
    auto c = checkCash(kimMain, "500000");
    ASSERT_EQ(code(c), "10000");
    EXPECT_EQ(echoOf(c), (std::vector<std::string>{"9410-1111-2222-3330", "110-234-567890", "500,000", "0", "7,500"}));
    // A wrong cell moves nothing and counts toward the security lock; the check stays open.
    auto wrong = executeCash(kimMain, "500000", "7", kimCard[7]);
    EXPECT_EQ(code(wrong), result::kTrfCard);
    EXPECT_EQ(bank.store->read([&](Db& db) { return guard::failures(db, Secret::SecurityValue, "KIM"); }), 1);
    // A wrong PIN moves nothing and counts toward the card's lock.
    EXPECT_EQ(code(executeCash(kimMain, "500000", "7", kimCard[6], "", "1111")), result::kCardPin);
    EXPECT_EQ(bank.store->read([&](Db& db) { return guard::failures(db, Secret::CardPin, kimMain); }), 1);
    // Another amount or card than the check's is not executed.
    EXPECT_EQ(code(executeCash(kimMain, "600000", "7", kimCard[6])), result::kCardNoCheck);
    EXPECT_EQ(code(executeCash(kimCardNo(2), "500000", "7", kimCard[6])), result::kCardNoCheck);
    // Another session cannot execute it.
    EXPECT_EQ(code(executeCash(kimMain, "500000", "7", kimCard[6], sessionKey(9))), "BIZ06");
    EXPECT_EQ(balance(kimA), balanceBefore);
    EXPECT_EQ(advances(), 0);

    auto ok = executeCash(kimMain, "500000", "12", kimCard[11]);
    ASSERT_EQ(code(ok), "10000");
    EXPECT_EQ(ok.envelope.text(), "현금서비스 이체가 정상처리 되었습니다.");
    EXPECT_EQ(echoOf(ok), (std::vector<std::string>{"김민준", "9410-1111-2222-3330", "110-234-567890", "500,000",
                                                    "500,000", "7,500"}));
    EXPECT_EQ(balance(kimA), balanceBefore + 500'000);
    EXPECT_EQ(card(kimMain).cashUsed, 500'000);
    EXPECT_EQ(card(kimMain).cashFees, 7'500);
    // Repeating the execution says so and moves nothing.
    EXPECT_EQ(code(executeCash(kimMain, "500000", "3", kimCard[2])), result::kCardDone);
    EXPECT_EQ(balance(kimA), balanceBefore + 500'000);
    EXPECT_EQ(advances(), 1);
    const Books after = books();
    EXPECT_EQ(books::check(before, after), "");
    EXPECT_EQ(after.term("card cash advanced") - before.term("card cash advanced"), -500'000);
    // Remaining cash limit is now 500,000.
    EXPECT_EQ(code(checkCash(kimMain, "500001")), result::kCardCashLimit);
    // A card balance changed behind the books' back is found.
    sql("UPDATE cards SET cash_fees = cash_fees + 1 WHERE card_no = '" + kimMain + "'");
    EXPECT_NE(books::check(before, books()), "");
}

TEST_F(CardBank, CashServiceRefusesBadAmountsAndCardsThatCannotGiveCash)
{
    for (const char* bad : {"0", "00", "-50000", "50,000", "", "5e4", "12345678901234"})
        EXPECT_EQ(code(checkCash(kimMain, bad)), result::kCardAmount) << bad;
    EXPECT_EQ(code(checkCash(kimMain, "700001")), result::kCardAdvanceLimit);
    EXPECT_EQ(code(checkCash(kimCardNo(1), "10000")), result::kCardNoCash);  // check card
    EXPECT_EQ(code(checkCash("9410999900000001", "10000")), result::kCardUnknown);  // cash card
    sql("UPDATE cards SET expiry = '202410' WHERE card_no = '" + kimCardNo(2) + "'");
    EXPECT_EQ(code(checkCash(kimCardNo(2), "10000")), result::kCardExpired);
    sql("UPDATE cards SET expiry = '202411' WHERE card_no = '" + kimCardNo(2) + "'");
    EXPECT_EQ(code(checkCash(kimCardNo(2), "10000")), "10000");
    // A loss reported between check and execution stops the execution.
    sql("UPDATE cards SET accident = '분실신고' WHERE card_no = '" + kimCardNo(2) + "'");
    EXPECT_EQ(code(executeCash(kimCardNo(2), "10000", "7", kimCard[6])), result::kCardAccident);
    EXPECT_EQ(code(checkCash(kimCardNo(2), "10000")), result::kCardAccident);
    EXPECT_EQ(advances(), 0);
}

TEST_F(CardBank, ParallelExecutionsAdvanceCashOnceAndParallelChecksCannotOutrunTheLimit)
{
    const std::int64_t start = balance(kimA);
    ASSERT_EQ(code(checkCash(kimMain, "300000")), "10000");
    std::atomic<int> ok{0}, refused{0}, other{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i)
        threads.emplace_back([&] {
            auto o = executeCash(kimMain, "300000", "7", kimCard[6]);
            if (code(o) == "10000")
                ++ok;
            else if (code(o) == result::kCardDone || code(o) == result::kCardPinLocked)
                ++refused;  // the PIN count was full of the parallel attempts
            else
                ++other;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(refused, 5);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(balance(kimA), start + 300'000);
    EXPECT_EQ(advances(), 1);
    EXPECT_FALSE(bank.store->read([&](Db& db) { return guard::locked(db, Secret::CardPin, kimMain); }));

    // Two sessions each check 400,000 of the remaining 700,000: only one executes.
    const std::string key2 = sessionKey(3);
    ASSERT_EQ(bank.login(key2, "KIM", "PW1"), "10000");
    ASSERT_EQ(code(checkCash(kimMain, "400000")), "10000");
    ASSERT_EQ(code(checkCash(kimMain, "400000", key2)), "10000");
    EXPECT_EQ(code(executeCash(kimMain, "400000", "7", kimCard[6])), "10000");
    EXPECT_EQ(code(executeCash(kimMain, "400000", "7", kimCard[6], key2)), result::kCardCashLimit);
    EXPECT_EQ(balance(kimA), start + 700'000);
    EXPECT_EQ(card(kimMain).cashUsed, 700'000);
}

TEST_F(CardBank, CertificateUsersCashServiceNeedsAFreshSignature)
{
    auto lee = [&](const std::string& sig, const std::string& cash = "50000") {
        return inquiry("PDA_C008", leeCard, "4321",
                       "&Cash=" + cash + "&Zentab=&IpAccNO=&ScrtyWay=K&RandomNum=17&SecPwd=&SignedMsg=" + sig, keyLee,
                       "LEE");
    };
    ASSERT_EQ(code(inquiry("PDA_C007", leeCard, "4321", "&Cash=50000&Zentab=&IpAccNO=", keyLee, "LEE")), "10000");
    EXPECT_EQ(code(lee("")), result::kTrfSignature);
    EXPECT_EQ(code(lee(sign(keyKim))), result::kTrfSignature);  // another session's
    EXPECT_EQ(balance(leeA), 300'000);
    // The same amount written with a leading zero is the checked amount.
    EXPECT_EQ(code(lee(sign(keyLee), "050000")), "10000");
    EXPECT_EQ(balance(leeA), 350'000);
}

TEST(CardDemo, DemoCustomersHaveCardsToUseOnEveryScreenAndTheBooksStartTrue)
{
    TestBank b;
    populateDemo(*b.store, {b.dir.str("home"), /*fastCertificates=*/true});
    b.clock.set(std::chrono::system_clock::now());
    const std::string key = sessionKey(5);
    ASSERT_EQ(b.login(key, "DEMOS", "1111"), "10000");
    auto send = [&](const std::string& q) { return b.encrypted(key, "encrypt=1&UserID=DEMOS&" + q); };
    // Four cards on two pages; one with an accident record.
    auto p1 = send("trcode=PDA_C001&RelayDataYN=000&BankGubun=H");
    auto p2 = send("trcode=PDA_C001&RelayDataYN=002&BankGubun=H");
    EXPECT_EQ(echoOf(p1), std::vector<std::string>{"001"});
    EXPECT_EQ(echoOf(p2), std::vector<std::string>{"000"});
    EXPECT_EQ(recordCount(p1.envelope.str(), "list0") + recordCount(p2.envelope.str(), "list0"), 4);
    int accidents = 0;
    for (auto* p : {&p1, &p2})
        for (int r = 1; r <= recordCount(p->envelope.str(), "list0"); ++r)
            accidents += !recordOf(p->envelope.str(), "list0", r)[4].empty();
    EXPECT_EQ(accidents, 1);
    // The main card: approvals of the last 30 days over three pages, bills on day 27.
    const std::string card = "&CardNO=9410200134567801&CardPwd=1234";
    const BankTime today = bankTime(b.clock.now());
    const std::string monthAgo = bankTime(b.clock.now() - std::chrono::hours(24 * 30)).date;
    std::string next = "000";
    int pages = 0;
    do {
        auto a = send("trcode=PDA_C002" + card + "&sdate=" + monthAgo + "&edate=" + today.date + "&ConKey=" + next);
        ASSERT_EQ(code(a), "10000");
        next = echoOf(a)[4];
        if (next != "000") {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%03d", std::stoi(next) + 1);
            next = buf;
        }
        ++pages;
    } while (next != "000" && pages < 10);
    EXPECT_GE(pages, 3);
    const std::string billMonth = today.date.substr(6, 2) >= "27"
                                      ? today.date.substr(0, 6)
                                      : bankTime(b.clock.now() - std::chrono::hours(24 * 28)).date.substr(0, 6);
    auto bill = send("trcode=PDA_C003" + card + "&sdate=" + billMonth + "27");
    EXPECT_EQ(code(bill), "10000");
    auto items = send("trcode=PDA_C004" + card + "&sdate=" + billMonth + "27&ConKey=000");
    EXPECT_EQ(echoOf(items)[6], "001");
    // The family card is in arrears.
    auto arrears = send("trcode=PDA_C005&CardNO=9410200134567803&CardPwd=1234");
    EXPECT_NE(echoOf(arrears)[4], "");
    // The demo's past advance is in the books: a first cash service keeps them true.
    const Books before = b.store->read([](Db& db) { return books::read(db); });
    EXPECT_EQ(before.term("card cash balances off their advances"), 0);
    EXPECT_EQ(code(send("trcode=PDA_C007" + card + "&Cash=100000&Zentab=&IpAccNO=")), "10000");
    EXPECT_EQ(code(send("trcode=PDA_C007&CardNO=9410200134567804&CardPwd=1234&Cash=100000&Zentab=&IpAccNO=")),
              result::kCardAccident);
}

} // namespace bankd::test
