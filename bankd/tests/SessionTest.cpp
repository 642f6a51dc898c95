#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ResultCodes.h"
#include "SessionJournal.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;
using std::chrono::seconds;

namespace {
class SessionFixture : public ::testing::Test {
protected:
    SessionFixture() : bank(BankConfig{}, seconds(300))
    {
        bank.dispatcher.add({"TEST_WHO", true, false, [](RequestContext&) { return Envelope::ok(); }});
        bank.addCustomer("ALICE", "PW1");
        bank.addCustomer("BOB", "PW2");
    }
    std::string who(int key, const std::string& user)
    {
        return bank.encrypted(sessionKey(key), "encrypt=1&trcode=TEST_WHO&UserID=" + user).envelope.code();
    }
    TestBank bank;
};
} // namespace

TEST_F(SessionFixture, ASessionServesOnlyTheUserWhoLoggedIn)
{
    ASSERT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    ASSERT_EQ(bank.login(sessionKey(2), "BOB", "PW2"), result::kOk);
    EXPECT_EQ(who(1, "ALICE"), result::kOk);
    EXPECT_EQ(who(1, "alice"), result::kOk);  // IDs are upper-cased like the client does
    EXPECT_EQ(who(1, "BOB"), result::kSession);
    EXPECT_EQ(who(2, "ALICE"), result::kSession);
    EXPECT_EQ(who(2, "BOB"), result::kOk);
    // A refused request does not disturb the owner's session.
    EXPECT_EQ(who(1, "ALICE"), result::kOk);
}

TEST_F(SessionFixture, IdleSessionsExpireAndUseKeepsThemAlive)
{
    ASSERT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    bank.clock.advance(seconds(299));
    EXPECT_EQ(who(1, "ALICE"), result::kOk);
    bank.clock.advance(seconds(299));
    EXPECT_EQ(who(1, "ALICE"), result::kOk);
    bank.clock.advance(seconds(301));
    EXPECT_EQ(who(1, "ALICE"), result::kSession);
    // Still expired after the refusal, until the user logs in again.
    EXPECT_EQ(who(1, "ALICE"), result::kSession);
    ASSERT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    EXPECT_EQ(who(1, "ALICE"), result::kOk);
}

TEST_F(SessionFixture, AnEndedSessionIsRefusedForGood)
{
    ASSERT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    bank.sessions.end(sessionKey(1));
    EXPECT_EQ(who(1, "ALICE"), result::kSession);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kSession);
    EXPECT_EQ(who(1, "ALICE"), result::kSession);
    EXPECT_FALSE(bank.sessions.userOf(sessionKey(1)));
}

TEST_F(SessionFixture, LoggingInAsAnotherUserRebindsTheSession)
{
    ASSERT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    ASSERT_EQ(bank.login(sessionKey(1), "BOB", "PW2"), result::kOk);
    EXPECT_EQ(who(1, "ALICE"), result::kSession);
    EXPECT_EQ(who(1, "BOB"), result::kOk);
    // A failed login leaves the binding as it was.
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "WRONG"), result::kLoginFailed);
    EXPECT_EQ(who(1, "BOB"), result::kOk);
}

TEST(Sessions, TableStaysBoundedAndPurgeDropsIdleEntries)
{
    ManualClock clock;
    Sessions s(clock, seconds(60), 3);
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(s.bind(sessionKey(i), "U" + std::to_string(i)));
        clock.advance(seconds(1));
    }
    EXPECT_LE(s.size(), 3u);
    EXPECT_EQ(s.userOf(sessionKey(9)), "U9");  // the most recent survive
    EXPECT_FALSE(s.userOf(sessionKey(0)));
    clock.advance(seconds(61));
    s.purge();
    EXPECT_EQ(s.size(), 0u);
}

