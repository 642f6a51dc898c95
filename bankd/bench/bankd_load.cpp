// Load generator for a running bankd (loopback only): N concurrent clients,
// each with its own encrypted session and keep-alive connection, for a bounded
// time; reports requests per second and latency percentiles. The inquiry
// mode logs each client in (its own session) and repeats the account list
// PDA_U002, a read of the bank's store behind the encrypted route. The plain mode
// GETs a path without encryption, to measure another server (a static file
// under nginx) with the same client. The transfer mode logs in as fresh
// security-card customers it adds to the bank's store and makes transfers
// (PDA_T001 + PDA_T002), then checks the bank's books (TransferLoad.h).
//
//   bankd_load --port 8080 --data DIR --mode t003 --clients 8 --seconds 10
//   bankd_load --port 8080 --data DIR --mode login --user DEMOS --password 1111
//   bankd_load --port 8080 --data DIR --mode inquiry --user DEMOS --password 1111
//   bankd_load --port 8081 --mode plain --path /static.txt
//   bankd_load --port 8080 --data DIR --mode transfer --clients 8 --seconds 10
//
// The login mode repeats one user's login: the bank's rate limits refuse it
// past [rate_limits] per_user of DIR/bankd.ini; set per_user, per_session and
// per_address to 0 there before starting the bank to measure the login itself.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <mutex>
#include <thread>
#include <vector>

#include "LoadSupport.h"
#include "TransferLoad.h"
#include "velcor/ClientChannel.h"
#include "velcor/GatewayKeys.h"

