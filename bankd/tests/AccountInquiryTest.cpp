// PDA_U002, PDA_A008, PDA_A009: the account inquiry as the client reads it.
#include <gtest/gtest.h>

#include "Accounts.h"
#include "DepositTerms.h"
#include "EnvelopeReader.h"
#include "ResultCodes.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {

class AccountInquiry : public ::testing::Test {
protected:
    AccountInquiry()
    {
        bank.addCustomer("KIM", "PW1");
        bank.addCustomer("LEE", "PW2");
        add("KIM", "110-234-567890", "보통예금", "A04", "20240101");
        add("KIM", "220-11-0045678", "정기적금", "A01", "20240102");
        add("KIM", "330-12-0098765", "정기예금", "A06", "20240229");
        add("KIM", "770-01-0012345", "가계일반대출", "A07", "20240104");
        add("KIM", "110-234-567899", "보통예금", "A04", "20240105", /*hidden=*/true);
        add("LEE", "110-999-000001", "보통예금", "A04", "20240106");
        EXPECT_EQ(bank.login(sessionKey(1), "KIM", "PW1"), "10000");
        EXPECT_EQ(bank.login(sessionKey(2), "LEE", "PW2"), "10000");
    }

    void add(const std::string& user, const std::string& no, const std::string& name, const std::string& kind,
             const std::string& opened, bool hidden = false)
    {
        bank.store->write([&](Db& db) {
            Account a;
            a.accountNo = accounts::digitsOnly(no);
            a.customerId = customers::find(db, user)->id;
            a.displayNo = no;
            a.kindName = name;
            a.kindCode = kind;
            a.openedOn = opened;
            a.hidden = hidden;
            accounts::add(db, a, "x");
        });
    }
    void post(const std::string& no, std::int64_t amount, const std::string& at, const std::string& memo = "메모",
              const std::string& other = "상대")
    {
        bank.store->write([&](Db& db) { ASSERT_TRUE(accounts::post(db, accounts::digitsOnly(no), amount, at, memo, other)); });
    }
    std::string kim(const std::string& query) { return bank.encrypted(sessionKey(1), query).envelope.str(); }
    std::string history(const std::string& kind, const std::string& acc, const std::string& from,
                        const std::string& to)
    {
        return kim("encrypt=1&trcode=PDA_A009&UserID=KIM&DepositKind=" + kind + "&AccNO=" + acc + "&sdate=" + from +
                   "&edate=" + to);
    }

    TestBank bank;
};

} // namespace

TEST_F(AccountInquiry, ListGivesEightFieldsPerVisibleAccountAndLeavesHiddenOnesOut)
{
    post("110-234-567890", 3'250'000, "2024-10-01 09:00:00");
    std::string reply = kim("encrypt=1&trcode=PDA_U002&UserID=KIM");
    ASSERT_EQ(msgCode(reply), "10000");
    std::string data = xParse(reply, "DataTag");
    std::string list = xParse(data, "list0");
    EXPECT_EQ(std::count(list.begin(), list.end(), '|'), 4);  // the hidden account is not listed
    EXPECT_EQ(list.find("567899"), std::string::npos);
    EXPECT_EQ(tagValue(data, "list0", 1, 1), "보통예금");
    EXPECT_EQ(tagValue(data, "list0", 2, 1), "110-234-567890");
    EXPECT_EQ(tagValue(data, "list0", 3, 1), "3250000");
    EXPECT_EQ(tagValue(data, "list0", 6, 1), "A04");
    EXPECT_EQ(tagValue(data, "list0", 8, 1), "20241001");
    EXPECT_EQ(tagValue(data, "list0", 6, 3), "A07");  // in opening order
    EXPECT_EQ(tagValue(data, "list0", 6, 4), "A06");
    // Exactly eight fields in every record.
    std::string first = xParsedItem(list, 1, "|");
    EXPECT_EQ(std::count(first.begin(), first.end(), ';'), 8);
}

TEST_F(AccountInquiry, ListOfAUserWithNothingVisibleIsEmptyAndOfAUserNoLongerEnrolledIsRefused)
{
    bank.addCustomer("PARK", "PW3");
    add("PARK", "110-555-000001", "보통예금", "A04", "20240107", /*hidden=*/true);
    ASSERT_EQ(bank.login(sessionKey(3), "PARK", "PW3"), "10000");
    std::string reply = bank.encrypted(sessionKey(3), "encrypt=1&trcode=PDA_U002&UserID=PARK").envelope.str();
    EXPECT_EQ(msgCode(reply), "10000");
    EXPECT_NE(reply.find("<list0></list0>"), std::string::npos) << reply;

    // The login stays in the session table, but the bank no longer knows the
    // user: the list is refused as for a session without login.
    bank.store->write([&](Db& db) { db.exec("UPDATE customers SET enrolled = 0 WHERE user_id = 'LEE'"); });
    EXPECT_EQ(bank.encrypted(sessionKey(2), "encrypt=1&trcode=PDA_U002&UserID=LEE").envelope.code(), result::kSession);
    EXPECT_EQ(msgCode(kim("encrypt=1&trcode=PDA_U002&UserID=KIM")), "10000");
}

