// Loss reports through the dispatcher as the client sends them: the lists with
// their loss texts, card reports that are all or nothing, the passbook report
// under the account password's lock, and what a reported card can no longer do.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "CardCodes.h"
#include "Cards.h"
#include "LossCodes.h"
#include "LossReports.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "TransferFixture.h"

namespace bankd::test {

namespace {

class LossBank : public TransferBank {
protected:
    LossBank()
    {
        pinHash = hashPassword("4321", HashCost::minimal());
        addCard("KIM", kimCredit, "credit", "개인신용");
        addCard("KIM", kimCheck, "check", "개인체크");
        addCard("KIM", kimCash, "cash", "현금카드");
        addCard("LEE", leeCredit, "credit", "개인신용");
        addCard("LEE", leeCash, "cash", "현금카드");
    }

    void addCard(const std::string& owner, const std::string& no, const std::string& kind, const std::string& name)
    {
        bank.store->write([&](Db& db) {
            Card c;
            c.cardNo = no;
            c.customerId = customers::find(db, owner)->id;
            c.kind = kind;
            c.kindName = name;
            c.expiry = "202711";
            c.branch = "강남지점";
            c.settlementNo = owner == "KIM" ? kimA : leeA;
            c.billingDay = kind == "cash" ? 0 : 27;
            c.issuedOn = "20240101";
            if (kind == "credit") {
                c.cashLimit = 1'000'000;
                c.advanceLimit = 500'000;
                c.totalLimit = 3'000'000;
            }
            cards::add(db, c, pinHash);
        });
    }
    std::string accident(const std::string& cardNo)
    {
        return bank.store->read([&](Db& db) { return cards::find(db, cardNo)->accident; });
    }
    std::string passbookLoss(const std::string& accountNo)
    {
        return bank.store->read([&](Db& db) { return loss::passbookLoss(db, accountNo); });
    }
    DispatchOutcome kim(const std::string& rest) { return send(keyKim, "encrypt=1&trcode=" + rest); }

