#include "ClientBank.h"

#include "Admin.h"

#include <Deploy.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace harness {

ClientBank::ClientBank() : ClientBank(Options{}) {}

ClientBank::ClientBank(Options options)
    : bank_(options.config, options.idle),
      keys_(velcor::generateGatewayKeyPair()),
      gateway_(keys_),
      log_(bank_.dir.str("access.log"), bank_.clock)
{
    // The test bank starts at a fixed moment; a client bank runs on the wall
    // clock unless the test asks for a moment of its own.
    bank_.clock.set(options.start.value_or(std::chrono::system_clock::now()));

    std::filesystem::create_directories(bank_.dir.str("download"));
    bankd::ServerOptions o;
    o.threads = options.threads;
    o.downloadDir = bank_.dir.str("download");
    server_ = std::make_unique<bankd::BankServer>(bank_.dispatcher, gateway_, log_, o);
    server_->start();

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