TEST_F(AccountInquiry, ListOrdersAccountsOfOneDayByNumberAndShowsTheNewestMovement)
{
    bank.addCustomer("CHOI", "PW4");
    add("CHOI", "110-900-000009", "보통예금", "A04", "20240301");
    add("CHOI", "110-900-000001", "저축예금", "A05", "20240301");
    add("CHOI", "110-900-000005", "보통예금", "A04", "20240215");
    // Posted out of time order: the newest line is not the last one written.
    post("110-900-000001", 1000, "2024-09-30 10:00:00");
    post("110-900-000001", 1000, "2024-03-02 10:00:00");
    post("110-900-000001", 1000, "2024-11-15 10:00:00");
    post("110-900-000001", 1000, "2024-05-05 10:00:00");
    ASSERT_EQ(bank.login(sessionKey(4), "CHOI", "PW4"), "10000");
    std::string data = xParse(bank.encrypted(sessionKey(4), "encrypt=1&trcode=PDA_U002&UserID=CHOI").envelope.str(),
                              "DataTag");
    EXPECT_EQ(tagValue(data, "list0", 2, 1), "110-900-000005");
    EXPECT_EQ(tagValue(data, "list0", 2, 2), "110-900-000001");
    EXPECT_EQ(tagValue(data, "list0", 2, 3), "110-900-000009");
    EXPECT_EQ(tagValue(data, "list0", 8, 2), "20241115");
    EXPECT_EQ(tagValue(data, "list0", 3, 2), "4000");
    EXPECT_EQ(tagValue(data, "list0", 8, 1), "");
}

TEST_F(AccountInquiry, ListNeedsTheSessionOfTheNamedUser)
{
    // LEE's session naming KIM, and no session at all, are both refused.
    EXPECT_EQ(bank.encrypted(sessionKey(2), "encrypt=1&trcode=PDA_U002&UserID=KIM").envelope.code(), result::kSession);
    EXPECT_EQ(bank.encrypted(sessionKey(9), "encrypt=1&trcode=PDA_U002&UserID=KIM").envelope.code(), result::kSession);
    EXPECT_EQ(bank.plain("encrypt=1&trcode=PDA_U002&UserID=KIM").envelope.code(), result::kWrongRoute);
}

TEST_F(AccountInquiry, DetailPutsLabelsInFree1AndValuesInFree0)
{
    bank.store->write([&](Db& db) { deposits::setTerms(db, {"330120098765", "3.50", "20250228"}); });
    std::string reply = kim("encrypt=1&trcode=PDA_A008&UserID=KIM&DepositKind=A06&AccNO=330120098765");
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    std::string data = xParse(reply, "DataTag");
    std::string labels = xParse(data, "free1");
    std::string values = xParse(data, "free0");
    EXPECT_EQ(std::count(labels.begin(), labels.end(), ';'), std::count(values.begin(), values.end(), ';'));
    EXPECT_EQ(tagValue(data, "free1", 1), "계좌번호");
    EXPECT_EQ(tagValue(data, "free0", 1), "330-12-0098765");
    EXPECT_EQ(tagValue(data, "free0", 4), "2024.02.29");
    bool sawRate = false;
    for (unsigned i = 1; i <= 12; ++i)
        if (tagValue(data, "free1", i) == "적용금리") {
            EXPECT_EQ(tagValue(data, "free0", i), "연 3.50%");
            sawRate = true;
        }
    EXPECT_TRUE(sawRate);
}

