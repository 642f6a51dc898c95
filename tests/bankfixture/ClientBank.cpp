#include "ClientBank.h"

#include "Admin.h"

#include <Deploy.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace harness {

ClientBank::ClientBank() : ClientBank(Options{}) {}

ClientBank::ClientBank(Options options)
    : options_(options),
      bank_(options.config, options.idle),
      keys_(velcor::generateGatewayKeyPair()),
      log_(bank_.dir.str("access.log"), bank_.clock)
{
    // The test bank starts at a fixed moment; a client bank runs on the wall
    // clock unless the test asks for a moment of its own.
    bank_.clock.set(options.start.value_or(std::chrono::system_clock::now()));

    std::filesystem::create_directories(bank_.dir.str("download"));
    start(0);

    const std::string deploy = bank_.dir.str("deploy.ini");
    std::ofstream(deploy) << "[bank]\nserver_host=" << serverHost() << "\ngateway_public_key="
                          << keys_.publicKeyBase64() << "\n[download]\nhost=" << serverHost() << "\n";
    if (const char* old = std::getenv("TVPB_DEPLOY")) {
        hadDeploy_ = true;
        previousDeploy_ = old;
    }
    setenv("TVPB_DEPLOY", deploy.c_str(), 1);
    platform::Deploy::reload();
}

void ClientBank::start(int port)
{
    gateway_ = std::make_unique<velcor::Gateway>(keys_);
    journal_ = std::make_unique<bankd::SessionJournal>(bank_.dir.str("sessions.journal"), std::chrono::minutes(20));
    gateway_->refuseForGood(journal_->earlierKeys());
    gateway_->setNewSessionHook([journal = journal_.get()](const std::string& key) { return journal->record(key); });
    bankd::ServerOptions o;
    o.threads = static_cast<std::size_t>(options_.threads);
    o.downloadDir = bank_.dir.str("download");
    o.port = port;
    server_ = std::make_unique<bankd::BankServer>(bank_.dispatcher, *gateway_, log_, o);
    server_->start();
}

void ClientBank::restart()
{
    const int port = server_->port();
    server_->stop();
    server_.reset();
    journal_.reset();
    // What a restarted bankd has lost: every session it had.
    const bankd::SessionJournal journal(bank_.dir.str("sessions.journal"), std::chrono::minutes(20));
    for (const std::string& key : journal.earlierKeys())
        bank_.sessions.forget(key);
    start(port);
}

ClientBank::~ClientBank()
{
    server_->stop();
    if (hadDeploy_) setenv("TVPB_DEPLOY", previousDeploy_.c_str(), 1);
    else unsetenv("TVPB_DEPLOY");
    platform::Deploy::reload();
}

bankd::SecurityCard ClientBank::addCustomer(const std::string& userId, const std::string& password,
                                            const std::string& name, const std::string& way)
{
    return bank_.addCustomer(userId, password, way, name);
}

} // namespace harness
