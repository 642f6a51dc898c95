#include <gtest/gtest.h>

#include "ResultCodes.h"
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