TEST_F(AccountInquiry, AnotherUsersAccountOrAWrongKindIsRefused)
{
    EXPECT_EQ(msgCode(kim("encrypt=1&trcode=PDA_A008&UserID=KIM&DepositKind=A04&AccNO=110999000001")),
              result::kNotOwnAccount);
    EXPECT_EQ(msgCode(history("A04", "110999000001", "20240101", "20241231")), result::kNotOwnAccount);
    // An unknown account reads the same as another user's.
    EXPECT_EQ(msgCode(kim("encrypt=1&trcode=PDA_A008&UserID=KIM&DepositKind=A04&AccNO=123")), result::kNotOwnAccount);
    EXPECT_EQ(msgCode(kim("encrypt=1&trcode=PDA_A008&UserID=KIM&DepositKind=A04&AccNO=110-234-567890")),
              result::kNotOwnAccount);
    EXPECT_EQ(msgCode(kim("encrypt=1&trcode=PDA_A008&UserID=KIM&DepositKind=A01&AccNO=110234567890")),
              result::kBadValue);
    // SQL in a value is only ever a value.
    EXPECT_EQ(msgCode(kim("encrypt=1&trcode=PDA_A008&UserID=KIM&DepositKind=A04&AccNO=1' OR '1'='1")),
              result::kNotOwnAccount);
}

TEST_F(AccountInquiry, HistoryOfAnOrdinaryAccountForAPeriod)
{
    post("110-234-567890", 1'000'000, "2024-09-30 23:59:59", "급여", "회사");
    post("110-234-567890", 2'500'000, "2024-10-01 00:00:00", "급여", "타브린상사");
    post("110-234-567890", -58'000, "2024-10-15 12:00:00", "카드대금", "타브린카드");
    post("110-234-567890", 10'000, "2024-11-01 00:00:00");
    std::string reply = history("A04", "110234567890", "20241001", "20241031");
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    std::string data = xParse(reply, "DataTag");
    std::string list = xParse(data, "list0");
    ASSERT_EQ(std::count(list.begin(), list.end(), '|'), 2);
    EXPECT_EQ(tagValue(data, "list0", 1, 1), "2024.10.01");
    EXPECT_EQ(tagValue(data, "list0", 2, 1), "급여");
    EXPECT_EQ(tagValue(data, "list0", 3, 1), "타브린상사");
    EXPECT_EQ(tagValue(data, "list0", 4, 1), "입금");
    EXPECT_EQ(tagValue(data, "list0", 5, 1), "2,500,000");
    EXPECT_EQ(tagValue(data, "list0", 6, 1), "3,500,000");
    EXPECT_EQ(tagValue(data, "list0", 4, 2), "지급");
    EXPECT_EQ(tagValue(data, "list0", 6, 2), "3,442,000");
}

TEST_F(AccountInquiry, InstalmentsAreCountedFromTheFirstDeposit)
{
    post("220-11-0045678", 200'000, "2024-08-10 10:00:00", "적금불입");
    post("220-11-0045678", 200'000, "2024-09-10 10:00:00", "적금불입");
    post("220-11-0045678", 200'000, "2024-10-10 10:00:00", "적금불입");
    std::string data = xParse(history("A01", "220110045678", "20240901", "20241031"), "DataTag");
    EXPECT_EQ(tagValue(data, "list0", 3, 1), "2");
    EXPECT_EQ(tagValue(data, "list0", 4, 1), "2024.09");
    EXPECT_EQ(tagValue(data, "list0", 5, 1), "200,000");
    EXPECT_EQ(tagValue(data, "list0", 3, 2), "3");
    EXPECT_EQ(tagValue(data, "list0", 6, 2), "600,000");
    EXPECT_FALSE(existRecord(data, "list0", 3));
}

TEST_F(AccountInquiry, TimeDepositHistoryCarriesMaturityAndRate)
{
    post("330-12-0098765", 20'000'000, "2024-02-29 10:00:00", "신규");
    std::string data = xParse(history("A06", "330120098765", "20240101", "20241231"), "DataTag");
    EXPECT_EQ(tagValue(data, "list0", 1, 1), "2024.02.29");
    EXPECT_EQ(tagValue(data, "list0", 2, 1), "2025.02.28");  // a year on, no 29 February
    EXPECT_EQ(tagValue(data, "list0", 4, 1), "20,000,000");
}

TEST_F(AccountInquiry, HistoryRefusesBadPeriodsAndKindsWithoutHistory)
{
    EXPECT_EQ(msgCode(history("A04", "110234567890", "20241031", "20241001")), result::kBadValue);
    EXPECT_EQ(msgCode(history("A04", "110234567890", "20241332", "20241401")), result::kBadValue);
    EXPECT_EQ(msgCode(history("A04", "110234567890", "2024-10-01", "20241031")), result::kBadValue);
    EXPECT_EQ(msgCode(history("A07", "770010012345", "20240101", "20241231")), result::kNoHistoryKind);
    // A period without movements is an empty list, not a failure.
    std::string reply = history("A04", "110234567890", "20200101", "20200131");
    EXPECT_EQ(msgCode(reply), "10000");
    EXPECT_NE(reply.find("<list0></list0>"), std::string::npos);
}
