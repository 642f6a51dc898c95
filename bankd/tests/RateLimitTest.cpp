// Rate limits of the login-free transactions through the dispatcher, and the
// data folder's settings that fix them.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <vector>

#include "Admin.h"
#include "DataFolder.h"
#include "ResultCodes.h"
#include "Settings.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {

RateLimits small()
{
    RateLimits r;
    r.window = std::chrono::seconds(60);
    r.perAddress = 6;
    r.perSession = 4;
    r.perUser = 3;
    r.perAccount = 2;
    r.perResident = 2;
    return r;
}

std::string cheque(TestBank& bank, int key, const std::string& number, const std::string& address = "10.0.0.1")
{
    return bank.dispatcher
        .dispatch(Route::Encrypted, sessionKey(key),
                  "useSess=N&encrypt=1&trcode=PDA_S003&BankCD=20&PublShopNO=0123&CheckNO=" + number +
                      "&CheckKind=50&CheckMny=1000",
                  address)
        .envelope.code();
}

std::string login(TestBank& bank, int key, const std::string& user, const std::string& address = "10.0.0.1")
{
    return bank.dispatcher
        .dispatch(Route::Encrypted, sessionKey(key), "useSess=N&trcode=PDA_U001&UserID=" + user + "&UserPwd=PW1",
                  address)
        .envelope.code();
}

} // namespace

TEST(RateLimit, EachKeyRefusesPastItsLimitWithAKoreanTextAndRecoversAfterItsWindow)
{
    BankConfig config;
    config.rateLimits = small();
    TestBank bank(config);
    bank.addCustomer("ALICE", "PW1");

    // Per session: the fifth request of one session is refused.
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(cheque(bank, 1, "1000000" + std::to_string(i)), result::kTooMany);
    auto refused = bank.dispatcher.dispatch(Route::Encrypted, sessionKey(1),
                                            "useSess=N&trcode=PDA_S003&CheckNO=55555555", "10.0.0.1");
    EXPECT_EQ(refused.envelope.code(), result::kTooMany);
    EXPECT_EQ(refused.envelope.text(), "요청이 너무 많습니다. 잠시 후 다시 이용하십시오.");
    // Per address: two more from new sessions reach six, the seventh is refused.
    EXPECT_NE(cheque(bank, 2, "20000001"), result::kTooMany);
    EXPECT_NE(cheque(bank, 3, "20000002"), result::kTooMany);
    EXPECT_EQ(cheque(bank, 4, "20000003"), result::kTooMany);
    // Another address is not held back by the first one.
    EXPECT_NE(cheque(bank, 5, "30000001", "10.0.0.2"), result::kTooMany);
    // Per cheque number (counted like an account): the third probe of one
    // number is refused from anywhere.
    EXPECT_NE(cheque(bank, 6, "40000001", "10.0.0.3"), result::kTooMany);
    EXPECT_NE(cheque(bank, 7, "4000-0001", "10.0.0.4"), result::kTooMany);
    EXPECT_EQ(cheque(bank, 8, "40000001", "10.0.0.5"), result::kTooMany);

    // Per user at login, whatever the address and session.
    EXPECT_EQ(login(bank, 20, "ALICE", "10.1.0.1"), result::kOk);
    EXPECT_EQ(login(bank, 21, "alice", "10.1.0.2"), result::kOk);
    EXPECT_EQ(login(bank, 22, "ALICE", "10.1.0.3"), result::kOk);
    EXPECT_EQ(login(bank, 23, "ALICE", "10.1.0.4"), result::kTooMany);
    EXPECT_FALSE(bank.sessions.userOf(sessionKey(23)));

    // Transactions that are not limited are not counted.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(bank.dispatcher.dispatch(Route::Plain, "", "trcode=PDA_T003", "10.0.0.1").envelope.code(),
                  result::kOk);

    // The window passes: everything is served again.
    bank.clock.advance(std::chrono::seconds(61));
    EXPECT_NE(cheque(bank, 1, "10000009"), result::kTooMany);
    EXPECT_NE(cheque(bank, 4, "20000003"), result::kTooMany);
    EXPECT_EQ(login(bank, 23, "ALICE", "10.1.0.4"), result::kOk);
    // Stale windows are forgotten: only the eight keys counted since remain.
    bank.dispatcher.rateLimiter().purge();
    EXPECT_EQ(bank.dispatcher.rateLimiter().size(), 8u);
}

TEST(RateLimit, ParallelRequestsCannotOutrunALimit)
{
    ManualClock clock;
    RateLimits r = RateLimits::none();
    r.perAccount = 5;
    RateLimiter limiter(clock, r);
    std::atomic<int> admitted{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i)
        threads.emplace_back([&] {
            for (int k = 0; k < 10; ++k)
                admitted += limiter.admit({{RateScope::Account, "1102345"}, {RateScope::Address, "x"}});
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(admitted.load(), 5);
}

TEST(RateLimit, ATableFullOfLiveKeysRefusesNewOnesInsteadOfForgettingCounts)
{
    ManualClock clock;
    RateLimiter limiter(clock, RateLimits{}, 4);
    EXPECT_TRUE(limiter.admit({{RateScope::Address, "a"}, {RateScope::Session, "s1"}}));
    EXPECT_TRUE(limiter.admit({{RateScope::Address, "a"}, {RateScope::Session, "s2"}}));
    EXPECT_FALSE(limiter.admit({{RateScope::Address, "a"}, {RateScope::Session, "s3"}}));
    clock.advance(std::chrono::seconds(61));
    EXPECT_TRUE(limiter.admit({{RateScope::Address, "a"}, {RateScope::Session, "s3"}}));
}

TEST(RateLimit, SettingsComeFromTheDataFolderAndABadValueIsNamed)
{
    TempDir dir;
    InitOptions o;
    o.dataDir = dir.str("data");
    o.cost = HashCost::minimal();
    o.postgres = postgresUrl();
    initBank(o);
    DataFolder folder(o.dataDir);
    // A new folder holds the defaults, written out.
    Settings defaults = readSettings(folder.settings());
    EXPECT_EQ(defaults.rateLimits.perUser, RateLimits{}.perUser);
    EXPECT_EQ(defaults.rateLimits.window, RateLimits{}.window);
    {
        std::ofstream f(folder.settings());
        f << "[rate_limits]\nwindow_seconds = 30\nper_address=0\nper_user=7\n";
    }
    Settings s = readSettings(folder.settings());
    EXPECT_EQ(s.rateLimits.window, std::chrono::seconds(30));
    EXPECT_EQ(s.rateLimits.perAddress, 0);
    EXPECT_EQ(s.rateLimits.perUser, 7);
    EXPECT_EQ(s.rateLimits.perSession, RateLimits{}.perSession);
    {
        std::ofstream f(folder.settings());
        f << "[rate_limits]\nper_session=-3\n";
    }
    try {
        readSettings(folder.settings());
        ADD_FAILURE() << "a negative limit was accepted";
    } catch (const DataFolderError& e) {
        EXPECT_NE(std::string(e.what()).find("per_session"), std::string::npos) << e.what();
    }
    // A folder from before the settings file runs on the defaults.
    EXPECT_EQ(readSettings(dir.str("none.ini")).rateLimits.perAccount, RateLimits{}.perAccount);
}
