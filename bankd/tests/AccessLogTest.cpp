#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AccessLog.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {
std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
} // namespace

TEST(AccessLog, OneLineWithTheAgreedFields)
{
    TempDir dir;
    ManualClock clock(std::chrono::system_clock::from_time_t(1'730'784'730));
    {
        AccessLog log(dir.str("a.log"), clock);
        log.write({"PDA_U001", "AbCd+/EfGhIjKlMn", "ALICE", "10000", std::chrono::microseconds(1234), "enc", "203.0.113.7"});
        log.write({"PDA_T003", "", "-", "10000", std::chrono::microseconds(56), "plain", ""});
    }
    EXPECT_EQ(readFile(dir.str("a.log")),
              "2024-11-05T14:32:10 PDA_U001 sess=AbCd+/Ef user=ALICE result=10000 us=1234 route=enc addr=203.0.113.7\n"
              "2024-11-05T14:32:10 PDA_T003 sess=- user=- result=10000 us=56 route=plain addr=-\n");
}

TEST(AccessLog, HostileFieldsCannotForgeLines)
{
    std::string line = AccessLog::format({"PDA\nFAKE", "x y\nz", "A B\r\nresult=10000", "BIZ06", {}, "enc", "1.2.3.4\nresult=10000"},
                                         std::chrono::system_clock::from_time_t(0));
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_EQ(line.find("result=10000"), std::string::npos);
}

TEST(AccessLog, NeverHoldsPasswordsOrSecurityValues)
{
    TestBank bank;
    bank.addCustomer("ALICE", "SECRETPW77");
    std::string path = bank.dir.str("access.log");
    {
        AccessLog log(path, bank.clock);
        const char* requests[] = {
            "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=SECRETPW77",
            "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=WRONGPW55",
            "encrypt=1&trcode=PDA_T002&UserID=ALICE&AccPwd=4321&SecPwd=987654&SignedMsg=V1.sig&CardNO=9410123412341234",
            "trcode=PDA_S001&AccNO=1102345678&AccPwd=8765",
        };
        for (const char* q : requests) {
            auto o = bank.encrypted(sessionKey(1), q);
            log.write({o.trcode, sessionKey(1), o.user, o.envelope.code(), std::chrono::microseconds(10), "enc", "127.0.0.1"});
        }
    }
    std::string text = readFile(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    for (const char* secret : {"SECRETPW77", "WRONGPW55", "4321", "987654", "V1.sig", "9410123412341234", "8765",
                               "1102345678"})
        EXPECT_EQ(text.find(secret), std::string::npos) << secret;
    EXPECT_NE(text.find("PDA_U001 sess=Sess1AAA user=ALICE result=10000"), std::string::npos);
}

TEST(AccessLog, ReopenedAfterRotationWritesTheNewFileOwnerOnly)
{
    TempDir dir;
    ManualClock clock(std::chrono::system_clock::from_time_t(1'730'784'730));
    AccessLog log(dir.str("a.log"), clock);
    log.write({"PDA_U001", "", "A", "10000", std::chrono::microseconds(1), "enc", "127.0.0.1"});
    std::filesystem::rename(dir.str("a.log"), dir.str("a.log.1"));  // as logrotate does
    log.write({"PDA_U001", "", "B", "10000", std::chrono::microseconds(1), "enc", "127.0.0.1"});
    ASSERT_TRUE(log.reopen());
    log.write({"PDA_U001", "", "C", "10000", std::chrono::microseconds(1), "enc", "127.0.0.1"});
    const std::string old = readFile(dir.str("a.log.1")), fresh = readFile(dir.str("a.log"));
    EXPECT_NE(old.find("user=A"), std::string::npos);
    EXPECT_NE(old.find("user=B"), std::string::npos);
    EXPECT_EQ(fresh.find("user=B"), std::string::npos);
    EXPECT_NE(fresh.find("user=C"), std::string::npos);
    EXPECT_EQ(static_cast<unsigned>(std::filesystem::status(dir.str("a.log")).permissions()) & 0777u, 0600u);
}
