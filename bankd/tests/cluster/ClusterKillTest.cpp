// Three bankd nodes on one PostgreSQL behind nginx (scripts/cluster.sh), the
// transfer load running through the front, scheduled transfers falling due
// while it runs (every node looks for them each second). One node, picked at
// random, is killed with SIGKILL at a random moment once it executes
// transfers, and started again a little later. The clients carry on through
// the other nodes (logging in again at most); afterwards the books hold,
// every transfer a client was told was executed is recorded exactly once, no
// serial was executed twice and every scheduled transfer ran exactly once.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Accounts.h"
#include "Admin.h"
#include "Clock.h"
#include "Customers.h"
#include "DataFolder.h"
#include "PasswordHash.h"
#include "Sqlite.h"
#include "Store.h"
#include "ExecutionChecks.h"
#include "TestBank.h"
#include "TransferLoad.h"
#include "velcor/GatewayKeys.h"

using namespace bankd;
using namespace bankd::test;
namespace fs = std::filesystem;

namespace {

constexpr int kNodes = 3;

std::string sourceDir()
{
    const char* s = std::getenv("TVPB_SOURCE");
    return s ? s : ".";
}

// Runs a command of scripts/cluster.sh; its exit status, its output in *out.
int cluster(const std::string& args, std::string* out = nullptr)
{
    const std::string cmd = "bash '" + sourceDir() + "/scripts/cluster.sh' " + args + " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return -1;
    std::string text;
    char buf[512];
    while (size_t n = std::fread(buf, 1, sizeof buf, p))
        text.append(buf, n);
    int status = ::pclose(p);
    if (out)
        *out = text;
    else if (status != 0)
        std::fprintf(stderr, "cluster.sh %s:\n%s\n", args.c_str(), text.c_str());
    return status;
}

// DIR/cluster.env: NAME='value' lines.
std::map<std::string, std::string> readEnv(const std::string& path)
{
    std::map<std::string, std::string> env;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string v = line.substr(eq + 1);
        if (v.size() >= 2 && v.front() == '\'' && v.back() == '\'')
            v = v.substr(1, v.size() - 2);
        env[line.substr(0, eq)] = v;
    }
    return env;
}

// Lines with `what` in a file from byte `from` on.
long countFrom(const std::string& path, std::streamoff from, const std::string& what)
{
    std::ifstream in(path);
    in.seekg(from);
    long n = 0;
    std::string line;
    while (std::getline(in, line))
        if (line.find(what) != std::string::npos)
            ++n;
    return n;
}

std::streamoff sizeOf(const std::string& path)
{
    std::error_code ec;
    auto s = fs::file_size(path, ec);
    return ec ? 0 : static_cast<std::streamoff>(s);
}

bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// A customer with two accounts whose scheduled transfers, from the first to
// the second, the test registers as due today.
class ScheduledTransfers {
public:
    explicit ScheduledTransfers(Store& store) : store_(store)
    {
        admin::addCustomer(store, {"SCHEDRUN", "예약이체", "8801011234567", "S", "N"}, "pw12345678");
        const auto now = std::chrono::system_clock::now();
        store.write([&](Db& db) {
            customerId_ = customers::find(db, "SCHEDRUN")->id;
            const std::string hash = hashShortSecret("1234", store.keys());
            for (const char* no : {"990000000001", "990000000002"}) {
                Account a;
                a.accountNo = no;
                a.customerId = customerId_;
                a.displayNo = std::string(no).substr(0, 3) + "-" + std::string(no).substr(3, 2) + "-" +
                              std::string(no).substr(5);
                a.kindName = "보통예금";
                a.kindCode = "A04";
                a.withdrawal = true;
                a.openedOn = bankTime(now).date;
                accounts::add(db, a, hash);
            }
            accounts::post(db, "990000000001", 10'000'000, bankTimestamp(now), "신규", "");
        });
    }

    // Registers n transfers due today.
    void add(int n)
    {
        const auto now = std::chrono::system_clock::now();
        store_.write([&](Db& db) {
            auto s = db.prepare(
                "INSERT INTO scheduled_transfers (customer_id, serial, exec_date, from_account, bank_code, "
                "to_account, recipient, amount, fee, sender, cms_code, registered_at) "
                "VALUES (?1, ?2, ?3, '990000000001', '20', '990000000002', '예약이체', ?4, 0, '예약이체', '', ?5)");
            for (int i = 0; i < n; ++i) {
                s.reset();
                s.bind(1, customerId_).bind(2, "SCHED" + std::to_string(next_)).bind(3, bankTime(now).date);
                s.bind(4, static_cast<std::int64_t>(1000 + next_)).bind(5, bankTimestamp(now)).run();
                ++next_;
            }
        });
    }

    int registered() const { return next_; }

private:
    Store& store_;
    std::int64_t customerId_ = 0;
    int next_ = 0;
};

bool havePostgresAndNginx()
{
    return std::system("ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1") == 0 &&
           std::system("command -v nginx >/dev/null 2>&1 || test -x /usr/sbin/nginx") == 0;
}

} // namespace

