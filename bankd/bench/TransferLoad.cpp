#include "TransferLoad.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "Accounts.h"
#include "Admin.h"
#include "Books.h"
#include "Clock.h"
#include "Customers.h"
#include "DataFolder.h"
#include "PasswordHash.h"
#include "Sqlite.h"
#include "Store.h"
#include "Transfers.h"
#include "LoadSupport.h"
#include "velcor/ClientChannel.h"

namespace bankd::load {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr const char* kAccountPassword = "1234";
constexpr std::int64_t kFunding = 40'000'000;  // below the daily limit of one source account

// One customer the generator made: login, security card and one account.
struct LoadCustomer {
    std::string userId;
    std::string password;
    SecurityCard card;
    std::string account;  // digits
};

struct Destination {
    std::string bankCode;
    std::string account;
};

struct Worker {
    std::vector<std::uint32_t> pairUs, checkUs, execUs;
    long errors = 0;
    long executed = 0;
};

std::string randomDigits(std::mt19937_64& rng, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out.push_back(static_cast<char>('0' + rng() % 10));
    return out;
}

// Fresh security-card customers, one per client, each with one funded
// ordinary-deposit account. IDs and account numbers are random, so runs on
// the same bank do not collide.
std::vector<LoadCustomer> makeCustomers(Store& store, int count)
{
    std::mt19937_64 rng(std::random_device{}());
    const std::string accountHash = hashPassword(kAccountPassword, store.hashCost());
    const auto now = std::chrono::system_clock::now();
    const std::string run = randomDigits(rng, 6);
    std::vector<LoadCustomer> out;
    for (int i = 0; i < count; ++i) {
        LoadCustomer c;
        c.userId = "LOAD" + run + "N" + std::to_string(i);
        c.password = "pw" + randomDigits(rng, 8);
        NewCustomer n{c.userId, "부하시험" + std::to_string(i), "900101" + randomDigits(rng, 7), "S", "N"};
        c.card = admin::addCustomer(store, n, c.password);
        store.write([&](Db& db) {
            auto cust = customers::find(db, c.userId);
            std::string digits;
            do
                digits = "99" + randomDigits(rng, 10);
            while (accounts::find(db, digits));
            Account a;
            a.accountNo = digits;
            a.customerId = cust->id;
            a.displayNo = digits.substr(0, 3) + "-" + digits.substr(3, 2) + "-" + digits.substr(5);
            a.kindName = "보통예금";
            a.kindCode = "A04";
            a.withdrawal = true;
            a.openedOn = bankTime(now).date;
            accounts::add(db, a, accountHash);
            accounts::post(db, digits, kFunding, bankTimestamp(now), "신규", "");
            c.account = digits;
        });
        out.push_back(std::move(c));
    }
    return out;
}

std::vector<Destination> otherBankAccounts(Store& store)
{
    return store.read([](Db& db) {
        std::vector<Destination> d;
        auto s = db.prepare("SELECT bank_code, account_no FROM other_bank_accounts ORDER BY bank_code, account_no");
        while (s.step())
            d.push_back({s.text(0), s.text(1)});
        return d;
    });
}

// Transfers recorded as executed from the given accounts.
std::int64_t executedFrom(Store& store, const std::vector<LoadCustomer>& cs)
{
    return store.read([&](Db& db) {
        std::int64_t n = 0;
        for (const LoadCustomer& c : cs) {
            auto s = db.prepare("SELECT count(*) FROM transfers WHERE from_account = ?1 AND result_code = '0000'");
            s.bind(1, c.account);
            s.step();
            n += s.integer(0);
        }
        return n;
    });
}

class Session {
public:
    Session(const TransferLoadOptions& o) : http_(o.host, o.port), channel_(o.gatewayKey)
    {
        http_.set_keep_alive(true);
        http_.set_tcp_nodelay(true);
        http_.set_read_timeout(10, 0);
    }

