#include "TransferLoad.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <optional>
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

// A transfer the bank acknowledged as executed, as its client saw it.
struct Acknowledged {
    std::string serial;
    std::string from;
    std::int64_t amount = 0;
    std::string messageNo;
};

struct Worker {
    std::vector<std::uint32_t> pairUs, checkUs, execUs;
    long errors = 0;
    long executed = 0;
    long logins = 0;
    long unanswered = 0;            // requests lost with their connection or session
    std::vector<Acknowledged> acknowledged;
    std::vector<std::string> unknown;  // executions sent without an answer
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
    const std::string accountHash = hashShortSecret(kAccountPassword, store.keys());
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

// One client: its encrypted session (a new one for each login) and its
// keep-alive connection.
class Session {
public:
    explicit Session(const TransferLoadOptions& o) : o_(o), http_(o.host, o.port)
    {
        http_.set_keep_alive(true);
        http_.set_tcp_nodelay(true);
        http_.set_read_timeout(10, 0);
        http_.set_connection_timeout(1, 0);
    }

    // A fresh gateway session and PDA_U001; the reply's envelope, or nullopt.
    std::optional<std::string> login(const std::string& userId, const std::string& password)
    {
        channel_ = std::make_unique<velcor::ClientChannel>(o_.gatewayKey);
        return send(false, "useSess=N&trcode=PDA_U001&UserID=" + userId + "&UserPwd=" + password);
    }

    // One exchange: GET "?q=" on the plain path, form POST "q=" on the signed
    // path. Nullopt when the connection or the session is gone.
    std::optional<std::string> send(bool signedPath, const std::string& query)
    {
        if (!channel_)
            return std::nullopt;
        std::string cipher = channel_->sealRequest(signedPath, query);
        if (cipher.empty())
            return std::nullopt;
        httplib::Result r = signedPath
                                ? http_.Post("/servlet/TvPdaMain", "q=" + escapeCipher(cipher),
                                             "application/x-www-form-urlencoded")
                                : http_.Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher));
        if (!r || r->status != 200)
            return std::nullopt;
        auto plain = channel_->openReply(r->body);
        if (!plain)
            return std::nullopt;
        return *plain;
    }

private:
    const TransferLoadOptions& o_;
    httplib::Client http_;
    std::unique_ptr<velcor::ClientChannel> channel_;
};

// Every acknowledged transfer recorded once, as executed, with the client's
// amount, source account and message number; "" when all are.
std::string checkAcknowledged(Store& store, const std::vector<Acknowledged>& acked)
{
    return store.read([&](Db& db) -> std::string {
        auto s = db.prepare(
            "SELECT count(*), min(amount), min(from_account), min(message_no) FROM transfers "
            "WHERE serial = ?1 AND result_code = '0000'");
        for (const Acknowledged& a : acked) {
            s.reset();
            s.bind(1, a.serial);
            s.step();
            if (s.integer(0) != 1)
                return "transfer " + a.serial + " acknowledged, recorded " + std::to_string(s.integer(0)) + " times";
            if (s.integer(1) != a.amount || s.text(2) != a.from || s.text(3) != a.messageNo)
                return "transfer " + a.serial + " recorded with other values than acknowledged";
        }
        return "";
    });
}

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

