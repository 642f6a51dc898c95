// Enrolment without login: the identification's seven outcomes, the two
// registrations re-checking everything, and no second user from a repeat.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Accounts.h"
#include "Enrolment.h"
#include "EnvelopeReader.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {

constexpr const char* kHolder = "9203152456781";     // 보통예금 110567890123
constexpr const char* kSaver = "9104041234567";      // only a time deposit
constexpr const char* kApplicant = "8808082456789";  // branch application SKYJUNG
constexpr const char* kLapsed = "7701011234567";     // application past its validity

class Enrolment : public ::testing::Test {
protected:
    Enrolment()
    {
        bank.addCustomer("KIM", "pass1");  // resident number 8001011234567
        const std::string hash = hashShortSecret("1234", bank.store->keys());
        const std::string today = bankTime(bank.clock.now()).date;
        bank.store->write([&](Db& db) {
            auto open = [&](std::int64_t holder, const char* no, const char* kind) {
                Account a;
                a.accountNo = no;
                a.customerId = holder;
                a.displayNo = no;
                a.kindName = "예금";
                a.kindCode = kind;
                a.openedOn = "20240101";
                accounts::add(db, a, hash);
            };
            open(enrolment::addHolder(db, "최유진", kHolder, "2024-01-01 09:00:00"), "110567890123", "A04");
            open(enrolment::addHolder(db, "한보람", kSaver, "2024-01-01 09:00:00"), "330130011223", "A06");
            open(enrolment::addHolder(db, "정하늘", kApplicant, "2024-01-01 09:00:00"), "110678901234", "A04");
            enrolment::addApplication(db, {kApplicant, "SKYJUNG", "정하늘", today, "20241130", 0});
            enrolment::addApplication(db, {kLapsed, "OLDAPP", "오래된", "20240101", "20240131", 0});
        });
    }
    std::string ask(const std::string& query)
    {
        return bank.encrypted(sessionKey(++session), "useSess=N&" + query).envelope.str();
    }
    std::string identify(const std::string& id, const std::string& jumin)
    {
        std::string reply = ask("trcode=PDA_D001&UserID=" + id + "&CorpJNO=" + jumin);
        EXPECT_EQ(msgCode(reply), "10000") << reply;
        return tagValue(xParse(reply, "DataTag"), "free0", 1);
    }
    std::string withAccount(const std::string& id, const std::string& pwd1, const std::string& pwd2,
                            const std::string& acc = "110567890123", const std::string& accPwd = "1234",
                            const std::string& jumin = kHolder)
    {
        return ask("trcode=PDA_D003&UserID=" + id + "&CorpJNO=" + jumin + "&Pwd1=" + pwd1 + "&Pwd2=" + pwd2 +
                   "&accNo=" + acc + "&accPwd=" + accPwd);
    }
    std::string atBranch(const std::string& id, const std::string& pwd1, const std::string& pwd2,
                         const std::string& jumin = kApplicant)
    {
        return ask("trcode=PDA_D002&UserID=" + id + "&CorpJNO=" + jumin + "&Pwd1=" + pwd1 + "&Pwd2=" + pwd2);
    }
    int users()
    {
        return bank.store->read([](Db& db) {
            auto s = db.prepare("SELECT count(*) FROM customers WHERE enrolled = 1");
            s.step();
            return static_cast<int>(s.integer(0));
        });
    }
    TestBank bank;
    int session = 10;
};

} // namespace

TEST_F(Enrolment, IdentificationGivesEachOfTheSevenOutcomes)
{
    EXPECT_EQ(identify("skyjung", kApplicant), "0");  // upper-cased like the client's
    EXPECT_EQ(identify("OLDAPP", kLapsed), "1");
    EXPECT_EQ(identify("ANYONE", "8001011234567"), "2");
    EXPECT_EQ(identify("OTHER", kApplicant), "3");
    EXPECT_EQ(identify("KIM", kHolder), "4");
    EXPECT_EQ(identify("SKYJUNG", kHolder), "4");  // held by a branch application
    EXPECT_EQ(identify("NEWUSER", kHolder), "5");
    EXPECT_EQ(identify("NEWUSER", kSaver), "6");
    EXPECT_EQ(identify("NEWUSER", "9999999999999"), "6");
    // Three wrong IDs end the application.
    EXPECT_EQ(identify("OTHER2", kApplicant), "3");
    EXPECT_EQ(identify("OTHER3", kApplicant), "3");
    EXPECT_EQ(identify("SKYJUNG", kApplicant), "1");
    // Malformed values are refused, not answered.
    EXPECT_EQ(msgCode(ask("trcode=PDA_D001&UserID=AB%3B&CorpJNO=123")), result::kBadValue);
}

