#include "ClientBank.h"

#include "Admin.h"
#include "Handlers.h"

#include <Deploy.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace harness {

namespace fs = std::filesystem;

namespace {
std::string freshFolder()
{
    static std::atomic<int> counter{0};
    fs::path p = fs::temp_directory_path() /
                 ("tvpb-bank-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(p);
    fs::create_directories(p / "download");
    return p.string();
}
} // namespace

ClientBank::ClientBank() : ClientBank(Options{}) {}

ClientBank::ClientBank(Options options)
    : dir_(freshFolder()),
      clock_(std::chrono::system_clock::now()),
      store_(bankd::Store::create(dir_ + "/bankd.db", bankd::HashCost::minimal())),
      sessions_(clock_, options.idle),
      dispatcher_(*store_, sessions_, clock_, options.config),
      keys_(velcor::generateGatewayKeyPair()),
      gateway_(keys_),
      log_(dir_ + "/access.log", clock_)
{
    bankd::registerAllHandlers(dispatcher_);
    bankd::ServerOptions o;
    o.threads = 4;
    o.downloadDir = dir_ + "/download";
    server_ = std::make_unique<bankd::BankServer>(dispatcher_, gateway_, log_, o);
    server_->start();

    const std::string deploy = dir_ + "/deploy.ini";
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
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

bankd::SecurityCard ClientBank::addCustomer(const std::string& userId, const std::string& password,
                                            const std::string& name, const std::string& way)
{
    return bankd::admin::addCustomer(*store_, {userId, name, "8001011234567", way, "N"}, password);
}

} // namespace harness