TransferLoadResult measureTransferLoad(const TransferLoadOptions& o)
{
    DataFolder folder(o.dataDir);
    folder.check();
    std::unique_ptr<Store> store = Store::open(folder.storeLocation());

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
            // Logs in (again after a lost session, e.g. a restarted bank)
            // until it works or the run ends.
            auto login = [&] {
                const auto firstGiveUp = SteadyClock::now() + std::chrono::seconds(10);
                for (;;) {
                    auto r = session.login(me.userId, me.password);
                    if (r && succeeded(*r)) {
                        ++w.logins;
                        return true;
                    }
                    if (r)
                        noteError("login: " + messageOf(*r));
                    if (go ? SteadyClock::now() >= deadline : SteadyClock::now() >= firstGiveUp)
                        return false;
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            };
            bool ready = login();
            ++loggedIn;
            while (!go)
                std::this_thread::yield();
            for (long n = 0; SteadyClock::now() < deadline; ++n) {
                if (!ready && !(ready = login()))
                    break;
                Destination to{"20", next.account};
                if (customers.size() == 1 && external.empty())
                    break;  // no other account to send to
                if ((!external.empty() && o.externalEvery > 0 && n % o.externalEvery == o.externalEvery - 1) ||
                    customers.size() == 1)
                    to = external[static_cast<size_t>(rng() % external.size())];
                const std::int64_t amount = 1000 + static_cast<std::int64_t>(rng() % 9000);
                auto t0 = SteadyClock::now();
                auto quote = session.send(false, "encrypt=1&trcode=PDA_T001&UserID=" + me.userId + "&WthrwAccNO=" +
                                                     me.account + "&AccPwd=" + kAccountPassword + "&DepstBankCD=" +
                                                     to.bankCode + "&DepstAccNO=" + to.account + "&TranMny=" +
                                                     std::to_string(amount) + "&Sender=&CMSCD=&IcheExecdate=" + today);
                auto t1 = SteadyClock::now();
                if (!quote) {
                    ++w.unanswered;
                    ready = false;
                    continue;
                }
                std::vector<std::string> echo = free0Fields(*quote);
                if (!succeeded(*quote) || echo.size() != 19) {
                    noteError("PDA_T001: " + messageOf(*quote));
                    ++w.errors;
                    continue;
                }
                int cell = 1 + static_cast<int>(rng() % 35);
                auto done = session.send(true, execQuery(me.userId, echo, cell, me.card[static_cast<size_t>(cell - 1)]));
                auto t2 = SteadyClock::now();
                if (!done) {
                    // Executed or not: the books tell, and it must not be twice.
                    w.unknown.push_back(echo[17]);
                    ++w.unanswered;
                    ready = false;
                    continue;
                }
                std::vector<std::string> result = free0Fields(*done);
                if (!succeeded(*done) || result.size() != 11) {
                    noteError("PDA_T002: " + messageOf(*done));
                    ++w.errors;
                    continue;
                }
                ++w.executed;
                w.acknowledged.push_back({echo[17], me.account, amount, result[10]});
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
    TransferLoadResult res;
    std::vector<Acknowledged> acked;
    long unknown = 0;
    for (auto& w : workers) {
        pair.insert(pair.end(), w.pairUs.begin(), w.pairUs.end());
        check.insert(check.end(), w.checkUs.begin(), w.checkUs.end());
        exec.insert(exec.end(), w.execUs.begin(), w.execUs.end());
        acked.insert(acked.end(), w.acknowledged.begin(), w.acknowledged.end());
        res.errors += w.errors;
        res.executed += w.executed;
        res.logins += w.logins;
        res.unanswered += w.unanswered;
        unknown += static_cast<long>(w.unknown.size());
    }
    std::sort(pair.begin(), pair.end());
    std::sort(check.begin(), check.end());
    std::sort(exec.begin(), exec.end());
    res.tps = static_cast<double>(res.executed) / elapsed;
    std::printf("mode=transfer clients=%zu seconds=%.1f executed=%ld errors=%ld tps=%.1f "
                "pair p50=%.3fms p90=%.3fms p99=%.3fms | T001 p50=%.3fms p99=%.3fms | T002 p50=%.3fms p99=%.3fms\n",
                customers.size(), elapsed, res.executed, res.errors, res.tps, percentile(pair, 0.5),
                percentile(pair, 0.9), percentile(pair, 0.99), percentile(check, 0.5), percentile(check, 0.99),
                percentile(exec, 0.5), percentile(exec, 0.99));
    std::printf("sessions: logins=%ld (%zu clients) unanswered=%ld of which executions=%ld\n", res.logins,
                customers.size(), res.unanswered, unknown);
    if (!firstError.empty())
        std::printf("first error: %s\n", firstError.c_str());

    const Books after = store->read([](Db& db) { return books::read(db); });
    const std::string off = books::check(before, after);
    res.booksHold = off.empty();
    const std::int64_t recorded = executedFrom(*store, customers);
    // Executions sent without an answer may or may not have run.
    res.countsMatch = recorded >= res.executed && recorded <= res.executed + unknown;
    res.acknowledgedProblem = checkAcknowledged(*store, acked);
    std::printf("books: balances before=%lld after=%lld fees=%lld sent_out=%lld loan_interest=%lld -> %s; "
                "executed seen by clients=%ld (+%ld unanswered) recorded=%lld -> %s; each acknowledged transfer "
                "once -> %s\n",
                static_cast<long long>(before.balances), static_cast<long long>(after.balances),
                static_cast<long long>(after.term("transfer fees") - before.term("transfer fees")),
                static_cast<long long>(after.term("sent to other banks") - before.term("sent to other banks")),
                static_cast<long long>(after.term("loan interest received") - before.term("loan interest received")),
                res.booksHold ? "hold" : off.c_str(), res.executed, unknown, static_cast<long long>(recorded),
                res.countsMatch ? "match" : "MISMATCH",
                res.acknowledgedProblem.empty() ? "yes" : res.acknowledgedProblem.c_str());
    res.pass = res.booksHold && res.countsMatch && res.acknowledgedProblem.empty() && res.executed > 0;
    std::printf("%s\n", res.pass ? "PASS" : "FAIL");
    return res;
}

int runTransferLoad(const TransferLoadOptions& options)
{
    return measureTransferLoad(options).pass ? 0 : 1;
}

} // namespace bankd::load
