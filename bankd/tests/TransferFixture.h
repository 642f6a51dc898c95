#pragma once
// A test bank with two transfer customers: KIM (security card) with two
// withdrawal accounts and LEE (certificate) with one, both logged in; helpers
// to check (PDA_T001) and execute (PDA_T002) transfers as the client sends them.
#include <array>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "TestBank.h"

namespace bankd::test {

// The fields of record `record` (1 ...) of a tag: "<free0>" or "<list0>".
std::vector<std::string> recordOf(const std::string& reply, const std::string& tag, int record = 1);
int recordCount(const std::string& reply, const std::string& tag);
// The result code of a reply, and the echo (free0 record) of a check.
inline std::string code(const DispatchOutcome& o)
{
    return o.envelope.code();
}
inline std::vector<std::string> echoOf(const DispatchOutcome& o)
{
    return recordOf(o.envelope.str(), "free0");
}

// Runs f(i) on n threads released together; returns the codes in order.
template <class F>
std::vector<std::string> burst(int n, F f)
{
    std::vector<std::string> codes(static_cast<size_t>(n));
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < n; ++i)
        threads.emplace_back([&, i] {
            while (!go)
                std::this_thread::yield();
            codes[static_cast<size_t>(i)] = f(i);
        });
    go = true;
    for (auto& t : threads)
        t.join();
    return codes;
}

inline int countOf(const std::vector<std::string>& codes, const std::string& c)
{
    int n = 0;
    for (const auto& x : codes)
        n += x == c;
    return n;
}

class TransferBank : public ::testing::Test {
protected:
    TransferBank();

    // Adds an account with password "1234"; returns its digits.
    std::string addAccount(const std::string& owner, const std::string& displayNo, std::int64_t balance,
                           bool withdrawal = true, const std::string& kind = "A04", bool hidden = false);
    std::int64_t balance(const std::string& accountNo);
    int historyRows(const std::string& accountNo);
    std::int64_t totalBalances();

    DispatchOutcome send(const std::string& key, const std::string& query);
    // PDA_T001 with the usual defaults.
    DispatchOutcome check(const std::string& key, const std::string& user, const std::string& from,
                          const std::string& to, const std::string& amount, const std::string& bank = "20",
                          const std::string& date = "20241105", const std::string& password = "1234");
    // PDA_T002 echoing the nineteen fields of a T001 reply, with the security fields.
    DispatchOutcome execute(const std::string& key, const std::string& user, const std::vector<std::string>& echo,
                            const std::string& way, const std::string& cell, const std::string& secPwd,
                            const std::string& signedMsg);
    // Card-user execution with the right cell 7.
    DispatchOutcome executeWithCard(const std::string& key, const std::vector<std::string>& echo);
    // A certificate signature of "1" for the session key.
    std::string sign(const std::string& sessionKey, std::int64_t when = 0);

    TestBank bank;
    // When set, requests go to this dispatcher (a bank restarted on the same
    // database) instead of the test bank's.
    Dispatcher* via = nullptr;
    // The same for the calling thread alone (threads playing different nodes).
    static thread_local Dispatcher* threadVia;
    SecurityCard kimCard;
    std::string kimA, kimB, leeA;
    std::string keyKim = sessionKey(1);
    std::string keyLee = sessionKey(2);
    std::array<unsigned char, 64> leeSecret{};
    std::string leeCertId;
};

} // namespace bankd::test
