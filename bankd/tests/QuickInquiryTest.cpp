// Login-free inquiries: balance and history with the account password under
// its lock and the throttle, and the exchange rates of a day.
#include <gtest/gtest.h>

#include "Accounts.h"
#include "Admin.h"
#include "Enrolment.h"
#include "EnvelopeReader.h"
#include "PasswordHash.h"
#include "QuickDemo.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {

class QuickInquiry : public ::testing::Test {
protected:
    explicit QuickInquiry(BankConfig config = {}) : bank(config)
    {
        const std::string hash = hashShortSecret("1234", bank.store->keys());
        bank.store->write([&](Db& db) {
            std::int64_t holder = enrolment::addHolder(db, "최유진", "9203152456781", "2024-01-01 09:00:00");
            Account a;
            a.accountNo = "110567890123";
            a.customerId = holder;
            a.displayNo = "110-567-890123";
            a.kindName = "보통예금";
            a.kindCode = "A04";
            a.openedOn = "20240101";
            accounts::add(db, a, hash);
            accounts::post(db, a.accountNo, 1'000'000, "2024-10-01 10:00:00", "신규", "");
            accounts::post(db, a.accountNo, -250'000, "2024-10-20 11:00:00", "이체", "김민준");
            accounts::post(db, a.accountNo, 30'000, "2024-11-04 12:00:00", "입금", "최유리");
            Account loan = a;
            loan.accountNo = "770010012345";
            loan.displayNo = "770-01-0012345";
            loan.kindName = "가계일반대출";
            loan.kindCode = "A07";
            accounts::add(db, loan, hash);
        });
    }
    std::string ask(const std::string& query, int session = 3)
    {
        return bank.encrypted(sessionKey(session), "useSess=N&" + query).envelope.str();
    }
    std::string balance(const std::string& acc, const std::string& pwd)
    {
        return ask("trcode=PDA_S001&AccNO=" + acc + "&AccPwd=" + pwd);
    }
    std::string history(const std::string& pwd, const std::string& from = "20241001", const std::string& to = "20241105",
                        int session = 3)
    {
        return ask("trcode=PDA_S002&AccNO=110567890123&AccPwd=" + pwd + "&sdate=" + from + "&edate=" + to, session);
    }
    TestBank bank;
};

} // namespace

TEST_F(QuickInquiry, RightPasswordGivesHolderBalanceAndNewestFirstHistory)
{
    std::string reply = balance("110567890123", "1234");
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    std::string data = xParse(reply, "DataTag");
    EXPECT_EQ(tagValue(data, "list0", 1), "110-567-890123");
    EXPECT_EQ(tagValue(data, "list0", 2), "최유진");
    EXPECT_EQ(tagValue(data, "list0", 9), "780,000");

    reply = history("1234");
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    data = xParse(reply, "DataTag");
    EXPECT_EQ(tagValue(data, "list0", 1, 1), "2024.11.04");
    EXPECT_EQ(tagValue(data, "list0", 4, 1), "입금");
    EXPECT_EQ(tagValue(data, "list0", 5, 1), "30,000");
    EXPECT_EQ(tagValue(data, "list0", 6, 1), "780,000");
    EXPECT_EQ(tagValue(data, "list0", 2, 2), "이체");
    EXPECT_EQ(tagValue(data, "list0", 3, 2), "김민준");
    EXPECT_EQ(tagValue(data, "list0", 4, 2), "지급");
    EXPECT_TRUE(existRecord(data, "list0", 3));
    EXPECT_FALSE(existRecord(data, "list0", 4));

    // A period without movements: an empty list, not an error.
    reply = history("1234", "20240101", "20240110");
    ASSERT_EQ(msgCode(reply), "10000");
    EXPECT_FALSE(existRecord(xParse(reply, "DataTag"), "list0", 1));
}

TEST_F(QuickInquiry, PeriodMustRunForwardAndStayWithinAYear)
{
    EXPECT_EQ(msgCode(history("1234", "20241105", "20241001")), result::kQuickRange);
    EXPECT_EQ(msgCode(history("1234", "20231001", "20241105")), result::kQuickRange);
    EXPECT_EQ(msgCode(history("1234", "20241301", "20241105")), result::kQuickRange);
    EXPECT_EQ(msgCode(history("1234", "20241105", "20241105")), "10000");
    // A refused period costs no password attempt.
    EXPECT_EQ(bank.store->read([](Db& db) { return guard::failures(db, Secret::AccountPassword, "110567890123"); }), 0);
}

TEST_F(QuickInquiry, UnknownAccountLoanAndWrongPasswordGetTheSameRefusal)
{
    std::string wrong = balance("110567890123", "9999");
    std::string unknown = balance("110567899999", "1234");
    std::string loan = balance("770010012345", "1234");
    for (const std::string& r : {wrong, unknown, loan}) {
        EXPECT_EQ(msgCode(r), result::kQuickAccount) << r;
        EXPECT_EQ(msgText(r), result::kQuickAccountText);
    }
    // Unknown numbers are counted like real ones, so they lock alike.
    for (int i = 0; i < 5; ++i)
        balance("110567899999", "1234");
    EXPECT_EQ(msgCode(balance("110567899999", "1234")), result::kQuickLocked);
}

TEST_F(QuickInquiry, TwentyWrongPasswordsLockTheAccountUntilUnlocked)
{
    int checked = 0, throttled = 0;
    for (int i = 0; i < 20; ++i) {
        std::string code = msgCode(history(std::to_string(1000 + i)));
        if (code == result::kTooMany)
            ++throttled;
        else
            ++checked;
        EXPECT_TRUE(code == result::kQuickAccount || code == result::kQuickLocked || code == result::kTooMany) << code;
    }
    // The throttle stopped half of them; the lock the rest after five.
    EXPECT_EQ(checked, 10);
    EXPECT_EQ(throttled, 10);
    EXPECT_TRUE(bank.store->read([](Db& db) { return guard::locked(db, Secret::AccountPassword, "110567890123"); }));

    bank.clock.advance(std::chrono::seconds(120));
    EXPECT_EQ(msgCode(history("1234")), result::kQuickLocked);
    EXPECT_EQ(msgCode(balance("110567890123", "1234")), result::kQuickLocked);
    EXPECT_EQ(admin::unlock(*bank.store, Secret::AccountPassword, "110567890123"), admin::Unlocked::Yes);
    EXPECT_EQ(msgCode(history("1234")), "10000");
}

namespace {
class QuickThrottle : public QuickInquiry {
protected:
    static BankConfig tight()
    {
        BankConfig c;
        c.rateLimits.perAddress = 3;
        c.rateLimits.perSession = 4;
        return c;
    }
    QuickThrottle() : QuickInquiry(tight()) {}
};
} // namespace

TEST_F(QuickThrottle, LoginFreeRequestsAreCountedPerSessionAndAddress)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(msgCode(balance("110567890123", "1234")), "10000");
    std::string refused = balance("110567890123", "1234");
    EXPECT_EQ(msgCode(refused), result::kTooMany);
    EXPECT_EQ(msgText(refused), result::kTooManyText);
    EXPECT_EQ(msgCode(ask("trcode=PDA_S001&AccNO=110567890123&AccPwd=1234", 4)), "10000");