TEST(Cluster, ANodeKilledUnderLoadLosesNoTransferAndRunsNothingTwice)
{
    if (!havePostgresAndNginx()) {
        if (const char* ci = std::getenv("CI"); ci && std::string(ci) == "true")
            FAIL() << "PostgreSQL and nginx are needed (scripts/deps.sh installs them)";
        GTEST_SKIP() << "PostgreSQL or nginx is not installed";
    }
    TempDir tmp;
    // The PostgreSQL server's user (postgres, when run as root) passes through.
    fs::permissions(tmp.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const std::string dir = tmp.str("cluster");
    std::string started;
    ASSERT_EQ(cluster("start '" + dir + "' --nodes 3 --demo --fast-hash --scheduled-interval 1", &started), 0) << started;
    struct Stop {
        std::string dir;
        ~Stop()
        {
            // What the nodes reported (errors of their own), when the test failed.
            if (::testing::Test::HasFailure())
                for (int i = 1; i <= kNodes; ++i) {
                    std::ifstream in(dir + "/nodes/" + std::to_string(i) + "/bankd.log");
                    for (std::string line; std::getline(in, line);)
                        std::fprintf(stderr, "node %d: %s\n", i, line.c_str());
                }
            cluster("stop '" + dir + "'");
        }
    } stop{dir};
    auto env = readEnv(dir + "/cluster.env");
    ASSERT_FALSE(env["PG_URL"].empty()) << "the cluster does not run on PostgreSQL";
    const std::string front = env["FRONT"];
    ASSERT_NE(front.find(':'), std::string::npos);
    auto nodeLog = [&](int i) { return dir + "/nodes/" + std::to_string(i) + "/access.log"; };

    DataFolder folder(env["DATA"]);
    auto keys = velcor::loadGatewayKeyPair(folder.gatewayKey());
    ASSERT_TRUE(keys);
    auto store = Store::open(folder.storeLocation(), HashCost::minimal());
    ScheduledTransfers scheduled(*store);
    scheduled.add(40);

    load::TransferLoadOptions o;
    o.port = std::stoi(front.substr(front.find(':') + 1));
    o.dataDir = folder.dir();
    o.gatewayKey = keys->publicKey;
    o.clients = 6;
    o.seconds = 14;
    o.externalEvery = 4;
    auto run = std::async(std::launch::async, [&] { return load::measureTransferLoad(o); });

    std::mt19937 rng(std::random_device{}());
    const int victim = 1 + static_cast<int>(rng() % kNodes);
    ASSERT_TRUE(waitFor([&] { return countFrom(nodeLog(victim), 0, "PDA_T002") > 0; }, std::chrono::seconds(60)))
        << "node " << victim << " executed no transfer within 60 s";
    const int killAfterMs = 200 + static_cast<int>(rng() % 2300);
    SCOPED_TRACE("node " + std::to_string(victim) + " killed " + std::to_string(killAfterMs) +
                 " ms after its first execution");
    std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs));
    ASSERT_EQ(cluster("kill-node '" + dir + "' " + std::to_string(victim)), 0);
    std::map<int, std::streamoff> atKill;
    for (int i = 1; i <= kNodes; ++i)
        atKill[i] = sizeOf(nodeLog(i));
    scheduled.add(40);  // due while a node is dead

    std::this_thread::sleep_for(std::chrono::seconds(3));
    ASSERT_EQ(cluster("start-node '" + dir + "' " + std::to_string(victim)), 0);
    const std::streamoff atRestart = sizeOf(nodeLog(victim));
    scheduled.add(40);  // due while the restarted node joins again

    load::TransferLoadResult r = run.get();
    EXPECT_TRUE(r.booksHold);
    EXPECT_TRUE(r.countsMatch);
    EXPECT_EQ(r.acknowledgedProblem, "");
    EXPECT_TRUE(r.pass);
    // The nodes answer as one bank: no session or quote of one is unknown to another.
    EXPECT_EQ(r.errors, 0);
    // Requests lost with the node: at most a few per client, each followed by
    // a login again at most.
    EXPECT_LE(r.unanswered, 3L * o.clients);
    EXPECT_LE(r.logins, o.clients + r.unanswered);

    // The other nodes went on executing transfers after the kill, and the
    // restarted node took its share again.
    for (int i = 1; i <= kNodes; ++i) {
        if (i != victim) {
            EXPECT_GT(countFrom(nodeLog(i), atKill[i], "PDA_T002"), 0) << "node " << i << " after the kill";
        }
    }
    EXPECT_GT(countFrom(nodeLog(victim), atRestart, "PDA_T"), 0) << "the restarted node served no transfer";

    // Every scheduled transfer ran, each exactly once.
    const int total = scheduled.registered();
    EXPECT_TRUE(waitFor(
        [&] {
            return store->read([](Db& db) {
                auto s = db.prepare("SELECT count(*) FROM scheduled_transfers WHERE serial LIKE 'SCHED%' AND "
                                    "result_code = ''");
                s.step();
                return s.integer(0) == 0;
            });
        },
        std::chrono::seconds(20)))
        << "scheduled transfers still waiting";
    store->read([&](Db& db) {
        auto ran = db.prepare(
            "SELECT count(*) FROM scheduled_transfers WHERE serial LIKE 'SCHED%' AND result_code = '0000'");
        ran.step();
        EXPECT_EQ(ran.integer(0), total);
        auto once = db.prepare(
            "SELECT count(*) FROM scheduled_transfers st WHERE st.serial LIKE 'SCHED%' AND "
            "(SELECT count(*) FROM transfers t WHERE t.scheduled_id = st.id) <> 1");
        once.step();
        EXPECT_EQ(once.integer(0), 0) << "scheduled transfers not recorded exactly once";
        auto moved = db.prepare(
            "SELECT count(*) FROM account_history WHERE account_no = '990000000002' AND memo = 'PDA입금'");
        moved.step();
        EXPECT_EQ(moved.integer(0), total) << "deposits of scheduled transfers";

        // No serial executed twice, and every withdrawal has exactly one record.
        expectEachExecutionOnce(db);
    });
}