TEST_F(Enrolment, OwnAccountEnrolmentCreatesOneUserWithACardAndLogin)
{
    std::string reply = withAccount("newuser", "ABC123", "ABC123");
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    EXPECT_NE(msgText(reply).find("NEWUSER"), std::string::npos);
    EXPECT_EQ(bank.login(sessionKey(99), "NEWUSER", "abc123"), "10000");
    bank.store->read([](Db& db) {
        auto c = customers::find(db, "NEWUSER");
        ASSERT_TRUE(c);
        EXPECT_EQ(c->name, "최유진");
        EXPECT_EQ(c->securityWay, "S");
        EXPECT_TRUE(customers::securityCard(db, c->id));
        ASSERT_EQ(accounts::ofCustomer(db, c->id).size(), 1u);
    });
    const int before = users();
    // The same data again, or another ID for the same person: nobody new.
    EXPECT_EQ(msgCode(withAccount("NEWUSER", "ABC123", "ABC123")), "ENR02");
    EXPECT_EQ(msgCode(withAccount("NEWUSER2", "ABC123", "ABC123")), "ENR02");
    EXPECT_EQ(users(), before);
}

TEST_F(Enrolment, RegistrationsRecheckEverythingTheIdentificationChecks)
{
    const int before = users();
    // Password rule: 4-8 letters and digits mixed, both entries equal.
    for (auto [p1, p2] : {std::pair{"AB1", "AB1"}, {"ABCDEFGH1", "ABCDEFGH1"}, {"ABCDEF", "ABCDEF"},
                          {"123456", "123456"}, {"ABC123", "ABC124"}, {"AB_123", "AB_123"}})
        EXPECT_EQ(msgCode(withAccount("NEWUSER", p1, p2)), result::kEnrolPassword) << p1;
    // An account that is not the holder's own demand deposit, a wrong password,
    // an unknown account: one refusal, each counted on the account.
    EXPECT_EQ(msgCode(withAccount("NEWUSER", "ABC123", "ABC123", "110678901234")), result::kEnrolAccount);
    EXPECT_EQ(msgCode(withAccount("NEWUSER", "ABC123", "ABC123", "110567890123", "9999")), result::kEnrolAccount);
    EXPECT_EQ(msgCode(withAccount("NEWUSER", "ABC123", "ABC123", "110000000000")), result::kEnrolAccount);
    EXPECT_EQ(bank.store->read([](Db& db) { return guard::failures(db, Secret::AccountPassword, "110567890123"); }), 1);
    // Enrolment is throttled per resident number: the eleventh try in a minute.
    EXPECT_EQ(msgCode(withAccount("NEWUSER", "AB1", "AB1")), result::kEnrolPassword);
    EXPECT_EQ(msgCode(withAccount("NEWUSER", "ABC123", "ABC123")), result::kTooMany);
    bank.clock.advance(std::chrono::seconds(61));
    // The wrong road, a taken ID, no demand deposit.
    EXPECT_EQ(msgCode(withAccount("SKYJUNG", "ABC123", "ABC123", "110678901234", "1234", kApplicant)), "ENR00");
    EXPECT_EQ(msgCode(atBranch("NEWUSER", "ABC123", "ABC123", kHolder)), "ENR05");
    EXPECT_EQ(msgCode(withAccount("KIM", "ABC123", "ABC123")), "ENR04");
    EXPECT_EQ(msgCode(withAccount("NEWUSER", "ABC123", "ABC123", "330130011223", "1234", kSaver)), "ENR06");
    EXPECT_EQ(msgCode(atBranch("OTHER", "ABC123", "ABC123")), "ENR03");
    EXPECT_EQ(users(), before);
}

TEST_F(Enrolment, BranchApplicantSetsAPasswordOnce)
{
    std::string reply = atBranch("SKYJUNG", "SKY2024", "SKY2024");
    ASSERT_EQ(msgCode(reply), "10000") << reply;
    EXPECT_EQ(bank.login(sessionKey(98), "SKYJUNG", "SKY2024"), "10000");
    EXPECT_EQ(msgCode(atBranch("SKYJUNG", "SKY2024", "SKY2024")), "ENR02");
    EXPECT_EQ(identify("SKYJUNG", kApplicant), "2");
    bank.store->read([](Db& db) {
        auto c = customers::find(db, "SKYJUNG");
        ASSERT_TRUE(c);
        EXPECT_EQ(accounts::ofCustomer(db, c->id).size(), 1u);  // the holder record became the user
        EXPECT_FALSE(enrolment::application(db, kApplicant));
    });
}

TEST_F(Enrolment, ParallelTwinsCreateOneUser)
{
    const int before = users();
    std::atomic<int> created{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i)
        threads.emplace_back([&, i] {
            std::string q = "useSess=N&trcode=PDA_D003&UserID=TWIN&CorpJNO=" + std::string(kHolder) +
                            "&Pwd1=ABC123&Pwd2=ABC123&accNo=110567890123&accPwd=1234";
            if (bank.encrypted(sessionKey(200 + i), q).envelope.code() == "10000")
                ++created;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(created.load(), 1);
    EXPECT_EQ(users(), before + 1);
}