    // Exchange rates on the open servlet, counted per client address.
    bank.store->write([&](Db& db) { addDemoRates(db, bank.clock.now()); });
    const std::string today = bankTime(bank.clock.now()).date;
    auto rates = [&](const std::string& address) {
        return bank.dispatcher.dispatch(Route::Plain, {}, "trcode=PDA_S004&sdate=" + today, address).envelope.code();
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(rates("10.0.0.1"), "10000");
    EXPECT_EQ(rates("10.0.0.1"), result::kTooMany);
    EXPECT_EQ(rates("10.0.0.2"), "10000");
}

TEST_F(QuickInquiry, ExchangeRatesOfADayOnTheOpenServlet)
{
    bank.store->write([&](Db& db) { addDemoRates(db, bank.clock.now()); });
    const std::string today = bankTime(bank.clock.now()).date;
    std::string reply = bank.plain("trcode=PDA_S004&sdate=" + today).envelope.str();
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    std::string data = xParse(reply, "DataTag");
    EXPECT_EQ(tagValue(data, "list0", 1, 1), "USD");
    EXPECT_EQ(tagValue(data, "list0", 2, 1), "미국");
    EXPECT_NE(tagValue(data, "list0", 5, 1).find(','), std::string::npos);
    EXPECT_EQ(tagValue(data, "list0", 11, 1).substr(0, 10),
              today.substr(0, 4) + "." + today.substr(4, 2) + "." + today.substr(6, 2));
    EXPECT_TRUE(existRecord(data, "list0", 8));
    EXPECT_FALSE(existRecord(data, "list0", 9));

    EXPECT_EQ(msgCode(bank.plain("trcode=PDA_S004&sdate=20100101").envelope.str()), result::kNoRates);
    EXPECT_EQ(msgCode(bank.plain("trcode=PDA_S004&sdate=2024").envelope.str()), result::kBadValue);
    // The account inquiries stay off the open servlet.
    EXPECT_EQ(bank.plain("useSess=N&trcode=PDA_S001&AccNO=110567890123&AccPwd=1234").envelope.code(),
              result::kWrongRoute);
}
