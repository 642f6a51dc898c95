// The bank program killed with SIGKILL at a random moment of a transfer load
// and started again on the same data folder, while its clients carry on (they
// log in again). Afterwards the books hold, every transfer a client was told
// was executed is recorded exactly once with what the client was told, and no
// transfer ran twice.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <httplib.h>

#include "Admin.h"
#include "CodePage949.h"
#include "LoadSupport.h"
#include "velcor/ClientChannel.h"
#include "Books.h"
#include "DataFolder.h"
#include "Sqlite.h"
#include "Store.h"
#include "ExecutionChecks.h"
#include "TestBank.h"
#include "TransferLoad.h"
#include "velcor/GatewayKeys.h"

using namespace bankd;
using namespace bankd::test;

namespace {

int freePort()
{
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

bool accepts(int port)
{
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

// `bankd serve` of the build, its output discarded; waits until it listens.
pid_t startBank(const std::string& data, int port)
{
    const char* bin = std::getenv("TVPB_BIN");
    const std::string program = std::string(bin ? bin : "bin") + "/bankd";
    const std::string listen = "127.0.0.1:" + std::to_string(port);
    pid_t pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(program.c_str(), program.c_str(), "serve", "--data", data.c_str(), "--listen", listen.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // A loaded machine may take long to start it: wait on its port, up to a
    // generous bound, and give up at once should it exit.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!accepts(port) && std::chrono::steady_clock::now() < until && ::waitpid(pid, nullptr, WNOHANG) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return pid;
}

void killBank(pid_t pid, int sig)
{
    ::kill(pid, sig);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// Waits until the access log shows an executed transfer (PDA_T002).
bool executionsStarted(const std::string& accessLog)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < until) {
        std::ifstream in(accessLog);
        std::string line;
        while (std::getline(in, line))
            if (line.find("PDA_T002") != std::string::npos)
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

TEST(KillUnderLoad, BooksHoldAndEveryAcknowledgedTransferIsRecordedOnceAfterSigkill)
{
    TempDir dir;
    InitOptions init;
    init.dataDir = dir.str("data");
    init.cost = HashCost::minimal();
    init.postgres = postgresUrl();
    initBank(init);
    DataFolder folder(init.dataDir);
    auto keys = velcor::loadGatewayKeyPair(folder.gatewayKey());
    ASSERT_TRUE(keys);

    const int port = freePort();
    pid_t bank = startBank(folder.dir(), port);
    ASSERT_TRUE(accepts(port)) << "bankd did not start";

    load::TransferLoadOptions o;
    o.port = port;
    o.dataDir = folder.dir();
    o.gatewayKey = keys->publicKey;
    o.clients = 6;
    o.seconds = 7;
    o.externalEvery = 0;
    auto run = std::async(std::launch::async, [&] { return load::measureTransferLoad(o); });

    // The load logs in its customers first, then runs for o.seconds. The kill
    // lands at a random moment after the first executions reached the access
    // log, so a slow log-in phase on a busy machine cannot put it before them.
    ASSERT_TRUE(executionsStarted(folder.accessLog())) << "no transfer executed within 30 s";
    std::mt19937 rng(std::random_device{}());
    const int killAfterMs = 200 + static_cast<int>(rng() % 2300);
    std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs));
    killBank(bank, SIGKILL);
    bank = startBank(folder.dir(), port);
    ASSERT_TRUE(accepts(port)) << "bankd did not start again";

    load::TransferLoadResult r = run.get();
    killBank(bank, SIGTERM);
    SCOPED_TRACE("killed after " + std::to_string(killAfterMs) + " ms");
    EXPECT_TRUE(r.booksHold);
    EXPECT_TRUE(r.countsMatch);
    EXPECT_EQ(r.acknowledgedProblem, "");
    EXPECT_GT(r.executed, 0);
    // Each client logged in again after the restart instead of failing on.
    EXPECT_GE(r.logins, 2L * o.clients);
    EXPECT_LE(r.unanswered, 4L * o.clients);
    EXPECT_TRUE(r.pass);

    // No serial executed twice, by the books of the database itself.
    auto store = Store::open(folder.storeLocation(), HashCost::minimal());
    store->read([](Db& db) {
        expectEachExecutionOnce(db);
    });
}

TEST(Restart, ARequestCapturedBeforeARestartIsRefusedAfterItAndTheClientLogsInAgain)
{
    TempDir dir;
    InitOptions init;
    init.dataDir = dir.str("data");
    init.cost = HashCost::minimal();
    init.postgres = postgresUrl();
    initBank(init);
    DataFolder folder(init.dataDir);
    {
        auto store = Store::open(folder.storeLocation(), HashCost::minimal());
        admin::addCustomer(*store, {"REPLAY", "재전송", "9001011234567", "S", "N"}, "PW1");
    }
    auto keys = velcor::loadGatewayKeyPair(folder.gatewayKey());
    ASSERT_TRUE(keys);
    const int port = freePort();
    pid_t bank = startBank(folder.dir(), port);
    ASSERT_TRUE(accepts(port));

    httplib::Client http("127.0.0.1", port);
    auto post = [&](const std::string& cipher) {
        return http.Get("/servlet/TvPdaMain?q=" + load::escapeCipher(cipher));
    };
    velcor::ClientChannel client(keys->publicKey);
    const std::string login = "useSess=N&trcode=PDA_U001&UserID=REPLAY&UserPwd=PW1";
    const std::string captured = client.sealRequest(false, login);
    auto first = post(captured);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->status, 200);
    auto reply = client.openReply(first->body);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(load::succeeded(*reply));
    // Before the restart the same text is refused as a replay...
    auto replayed = post(captured);
    ASSERT_TRUE(replayed);
    EXPECT_EQ(replayed->status, 400);

    // ...and after it (a crash, no chance to save anything) as an ended session.
    killBank(bank, SIGKILL);
    bank = startBank(folder.dir(), port);
    ASSERT_TRUE(accepts(port));
    httplib::Client after("127.0.0.1", port);
    auto again = after.Get("/servlet/TvPdaMain?q=" + load::escapeCipher(captured));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 400);
    EXPECT_EQ(cp949::toUtf8(again->body), "Error:종료된 세션입니다");
    // The session's next request is refused the same way; a new login works.
    auto next = after.Get("/servlet/TvPdaMain?q=" +
                          load::escapeCipher(client.sealRequest(false, "encrypt=1&trcode=PDA_Q001&UserID=REPLAY")));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 400);
    velcor::ClientChannel relogin(keys->publicKey);
    auto fresh = after.Get("/servlet/TvPdaMain?q=" + load::escapeCipher(relogin.sealRequest(false, login)));
    ASSERT_TRUE(fresh);
    ASSERT_EQ(fresh->status, 200);
    auto freshReply = relogin.openReply(fresh->body);
    ASSERT_TRUE(freshReply);
    EXPECT_TRUE(load::succeeded(*freshReply));
    killBank(bank, SIGTERM);
    struct stat st{};
    ASSERT_EQ(::stat(folder.sessionJournal().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