    std::string pinHash;
    std::string kimCredit = "9410111122223333", kimCheck = "9410111122224444", kimCash = "9410200100000001";
    std::string leeCredit = "9410555566667777", leeCash = "9410200100000002";
};

} // namespace

TEST_F(LossBank, ListsShowOnlyTheUsersOwnItemsWithTheirLossTexts)
{
    auto credit = kim("PDA_R005&UserID=KIM&CARDCMP=1");
    ASSERT_EQ(code(credit), result::kOk);
    ASSERT_EQ(recordCount(credit.envelope.str(), "list0"), 2);
    auto first = recordOf(credit.envelope.str(), "list0", 1);
    EXPECT_EQ(first.size(), 3u);
    EXPECT_EQ(first[2], "");
    // Only CARDCMP "1" lists credit cards.
    EXPECT_EQ(code(kim("PDA_R005&UserID=KIM&CARDCMP=2")), result::kLossCardOnly);
    EXPECT_EQ(code(kim("PDA_R005&UserID=KIM")), result::kLossCardOnly);

    auto cash = kim("PDA_R003&UserID=KIM");
    ASSERT_EQ(recordCount(cash.envelope.str(), "list0"), 1);
    auto c = recordOf(cash.envelope.str(), "list0", 1);
    EXPECT_EQ(c, (std::vector<std::string>{"9410-2001-0000-0001", c[1], "", "현금카드"}));

    auto books = kim("PDA_R001&UserID=KIM");
    ASSERT_EQ(code(books), result::kOk);
    EXPECT_EQ(recordCount(books.envelope.str(), "list0"), 2);
    // Another user's list is not reachable from KIM's session.
    EXPECT_EQ(code(kim("PDA_R005&UserID=LEE&CARDCMP=1")), result::kSession);

    // Loss texts stay within 14 characters whatever the record holds.
    EXPECT_EQ(loss::lossText("분실신고", "2024-11-05 14:32:10"), "분실신고(11/05)");
    EXPECT_EQ(loss::lossText("도난신고접수완료건", "2024-11-05 14:32:10"), "도난신고접수완료건");
    EXPECT_EQ(loss::lossText("아주 긴 사고 내역 문장입니다", ""), "사고등록");
    EXPECT_EQ(loss::lossText("", "2024-11-05 14:32:10"), "");
}

TEST_F(LossBank, CardReportIsAllOrNothingAndOnlyForTheUsersCardsOfThatKind)
{
    // A foreign card, alone or among own cards: nothing is reported.
    EXPECT_EQ(code(kim("PDA_R006&UserID=KIM&CARDDATA=" + leeCredit + ";")), result::kLossNotOwnCard);
    EXPECT_EQ(code(kim("PDA_R006&UserID=KIM&CARDDATA=" + kimCredit + ";" + leeCredit + ";" + kimCheck + ";")),
              result::kLossNotOwnCard);
    // A cash card is no credit card, and the other way round.
    EXPECT_EQ(code(kim("PDA_R006&UserID=KIM&CARDDATA=" + kimCredit + ";" + kimCash + ";")), result::kLossNotOwnCard);
    EXPECT_EQ(code(kim("PDA_R004&UserID=KIM&CARDDATA=" + kimCredit + ";")), result::kLossNotOwnCard);
    EXPECT_EQ(accident(kimCredit), "");
    EXPECT_EQ(accident(kimCheck), "");
    EXPECT_EQ(accident(kimCash), "");
    EXPECT_EQ(accident(leeCredit), "");

    // Two own cards in one report: both, with the bank's message.
    auto done = kim("PDA_R006&UserID=KIM&CARDDATA=" + kimCredit + ";" + kimCheck + ";");
    ASSERT_EQ(code(done), result::kOk);
    EXPECT_EQ(done.envelope.text(), result::kLossCardsDoneText);
    EXPECT_EQ(accident(kimCredit), loss::kLostMark);
    EXPECT_EQ(accident(kimCheck), loss::kLostMark);
    auto listed = recordOf(kim("PDA_R005&UserID=KIM&CARDCMP=1").envelope.str(), "list0", 1);
    EXPECT_EQ(listed[2], "분실신고(11/05)");

    // Reporting again counts as done and keeps the first record.
    bank.clock.advance(std::chrono::hours(48));
    ASSERT_EQ(bank.login(keyKim, "KIM", "PW1"), "10000");
    EXPECT_EQ(code(kim("PDA_R006&UserID=KIM&CARDDATA=" + kimCredit + ";")), result::kOk);
    EXPECT_EQ(recordOf(kim("PDA_R005&UserID=KIM&CARDCMP=1").envelope.str(), "list0", 1)[2], "분실신고(11/05)");

    // The card list shows the accident record, and the cash service refuses the card.
    auto held = kim("PDA_C001&UserID=KIM&RelayDataYN=000&BankGubun=H");
    ASSERT_EQ(code(held), result::kOk);
    bool shown = false;
    for (int i = 1; i <= recordCount(held.envelope.str(), "list0"); ++i) {
        auto r = recordOf(held.envelope.str(), "list0", i);
        if (r[0] == cards::displayNo(kimCredit))
            shown = r[4] == loss::kLostMark;
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(code(kim("PDA_C007&UserID=KIM&CardNO=" + kimCredit + "&CardPwd=4321&Cash=10000&Zentab=&IpAccNO=")),
              result::kCardAccident);

    // The cash card through its own code.
    EXPECT_EQ(code(kim("PDA_R004&UserID=KIM&CARDDATA=" + kimCash + ";")), result::kOk);
    EXPECT_EQ(accident(kimCash), loss::kLostMark);
    EXPECT_EQ(accident(leeCash), "");
}

TEST_F(LossBank, CardDataOutsideItsLimitsIsRefusedNeverCut)
{
    const std::string bad[] = {
        "",                                     // nothing
        kimCredit,                              // no closing ";"
        kimCredit + ";;",                       // an empty number
        "9410-1111-2222-3333;",                 // not digits
        std::string(50, '1') + ";",             // 50 digits
        kimCredit + ";" + std::string(1010, '1').substr(0, 49) + ";" + std::string(970, '2'),
    };
    for (const std::string& data : bad)
        EXPECT_EQ(code(kim("PDA_R006&UserID=KIM&CARDDATA=" + data)), result::kLossCardData) << data;
    // More than twenty cards in one report.
    std::string many;
    for (int i = 0; i < 21; ++i)
        many += "94101111" + std::to_string(10000000 + i) + ";";
    EXPECT_EQ(code(kim("PDA_R006&UserID=KIM&CARDDATA=" + many)), result::kLossCardData);
    // Over 1023 characters.
    std::string longData;
    while (longData.size() <= 1023)
        longData += kimCredit + ";";
    EXPECT_EQ(code(kim("PDA_R006&UserID=KIM&CARDDATA=" + longData)), result::kLossCardData);
    EXPECT_EQ(accident(kimCredit), "");
    // Repeats count once.
    EXPECT_EQ(loss::parseCardData(kimCredit + ";" + kimCredit + ";")->size(), 1u);
}

TEST_F(LossBank, PassbookReportNeedsTheOwnAccountAndItsPasswordUnderTheLock)
{
    EXPECT_EQ(code(kim("PDA_R002&UserID=KIM&ACCTNO=" + leeA + "&ACCTPWD=1234")), result::kLossNotOwnAccount);
    EXPECT_EQ(passbookLoss(leeA), "");
    auto wrong = kim("PDA_R002&UserID=KIM&ACCTNO=" + kimA + "&ACCTPWD=9999");
    EXPECT_EQ(code(wrong), result::kLossPassword);
    EXPECT_NE(wrong.envelope.text().find("1회 오류"), std::string::npos);
    EXPECT_EQ(passbookLoss(kimA), "");

    auto ok = kim("PDA_R002&UserID=KIM&ACCTNO=" + kimA + "&ACCTPWD=1234");
    ASSERT_EQ(code(ok), result::kOk);
    EXPECT_EQ(ok.envelope.text(), result::kLossPassbookDoneText);
    EXPECT_EQ(passbookLoss(kimA), loss::kLostMark);
    EXPECT_EQ(code(kim("PDA_R002&UserID=KIM&ACCTNO=" + kimA + "&ACCTPWD=1234")), result::kOk);

    // Parallel wrong guesses cannot outrun the lock: at most five are checked.
    std::vector<std::thread> guesses;
    std::atomic<int> wrongs{0}, locks{0};
    for (int i = 0; i < 12; ++i)
        guesses.emplace_back([&] {
            auto o = kim("PDA_R002&UserID=KIM&ACCTNO=" + kimB + "&ACCTPWD=0000");
            if (code(o) == result::kLossPassword)
                ++wrongs;
            else if (code(o) == result::kLossAccountLocked)
                ++locks;
        });
    for (auto& t : guesses)
        t.join();
    EXPECT_EQ(wrongs + locks, 12);
    EXPECT_LE(wrongs.load(), kSecretFailureLimit);
    EXPECT_EQ(code(kim("PDA_R002&UserID=KIM&ACCTNO=" + kimB + "&ACCTPWD=1234")), result::kLossAccountLocked);
    EXPECT_EQ(passbookLoss(kimB), "");
}

} // namespace bankd::test
