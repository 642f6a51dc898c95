#pragma once
// A real bankd for client end-to-end tests: the bankd test bank (temporary
// folder, SQLite store, clock, sessions, dispatcher), the gateway half and the
// HTTP front on a loopback port, and a deploy.ini that points the client
// (TVPB_DEPLOY) at it with the gateway's key.
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "AccessLog.h"
#include "BankServer.h"
#include "Clock.h"
#include "Dispatcher.h"
#include "SecurityCard.h"
#include "SessionJournal.h"
#include "Sessions.h"
#include "Store.h"
#include "TestBank.h"
#include "velcor/Gateway.h"
#include "velcor/GatewayKeys.h"

namespace harness {

class ClientBank {
public:
    struct Options {
        bankd::BankConfig config;
        std::chrono::seconds idle{600};
        // Where the bank's clock starts; the wall clock when unset.
        std::optional<bankd::Clock::time_point> start;
        // Worker threads of the HTTP front.
        int threads = 4;
    };
    ClientBank();
    explicit ClientBank(Options options);
    ~ClientBank();
    ClientBank(const ClientBank&) = delete;
    ClientBank& operator=(const ClientBank&) = delete;

    // A customer with a login password; returns the security card.
    bankd::SecurityCard addCustomer(const std::string& userId, const std::string& password,
                                    const std::string& name = "홍길동", const std::string& way = "S");

    // Stops the bank and starts it again on the same port, folder and store,
    // as a restarted bankd: its gateway and sessions are new, and the keys of
    // the sessions before (from the session journal, as bankd serve does) are
    // refused.
    void restart();

    int port() const { return server_->port(); }
    std::string serverHost() const { return "127.0.0.1:" + std::to_string(port()); }
    std::string folder() const { return bank_.dir.str(); }

    // The bank behind the server, with the bankd test helpers (customers,
    // notices, direct dispatch); its store and clock are the server's.
    bankd::test::TestBank& testBank() { return bank_; }
    bankd::Store& store() { return *bank_.store; }
    bankd::Sessions& sessions() { return bank_.sessions; }
    bankd::ManualClock& clock() { return bank_.clock; }
    velcor::Gateway& gateway() { return *gateway_; }
    bankd::Dispatcher& dispatcher() { return bank_.dispatcher; }

private:
    void start(int port);

    Options options_;
    bankd::test::TestBank bank_;
    velcor::GatewayKeyPair keys_;
    std::unique_ptr<velcor::Gateway> gateway_;
    std::unique_ptr<bankd::SessionJournal> journal_;
    bankd::AccessLog log_;
    std::unique_ptr<bankd::BankServer> server_;
    std::string previousDeploy_;
    bool hadDeploy_ = false;
};

} // namespace harness
