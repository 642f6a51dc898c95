#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include "Admin.h"
#include "EnvelopeReader.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "Sqlite.h"
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

TEST(Login, WrongPasswordsLockTheUserAtTheFifthAndAdministrationUnlocks)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1");
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X" + std::to_string(i)), result::kLoginFailed);
    auto fifth = bank.encrypted(sessionKey(1), loginQuery("ALICE", "X5"));
    EXPECT_EQ(fifth.envelope.code(), result::kLocked);
    EXPECT_EQ(fifth.envelope.text(), result::kLockedText);
    // Locked: even the right password is refused, with the lock's own code.
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kLocked);
    EXPECT_FALSE(bank.sessions.userOf(sessionKey(1)));
    ASSERT_TRUE(admin::unlock(*bank.store, "alice"));
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    EXPECT_FALSE(admin::unlock(*bank.store, "NOBODY"));
}

TEST(Login, ASuccessfulLoginClearsTheCountOfWrongPasswords)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1");
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "X"), result::kLoginFailed);
        EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    }
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

TEST(Login, AnUnknownIdDoesTheSameHashWorkAsAKnownOne)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1");
    auto run = [&](const std::string& user) {
        std::uint64_t before = passwordVerifications();
        auto o = bank.encrypted(sessionKey(1), loginQuery(user, "WRONG"));
        EXPECT_EQ(o.envelope.code(), result::kLoginFailed);
        return std::make_pair(passwordVerifications() - before, lastVerifiedCost());
    };
    auto known = run("ALICE");
    auto unknown = run("NOBODY");
    auto unknown2 = run("SOMEONE2");
    // One Argon2id verification each, of the same cost.
    EXPECT_EQ(known.first, 1u);
    EXPECT_EQ(unknown.first, 1u);
    EXPECT_EQ(unknown2.first, 1u);
    EXPECT_EQ(known.second.rfind("$argon2id$", 0), 0u) << known.second;
    EXPECT_EQ(unknown.second, known.second);
    EXPECT_EQ(unknown2.second, known.second);
    // And an unknown ID never locks anything or logs in.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(bank.login(sessionKey(1), "NOBODY", "X"), result::kLoginFailed);
}

TEST(Login, TwentyFourParallelWrongPasswordsGetFiveChecksAndTheRightOneAfterThemIsRefused)
{
    BankConfig config;
    config.rateLimits = RateLimits::none();  // the lock alone is under test
    TestBank bank(config);
    bank.addCustomer("ALICE", "PW1");
    // A hash slow enough that the guesses overlap while they are checked.
    const std::string slow = hashPassword("PW1", HashCost{3, 8u * 1024u * 1024u});
    bank.store->write([&](Db& db) { customers::setPassword(db, "ALICE", slow); });
    std::uint64_t before = passwordVerifications();
    std::vector<std::string> codes(24);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < 24; ++i)
        threads.emplace_back([&, i] {
            while (!go)
                std::this_thread::yield();
            codes[static_cast<size_t>(i)] = bank.login(sessionKey(100 + i), "ALICE", "GUESS" + std::to_string(i));
        });
    go = true;
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(passwordVerifications() - before, 5u);
    int wrong = 0;
    int locked = 0;
    for (const auto& c : codes) {
        wrong += c == result::kLoginFailed;
        locked += c == result::kLocked;
    }
    EXPECT_EQ(wrong + locked, 24);
    EXPECT_LE(wrong, 4);
    EXPECT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kLocked);
    EXPECT_FALSE(bank.sessions.userOf(sessionKey(1)));
}
