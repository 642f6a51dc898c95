#include <gtest/gtest.h>

#include "Admin.h"
#include "EnvelopeReader.h"
#include "ResultCodes.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {
std::string loginQuery(const std::string& user, const std::string& pwd)
{
    return "useSess=N&trcode=PDA_U001&UserID=" + user + "&UserPwd=" + pwd;
}
} // namespace

TEST(Login, SuccessGivesTheFourFieldsInTheOrderTheLoginReadsThem)
{
    TestBank bank;
    admin::addCustomer(*bank.store, {"kimmj", "김민준", "8503151234567", "K", "Y"}, "Pass1");
    auto o = bank.encrypted(sessionKey(1), loginQuery("KIMMJ", "PASS1"));
    std::string data = xParse(o.envelope.str(), "DataTag");
    EXPECT_EQ(msgCode(o.envelope.str()), "10000");
    EXPECT_EQ(tagValue(data, "free0", 1), "8503151234567");
    EXPECT_EQ(tagValue(data, "free0", 2), "K");
    EXPECT_EQ(tagValue(data, "free0", 3), "김민준");
    EXPECT_EQ(tagValue(data, "free0", 4), "Y");
    EXPECT_EQ(tagValue(data, "free0", 5), "");
    EXPECT_EQ(o.user, "KIMMJ");
    EXPECT_EQ(bank.sessions.userOf(sessionKey(1)), "KIMMJ");
}

TEST(Login, UnknownUserAndWrongPasswordGetTheSameRefusal)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1");
    auto unknown = bank.encrypted(sessionKey(1), loginQuery("NOBODY", "PW1"));
    auto wrong = bank.encrypted(sessionKey(1), loginQuery("ALICE", "PW2"));
    EXPECT_EQ(unknown.envelope.code(), result::kLoginFailed);
    EXPECT_EQ(wrong.envelope.code(), result::kLoginFailed);
    EXPECT_EQ(unknown.envelope.text(), result::kLoginFailedText);
    EXPECT_NE(wrong.envelope.text().find("1회 오류"), std::string::npos);
    EXPECT_FALSE(bank.sessions.userOf(sessionKey(1)));
    EXPECT_EQ(bank.encrypted(sessionKey(1), loginQuery("ALICE", "")).envelope.code(), result::kLoginFailed);
    EXPECT_EQ(bank.encrypted(sessionKey(1), "useSess=N&trcode=PDA_U001").envelope.code(), result::kLoginFailed);
}

TEST(Login, WrongPasswordsLockTheUserAtTheLimitAndAdministrationUnlocks)
{
    BankConfig config;
    config.loginFailLimit = 3;
    TestBank bank(config);
    bank.addCustomer("ALICE", "PW1");
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X1"), result::kLoginFailed);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X2"), result::kLoginFailed);
    auto third = bank.encrypted(sessionKey(1), loginQuery("ALICE", "X3"));
    EXPECT_EQ(third.envelope.code(), result::kLocked);
    EXPECT_EQ(third.envelope.text(), result::kLockedText);
    // Locked: even the right password is refused, with the lock's own code.
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kLocked);
    EXPECT_FALSE(bank.sessions.userOf(sessionKey(1)));
    ASSERT_TRUE(admin::unlock(*bank.store, "alice"));
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    EXPECT_FALSE(admin::unlock(*bank.store, "NOBODY"));
}

TEST(Login, ASuccessfulLoginClearsTheCountOfWrongPasswords)
{
    BankConfig config;
    config.loginFailLimit = 3;
    TestBank bank(config);
    bank.addCustomer("ALICE", "PW1");
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X"), result::kLoginFailed);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X"), result::kLoginFailed);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X"), result::kLoginFailed);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X"), result::kLoginFailed);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
}

TEST(Login, PasswordSetByAdministrationWorksAsTheClientTypesIt)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1");
    ASSERT_TRUE(admin::setPassword(*bank.store, "ALICE", "newpass9"));
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kLoginFailed);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "NEWPASS9"), result::kOk);
    EXPECT_FALSE(admin::setPassword(*bank.store, "NOBODY", "x"));
}
