#pragma once
// A real bankd for client end-to-end tests: a temporary data folder with its
// SQLite store, the gateway half and the HTTP front on a loopback port, and a
// deploy.ini that points the client (TVPB_DEPLOY) at it with the gateway's key.
#include <chrono>
#include <memory>
#include <string>

#include "AccessLog.h"
#include "BankServer.h"
#include "Clock.h"
#include "Dispatcher.h"
#include "SecurityCard.h"
#include "Sessions.h"
#include "Store.h"
#include "velcor/Gateway.h"
#include "velcor/GatewayKeys.h"

namespace harness {

class ClientBank {
public:
    struct Options {
        bankd::BankConfig config;
        std::chrono::seconds idle{600};
    };
    ClientBank();
    explicit ClientBank(Options options);
    ~ClientBank();
    ClientBank(const ClientBank&) = delete;
    ClientBank& operator=(const ClientBank&) = delete;

    // A customer with a login password; returns the security card.
    bankd::SecurityCard addCustomer(const std::string& userId, const std::string& password,
                                    const std::string& name = "홍길동", const std::string& way = "S");

    int port() const { return server_->port(); }
    std::string serverHost() const { return "127.0.0.1:" + std::to_string(port()); }
    const std::string& folder() const { return dir_; }

    bankd::Store& store() { return *store_; }
    bankd::Sessions& sessions() { return sessions_; }
    bankd::ManualClock& clock() { return clock_; }
    velcor::Gateway& gateway() { return gateway_; }
    bankd::Dispatcher& dispatcher() { return dispatcher_; }

private:
    std::string dir_;
    bankd::ManualClock clock_;
    std::unique_ptr<bankd::Store> store_;
    bankd::Sessions sessions_;
    bankd::Dispatcher dispatcher_;
    velcor::GatewayKeyPair keys_;
    velcor::Gateway gateway_;
    bankd::AccessLog log_;
    std::unique_ptr<bankd::BankServer> server_;
    std::string previousDeploy_;
    bool hadDeploy_ = false;
};

} // namespace harness