namespace {

using Clock = std::chrono::steady_clock;
using bankd::load::escapeCipher;
using bankd::load::succeeded;

struct Worker {
    std::vector<std::uint32_t> latenciesUs;
    long errors = 0;
};

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"bankd_load: load generator for bankd on this machine"};
    std::string host = "127.0.0.1", data, key, mode = "t003", path = "/", user = "DEMOS", password = "1111";
    int port = 8080, clients = 8, seconds = 10;
    app.add_option("--host", host, "Loopback address of the server")->capture_default_str();
    app.add_option("--port", port, "Port")->required()->check(CLI::Range(1, 65535));
    app.add_option("--data", data, "bankd data folder (its gateway key is used)");
    app.add_option("--key", key, "Gateway public key (standard base64)");
    app.add_option("--mode", mode, "t003, inquiry, login, plain or transfer")
        ->check(CLI::IsMember({"t003", "inquiry", "login", "plain", "transfer"}))
        ->capture_default_str();
    app.add_option("--path", path, "Path for the plain mode")->capture_default_str();
    app.add_option("--user", user, "User ID for the login and inquiry modes")->capture_default_str();
    app.add_option("--password", password, "Password for the login and inquiry modes")->capture_default_str();
    app.add_option("--clients", clients, "Concurrent clients (1-64)")->check(CLI::Range(1, 64))->capture_default_str();
    app.add_option("--seconds", seconds, "Duration (1-120)")->check(CLI::Range(1, 120))->capture_default_str();
    int externalEvery = 5;
    app.add_option("--external-every", externalEvery, "Transfer mode: every n-th transfer to another bank (0: never)")
        ->check(CLI::Range(0, 1000))->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    if (host != "127.0.0.1" && host != "localhost" && host != "::1") {
        std::fprintf(stderr, "bankd_load: loopback addresses only\n");
        return 2;
    }
    std::array<unsigned char, 32> gatewayKey{};
    if (mode != "plain") {
        if (!data.empty()) {
            std::string reason;
            auto pair = velcor::loadGatewayKeyPair(data + "/gateway.key", &reason);
            if (!pair) {
                std::fprintf(stderr, "bankd_load: %s\n", reason.c_str());
                return 1;
            }
            gatewayKey = pair->publicKey;
        } else if (auto k = velcor::decodeKey32(key)) {
            gatewayKey = *k;
        } else {
            std::fprintf(stderr, "bankd_load: give --data or --key for the encrypted modes\n");
            return 2;
        }
    }

    if (mode == "transfer") {
        if (data.empty()) {
            std::fprintf(stderr, "bankd_load: the transfer mode needs --data (it adds its customers to the store)\n");
            return 2;
        }
        bankd::load::TransferLoadOptions t;
        t.host = host;
        t.port = port;
        t.dataDir = data;
        t.gatewayKey = gatewayKey;
        t.clients = clients;
        t.seconds = seconds;
        t.externalEvery = externalEvery;
        try {
            return bankd::load::runTransferLoad(t);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bankd_load: %s\n", e.what());
            return 1;
        }
    }

    std::vector<Worker> workers(static_cast<size_t>(clients));
    std::atomic<bool> go{false};
    std::atomic<int> loginFailures{0};
    std::atomic<int> prepared{0};
    std::mutex loginMutex;
    auto deadline = Clock::now() + std::chrono::seconds(seconds) + std::chrono::milliseconds(200);
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&, i] {
            Worker& w = workers[static_cast<size_t>(i)];
            httplib::Client http(host, port);
            http.set_keep_alive(true);
            http.set_tcp_nodelay(true);
            http.set_read_timeout(10, 0);
            std::unique_ptr<velcor::ClientChannel> channel;
            if (mode != "plain")
                channel = std::make_unique<velcor::ClientChannel>(gatewayKey);
            const std::string login = "useSess=N&trcode=PDA_U001&UserID=" + user + "&UserPwd=" + password;
            std::string request = mode == "login"     ? login
                                  : mode == "inquiry" ? "encrypt=1&trcode=PDA_U002&UserID=" + user
                                                      : "trcode=PDA_T003";
            if (mode == "inquiry") {
                // Each client its own logged-in session, before the clock starts;
                // one login at a time (parallel password checks of one user
                // beyond the failure limit are refused as a burst).
                std::lock_guard<std::mutex> lock(loginMutex);
                auto r = http.Get("/servlet/TvPdaMain?q=" + escapeCipher(channel->sealRequest(false, login)));
                auto plain = r ? channel->openReply(r->body) : std::nullopt;
                if (!plain || !succeeded(*plain)) {
                    std::fprintf(stderr, "bankd_load: login of %s: %s\n", user.c_str(),
                                 plain ? bankd::load::messageOf(*plain).c_str() : "no answer");
                    ++loginFailures;
                    ++prepared;
                    return;
                }
            }
            ++prepared;
            // Waiting for the others' logins sleeps: a spinning wait would take
            // the cores the logins need.
            while (!go)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            while (Clock::now() < deadline) {
                auto t0 = Clock::now();
                bool ok = false;
                if (mode == "plain") {
                    auto r = http.Get(path);
                    ok = r && r->status == 200;
                } else {
                    std::string cipher = channel->sealRequest(false, request);
                    auto r = http.Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher));
                    if (r) {
                        auto plain = channel->openReply(r->body);
                        ok = plain && succeeded(*plain);
                    }
                }
                auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count();
                if (ok)
                    w.latenciesUs.push_back(static_cast<std::uint32_t>(us));
                else
                    ++w.errors;
            }
        });
    }
    while (prepared < clients)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    auto start = Clock::now();
    deadline = start + std::chrono::seconds(seconds);
    go = true;
    for (auto& t : threads)
        t.join();
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    std::vector<std::uint32_t> all;
    long errors = 0;
    for (auto& w : workers) {
        all.insert(all.end(), w.latenciesUs.begin(), w.latenciesUs.end());
        errors += w.errors;
    }
    std::sort(all.begin(), all.end());
    auto pct = [&](double p) -> double {
        if (all.empty())
            return 0;
        size_t idx = std::min(all.size() - 1, static_cast<size_t>(p * static_cast<double>(all.size())));
        return all[idx] / 1000.0;
    };
    std::printf("mode=%s clients=%d seconds=%.1f ok=%zu errors=%ld rps=%.0f p50=%.3fms p90=%.3fms p99=%.3fms\n",
                mode.c_str(), clients, elapsed, all.size(), errors, static_cast<double>(all.size()) / elapsed,
                pct(0.50), pct(0.90), pct(0.99));
    return (errors > 0 && all.empty()) || loginFailures > 0 ? 1 : 0;
}