    // One exchange: GET "?q=" on the plain path, form POST "q=" on the signed path.
    std::optional<std::string> send(bool signedPath, const std::string& query)
    {
        std::string cipher = channel_.sealRequest(signedPath, query);
        if (cipher.empty())
            return std::nullopt;
        httplib::Result r = signedPath
                                ? http_.Post("/servlet/TvPdaMain", "q=" + escapeCipher(cipher),
                                             "application/x-www-form-urlencoded")
                                : http_.Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher));
        if (!r || r->status != 200)
            return std::nullopt;
        auto plain = channel_.openReply(r->body);
        if (!plain)
            return std::nullopt;
        return *plain;
    }

private:
    httplib::Client http_;
    velcor::ClientChannel channel_;
};

std::string execQuery(const std::string& user, const std::vector<std::string>& e, int cell, const std::string& value)
{
    return "encrypt=1&trcode=PDA_T002&UserID=" + user + "&WthrwAccNO=" + accounts::digitsOnly(e[0]) +
           "&DepstBankNm=" + e[1] + "&RcverNm=" + e[2] + "&CMSCD=" + e[3] + "&IcheExecdate=" + e[4] +
           "&TranBefBal=" + e[5] + "&DepstAccNO=" + accounts::digitsOnly(e[6]) + "&TranMny=" + e[7] +
           "&Sender=" + e[8] + "&Charge=" + e[9] + "&IcheType=&DepstBankCD=" + e[11] + "&AccPwd=" + e[12] +
           "&PayDaySumBranch=" + e[13] + "&DepstDaySumBranch=" + e[14] + "&TranMode=" + e[15] +
           "&RsrvExecDay=" + e[16] + "&Seq=" + e[17] + "&IMang=" + e[18] + "&ScrtyWay=S&RandomNum=" +
           std::to_string(cell) + "&SecPwd=" + value + "&SignedMsg=&Phone=";
}

double percentile(const std::vector<std::uint32_t>& sorted, double p)
{
    if (sorted.empty())
        return 0;
    size_t idx = std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())));
    return sorted[idx] / 1000.0;
}

} // namespace

