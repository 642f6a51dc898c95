// The bankd program's refusals, run as a user runs it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <sys/wait.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Admin.h"
#include "Schema.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "DataFolder.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {
struct CmdRun {
    int status;
    std::string output;
};

CmdRun bankdRun(const std::string& args)
{
    const char* bin = std::getenv("TVPB_BIN");
    std::string cmd = std::string(bin ? bin : "bin") + "/bankd " + args + " 2>&1 </dev/null";
    CmdRun r{-1, {}};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 512> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        r.output.append(buf.data(), n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string initFast(const TempDir& dir)
{
    InitOptions o;
    o.dataDir = dir.str("data");
    o.cost = HashCost::minimal();
    o.postgres = postgresUrl();
    initBank(o);
    return o.dataDir;
}
} // namespace

TEST(CommandLine, ServeExplainsAMissingOrForeignDataFolder)
{
    TempDir dir;
    CmdRun missing = bankdRun("serve --data " + dir.str("nothing") + " --listen 127.0.0.1:1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("does not exist"), std::string::npos) << missing.output;
    CmdRun foreign = bankdRun("serve --data " + dir.str() + " --listen 127.0.0.1:1");
    EXPECT_EQ(foreign.status, 1);
    EXPECT_NE(foreign.output.find("not a bankd data folder"), std::string::npos) << foreign.output;
    CmdRun listenBad = bankdRun("serve --data " + dir.str() + " --listen nowhere");
    EXPECT_NE(listenBad.status, 0);
}

TEST(CommandLine, ServeRefusesADatabaseOfANewerSchema)
{
    TempDir dir;
    std::string data = initFast(dir);
    {
        auto db = onPostgres() ? Db::postgres(postgresUrl()) : std::make_unique<Db>(data + "/bankd.db", false);
        db->setUserVersion(Schema::currentVersion() + 1);
    }
    CmdRun r = bankdRun("serve --data " + data + " --listen 127.0.0.1:1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("newer bankd"), std::string::npos) << r.output;
}

TEST(CommandLine, ServeReportsAPortInUse)
{
    TempDir dir;
    std::string data = initFast(dir);
    // Hold a port with a listening socket of our own.
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    CmdRun r = bankdRun("serve --data " + data + " --listen 127.0.0.1:" + std::to_string(ntohs(a.sin_port)));
    ::close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("cannot listen"), std::string::npos) << r.output;
}

TEST(CommandLine, AdministrationCommandsWorkOnADataFolder)
{
    TempDir dir;
    std::string data = initFast(dir);
    CmdRun add = bankdRun("add-customer --data " + data +
                       " --user choi --name 최유리 --jumin 9203042345678 --password pw12 --means S");
    ASSERT_EQ(add.status, 0) << add.output;
    EXPECT_NE(add.output.find("[35]"), std::string::npos);
    CmdRun card = bankdRun("show-card --data " + data + " --user CHOI");
    EXPECT_EQ(card.status, 0);
    EXPECT_NE(add.output.find(card.output.substr(0, 20)), std::string::npos);  // the same card
    EXPECT_EQ(bankdRun("set-password --data " + data + " --user CHOI --password NEW1").status, 0);
    CmdRun nobody = bankdRun("unlock --data " + data + " --user NOBODY");
    EXPECT_EQ(nobody.status, 1);
    EXPECT_NE(nobody.output.find("no customer"), std::string::npos);
    EXPECT_NE(bankdRun("unlock --data " + data).status, 0);  // nothing named
    {
        // Lock CHOI's login and security means, an account's password and a
        // card's PIN as five wrong attempts each would.
        auto store = Store::open(DataFolder(data).storeLocation(), HashCost::minimal());
        store->write([](Db& db) {
            db.exec("INSERT INTO accounts (account_no, customer_id, display_no, kind_name, kind_code, pwd_hash, "
                    "opened_on) SELECT '1102345', id, '110-2345', 'k', 'A04', 'h', '20240101' FROM customers "
                    "WHERE user_id = 'CHOI'");
            for (auto [kind, subject] : {std::pair{Secret::LoginPassword, "CHOI"}, {Secret::SecurityValue, "CHOI"},
                                         {Secret::AccountPassword, "1102345"}, {Secret::CardPin, "94101234"}})
                for (int i = 0; i < kSecretFailureLimit; ++i) {
                    guard::begin(db, kind, subject, "2024-01-01 00:00:00");
                    guard::failed(db, kind, subject, "2024-01-01 00:00:00");
                }
        });
    }
    for (const char* what : {"--user choi", "--security CHOI", "--account 110-2345", "--card 9410-1234"}) {
        CmdRun r = bankdRun("unlock --data " + data + " " + what);
        EXPECT_EQ(r.status, 0) << what << ": " << r.output;
        EXPECT_NE(r.output.find(" unlocked"), std::string::npos) << what << ": " << r.output;
        CmdRun again = bankdRun("unlock --data " + data + " " + what);
        EXPECT_NE(again.output.find("was not locked"), std::string::npos) << what << ": " << again.output;
    }
    EXPECT_EQ(bankdRun("unlock --data " + data + " --account 999").status, 1);
    CmdRun cert = bankdRun("issue-cert --data " + data + " --user CHOI --home " + dir.str("home") +
                        " --cert-password c1234567");
    EXPECT_EQ(cert.status, 0) << cert.output;
    EXPECT_NE(cert.output.find(dir.str("home") + "/certs/"), std::string::npos);
    auto store = Store::open(DataFolder(data).storeLocation(), HashCost::minimal());
    auto c = store->read([](Db& db) { return customers::find(db, "CHOI"); });
    ASSERT_TRUE(c);
    EXPECT_TRUE(verifyPassword(c->pwdHash, "NEW1"));
}