TEST_F(SessionFixture, AttributesLastForTheLoginTheyWereSetIn)
{
    const std::string key = sessionKey(1);
    EXPECT_FALSE(bank.sessions.setAttribute(key, "security-checked", "Y"));  // not logged in
    ASSERT_EQ(bank.login(key, "ALICE", "PW1"), result::kOk);
    ASSERT_TRUE(bank.sessions.setAttribute(key, "security-checked", "Y"));
    EXPECT_EQ(bank.sessions.attribute(key, "security-checked"), "Y");
    EXPECT_FALSE(bank.sessions.attribute(sessionKey(2), "security-checked"));
    EXPECT_FALSE(bank.sessions.attribute(key, "other"));
    // A new login on the session starts without them.
    ASSERT_EQ(bank.login(key, "BOB", "PW2"), result::kOk);
    EXPECT_FALSE(bank.sessions.attribute(key, "security-checked"));
    // So does the login after an idle expiry.
    ASSERT_TRUE(bank.sessions.setAttribute(key, "security-checked", "Y"));
    bank.clock.advance(seconds(301));
    EXPECT_FALSE(bank.sessions.attribute(key, "security-checked"));
    EXPECT_EQ(who(1, "BOB"), result::kSession);
    ASSERT_EQ(bank.login(key, "BOB", "PW2"), result::kOk);
    EXPECT_FALSE(bank.sessions.attribute(key, "security-checked"));
    // And an ended session keeps none.
    ASSERT_TRUE(bank.sessions.setAttribute(key, "security-checked", "Y"));
    bank.sessions.end(key);
    EXPECT_FALSE(bank.sessions.attribute(key, "security-checked"));
}

TEST(Sessions, EndingOrForgettingKeysThatNeverLoggedInLeavesNothingBehind)
{
    ManualClock clock;
    Sessions sessions(clock, seconds(300), 3);
    ASSERT_TRUE(sessions.bind(sessionKey(1), "ALICE"));
    // A flood of sessions that never logged in, ended or idled out at the
    // gateway, neither fills the table nor pushes the login out.
    for (int i = 100; i < 1100; ++i) {
        sessions.end(sessionKey(i));
        sessions.forget(sessionKey(i + 5000));
    }
    EXPECT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions.userOf(sessionKey(1)), "ALICE");
    // A key the gateway let idle out comes back without login, and may log in.
    sessions.forget(sessionKey(1));
    EXPECT_FALSE(sessions.userOf(sessionKey(1)));
    EXPECT_TRUE(sessions.bind(sessionKey(1), "ALICE"));
}

TEST(SessionJournalFile, KeepsEveryKeyOfTheRetentionAndStaysBoundedUnderAFlood)
{
    TempDir dir;
    std::int64_t now = 1'800'000'000;
    const std::string path = dir.str("sessions.journal");
    const std::chrono::seconds retention(1200);
    {
        SessionJournal journal(path, retention, [&now] { return now; });
        ASSERT_TRUE(journal.record(sessionKey(1)));
        now += 1000;
        ASSERT_TRUE(journal.record(std::vector<std::string>{sessionKey(2), sessionKey(1)}));  // 1 used again
        EXPECT_FALSE(journal.record("not a key"));
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    // A restart 1,100 s after key 1's last line and 2,100 s after its first.
    now += 1100;
    {
        SessionJournal journal(path, retention, [&now] { return now; });
        EXPECT_EQ(std::set<std::string>(journal.earlierKeys().begin(), journal.earlierKeys().end()),
                  (std::set<std::string>{sessionKey(1), sessionKey(2)}));
    }
    now += 101;
    {
        SessionJournal journal(path, retention, [&now] { return now; });
        EXPECT_TRUE(journal.earlierKeys().empty());

        // A flood of new sessions for hours: the two files never hold more
        // than two retentions' worth of lines.
        std::uintmax_t largest = 0;
        for (int minute = 0; minute < 180; ++minute) {
            std::vector<std::string> keys;
            for (int i = 0; i < 100; ++i)
                keys.push_back(sessionKey(minute * 100 + i));
            ASSERT_TRUE(journal.record(keys));
            now += 60;
            ASSERT_TRUE(journal.rotateIfDue());
            largest = std::max(largest, std::filesystem::file_size(path) + std::filesystem::file_size(journal.oldPath()));
        }
        const std::uintmax_t line = 11 + 44 + 1;
        EXPECT_LE(largest, 2 * 20 * 100 * line + 100 * line);
        EXPECT_GE(largest, 20 * 100 * line);
    }
    // The last retention's keys are all refused after a restart.
    SessionJournal journal(path, retention, [&now] { return now; });
    const std::set<std::string> kept(journal.earlierKeys().begin(), journal.earlierKeys().end());
    for (int minute = 161; minute < 180; ++minute)
        EXPECT_TRUE(kept.count(sessionKey(minute * 100))) << minute;
}