int runTransferLoad(const TransferLoadOptions& o)
{
    DataFolder folder(o.dataDir);
    folder.check();
    std::unique_ptr<Store> store = Store::open(folder.database());

    std::vector<LoadCustomer> customers = makeCustomers(*store, o.clients);
    std::vector<Destination> external = o.externalEvery > 0 ? otherBankAccounts(*store) : std::vector<Destination>{};
    const std::string today = bankTime(std::chrono::system_clock::now()).date;
    const Books before = store->read([](Db& db) { return books::read(db); });

    std::vector<Worker> workers(customers.size());
    std::mutex errorMutex;
    std::string firstError;
    auto noteError = [&](const std::string& what) {
        std::lock_guard<std::mutex> lock(errorMutex);
        if (firstError.empty())
            firstError = what;
    };
    std::atomic<bool> go{false};
    std::atomic<int> loggedIn{0};
    std::vector<std::thread> threads;
    SteadyClock::time_point deadline;
    for (size_t i = 0; i < customers.size(); ++i) {
        threads.emplace_back([&, i] {
            Worker& w = workers[i];
            const LoadCustomer& me = customers[i];
            const LoadCustomer& next = customers[(i + 1) % customers.size()];
            std::mt19937_64 rng(std::random_device{}() + i);
            Session session(o);
            auto login = session.send(false, "useSess=N&trcode=PDA_U001&UserID=" + me.userId + "&UserPwd=" +
                                                 me.password);
            bool ready = login && succeeded(*login);
            if (!ready)
                noteError("login: " + (login ? messageOf(*login) : std::string("no reply")));
            ++loggedIn;
            while (!go)
                std::this_thread::yield();
            if (!ready) {
                ++w.errors;
                return;
            }
            for (long n = 0; SteadyClock::now() < deadline; ++n) {
                Destination to{"20", next.account};
                if (customers.size() == 1 && external.empty())
                    break;  // no other account to send to
                if ((!external.empty() && o.externalEvery > 0 && n % o.externalEvery == o.externalEvery - 1) ||
                    customers.size() == 1)
                    to = external[static_cast<size_t>(rng() % external.size())];
                const std::string amount = std::to_string(1000 + rng() % 9000);
                auto t0 = SteadyClock::now();
                auto quote = session.send(false, "encrypt=1&trcode=PDA_T001&UserID=" + me.userId + "&WthrwAccNO=" +
                                                     me.account + "&AccPwd=" + kAccountPassword + "&DepstBankCD=" +
                                                     to.bankCode + "&DepstAccNO=" + to.account + "&TranMny=" +
                                                     amount + "&Sender=&CMSCD=&IcheExecdate=" + today);
                auto t1 = SteadyClock::now();
                std::vector<std::string> echo = quote ? free0Fields(*quote) : std::vector<std::string>{};
                if (!quote || !succeeded(*quote) || echo.size() != 19) {
                    noteError("PDA_T001: " + (quote ? messageOf(*quote) : std::string("no reply")));
                    ++w.errors;
                    continue;
                }
                int cell = 1 + static_cast<int>(rng() % 35);
                auto done = session.send(true, execQuery(me.userId, echo, cell, me.card[static_cast<size_t>(cell - 1)]));
                auto t2 = SteadyClock::now();
                if (!done || !succeeded(*done)) {
                    noteError("PDA_T002: " + (done ? messageOf(*done) : std::string("no reply")));
                    ++w.errors;
                    continue;
                }
                ++w.executed;
                auto us = [](auto d) {
                    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::microseconds>(d).count());
                };
                w.pairUs.push_back(us(t2 - t0));
                w.checkUs.push_back(us(t1 - t0));
                w.execUs.push_back(us(t2 - t1));
            }
        });
    }
    // Logins first, then the timed part for everyone at once.
    while (loggedIn < static_cast<int>(customers.size()))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    auto start = SteadyClock::now();
    deadline = start + std::chrono::seconds(o.seconds);
    go = true;
    for (auto& t : threads)
        t.join();
    double elapsed = std::chrono::duration<double>(SteadyClock::now() - start).count();

    std::vector<std::uint32_t> pair, check, exec;
    long errors = 0, executed = 0;
    for (auto& w : workers) {
        pair.insert(pair.end(), w.pairUs.begin(), w.pairUs.end());
        check.insert(check.end(), w.checkUs.begin(), w.checkUs.end());
        exec.insert(exec.end(), w.execUs.begin(), w.execUs.end());
        errors += w.errors;
        executed += w.executed;
    }
    std::sort(pair.begin(), pair.end());
    std::sort(check.begin(), check.end());
    std::sort(exec.begin(), exec.end());
    std::printf("mode=transfer clients=%zu seconds=%.1f executed=%ld errors=%ld tps=%.1f "
                "pair p50=%.3fms p90=%.3fms p99=%.3fms | T001 p50=%.3fms p99=%.3fms | T002 p50=%.3fms p99=%.3fms\n",
                customers.size(), elapsed, executed, errors, static_cast<double>(executed) / elapsed,
                percentile(pair, 0.5), percentile(pair, 0.9), percentile(pair, 0.99), percentile(check, 0.5),
                percentile(check, 0.99), percentile(exec, 0.5), percentile(exec, 0.99));
    if (!firstError.empty())
        std::printf("first error: %s\n", firstError.c_str());

    const Books after = store->read([](Db& db) { return books::read(db); });
    const std::string off = books::check(before, after);
    const bool booksHold = off.empty();
    const std::int64_t recorded = executedFrom(*store, customers);
    const bool countsMatch = recorded == executed;
    std::printf("books: balances before=%lld after=%lld fees=%lld sent_out=%lld loan_interest=%lld -> %s; "
                "executed seen by clients=%ld recorded=%lld -> %s\n",
                static_cast<long long>(before.balances), static_cast<long long>(after.balances),
                static_cast<long long>(after.term("transfer fees") - before.term("transfer fees")),
                static_cast<long long>(after.term("sent to other banks") - before.term("sent to other banks")),
                static_cast<long long>(after.term("loan interest received") - before.term("loan interest received")),
                booksHold ? "hold" : off.c_str(), executed, static_cast<long long>(recorded),
                countsMatch ? "match" : "MISMATCH");
    const bool pass = booksHold && countsMatch && executed > 0;
    std::printf("%s\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}

} // namespace bankd::load
