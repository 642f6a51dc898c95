#include "Commands.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <pthread.h>
#include <unistd.h>

#include "AccessLog.h"
#include "Admin.h"
#include "BankServer.h"
#include "TransferRunner.h"
#include "Clock.h"
#include "DataFolder.h"
#include "DbSessionStore.h"
#include "Dispatcher.h"
#include "FileWrite.h"
#include "Handlers.h"
#include "IpAddress.h"
#include "Schema.h"
#include "SecurityCard.h"
#include "Sessions.h"
#include "Settings.h"
#include "Sqlite.h"
#include "SessionJournal.h"
#include "Store.h"
#include "velcor/Gateway.h"
#include "velcor/GatewayKeys.h"

namespace bankd::cli {

namespace fs = std::filesystem;

namespace {

std::string programFolder()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

// A secret not given on the command line is read from the first line of stdin
// (so it does not show in the process list).
std::string secretOrStdin(const std::string& given, const char* what)
{
    if (!given.empty())
        return given;
    if (isatty(STDIN_FILENO))
        std::cerr << what << ": ";
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::unique_ptr<Store> openStore(const std::string& dir)
{
    DataFolder folder(dir);
    folder.check();
    return Store::open(folder.storeLocation());
}

bool splitListen(const std::string& listen, std::string* host, int* port)
{
    size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    *host = listen.substr(0, colon);
    std::string p = listen.substr(colon + 1);
    if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *port = std::stoi(p);
    return *port > 0 && *port < 65536;
}

void printCard(const SecurityCard& card)
{
    std::cout << formatSecurityCard(card);
}

struct ServeArgs {
    std::string data;
    std::string listen;
    std::string accessLog;
    std::string nodeDir;
    std::size_t threads = 8;
    int idleTimeout = 600;
    int scheduledInterval = 60;
    std::vector<std::string> trustedFronts;
};

int serve(const ServeArgs& a)
{
    std::string host;
    int port = 0;
    if (!splitListen(a.listen, &host, &port)) {
        std::cerr << "bankd: --listen wants HOST:PORT, e.g. 127.0.0.1:8080\n";
        return 2;
    }
    // SIGINT, SIGTERM and SIGHUP are taken by this thread only (sigwait
    // below), so every thread started from here on leaves them blocked.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    DataFolder folder(a.data);
    folder.check();
    auto store = Store::open(folder.storeLocation());
    std::string reason;
    auto keys = velcor::loadGatewayKeyPair(folder.gatewayKey(), &reason);
    if (!keys) {
        std::cerr << "bankd: cannot read the gateway key " << folder.gatewayKey() << ": " << reason << "\n";
        return 1;
    }
    velcor::Gateway gateway(*keys);
    SystemClock clock;
    Sessions sessions(clock, std::chrono::seconds(a.idleTimeout));
    const Settings settings = readSettings(folder.settings());
    BankConfig config;
    config.rateLimits = settings.rateLimits;
    Dispatcher dispatcher(*store, sessions, clock, config);
    const NodeFiles own = folder.nodeFiles(a.nodeDir);
    // Several processes on one database: the gateway's sessions, the logins
    // and the rate limits live in the database, so every node serves every
    // session and a restarted node finds the sessions' used counters there.
    // One process alone keeps them in memory, with the session journal.
    const bool shared = !a.nodeDir.empty();
    std::unique_ptr<SessionJournal> journal;
    const std::chrono::seconds kRecordAgain{300};
    store->setServesAlone(!shared);
    if (shared) {
        gateway.setSessionStore(std::make_shared<DbSessionStore>(*store));
        sessions.share(*store);
        dispatcher.rateLimiter().share(*store);
    } else {
        // Sessions of the bank before this start are over: their keys are
        // refused. A request is valid for the gateway's window either way of
        // its time, so a key must be refused for twice that after its last
        // use; the journal records a key in use again every kRecordAgain and
        // keeps lines for the retention, which covers both with room for the
        // sweeps.
        const std::chrono::seconds retention = 2 * gateway.requestWindow() + kRecordAgain + std::chrono::seconds(300);
        journal = std::make_unique<SessionJournal>(own.sessionJournal, retention);
        gateway.refuseForGood(journal->earlierKeys());
        gateway.setNewSessionHook([j = journal.get()](const std::string& key) { return j->record(key); });
    }
    registerAllHandlers(dispatcher);
    AccessLog log(a.accessLog.empty() ? own.accessLog : a.accessLog, clock);
    ServerOptions options;
    options.host = host;
    options.port = port;
    options.threads = a.threads;
    options.downloadDir = folder.downloadDir();
    options.trustedFronts = settings.front.trustedFronts;
    for (const std::string& front : a.trustedFronts)
        options.trustedFronts.insert(ipAddressText(front));
    options.connectionsPerAddress = static_cast<std::size_t>(settings.front.connectionsPerAddress);
    options.maxConnections = static_cast<std::size_t>(settings.front.maxConnections);
    options.requestDeadline = std::chrono::seconds(settings.front.requestSeconds);
    BankServer server(dispatcher, gateway, log, options);
    if (journal)
        server.setSweepHook([j = journal.get(), &gateway, kRecordAgain] {
            if (!j->record(gateway.dueForRecord(kRecordAgain)) || !j->rotateIfDue())
                std::cerr << "bankd: cannot write the session journal" << std::endl;
        });
    server.start();
    // Scheduled transfers due while the bank was down run now, then every interval.
    TransferRunner transferRunner(*store, clock, std::chrono::seconds(a.scheduledInterval));
    transferRunner.start();
    if (!own.pidFile.empty())
        writeFileAtomically(own.pidFile, std::to_string(::getpid()) + "\n");
    std::cout << "bankd: serving " << a.data << " on http://" << host << ":" << server.port()
              << " (gateway key " << gateway.publicKeyBase64() << ")" << std::endl;
    int sig = 0;
    // SIGHUP: the access log was rotated away (logrotate's convention).
    while (sigwait(&signals, &sig) == 0 && sig == SIGHUP) {
        if (log.reopen())
            std::cout << "bankd: SIGHUP, access log reopened" << std::endl;
        else
            std::cerr << "bankd: SIGHUP, cannot reopen the access log; still writing the old one" << std::endl;
    }
    std::cout << "bankd: " << (sig == SIGINT ? "SIGINT" : "SIGTERM") << ", stopping" << std::endl;
    transferRunner.stop();
    server.stop();
    if (!own.pidFile.empty())
        std::filesystem::remove(own.pidFile);
    std::cout << "bankd: stopped" << std::endl;
    return 0;
}

void printInit(const InitOptions& o, const InitReport& r)
{
    std::cout << "bankd: data folder " << o.dataDir << " created\n";
    std::cout << "gateway public key: " << r.gatewayPublicKey << "\n";
    std::cout << "update public key: " << r.updatePublicKey << "\n";
    if (!r.deployPath.empty())
        std::cout << "client deploy.ini: " << r.deployPath << "\n";
    for (const DemoUser& u : r.demoUsers) {
        std::cout << "\n데모 이용자 " << u.userId << " / 비밀번호 " << u.password << "  (" << u.name << ", 보안수단 "
                  << (u.securityWay == "S" ? "보안카드" : "공인인증서") << ")\n";
        for (const auto& acc : u.accounts)
            std::cout << "  계좌 " << acc << "\n";
        if (!u.certFile.empty())
            std::cout << "  인증서 " << u.certFile << "  인증서 비밀번호 " << u.certPassword << "\n";
        std::cout << "  보안카드:\n";
        printCard(u.card);
    }
    if (!r.demoUsers.empty())
        std::cout << "\n신규가입 (로그인 없이): 통장 보유 고객 최유진 주민등록번호 9203152456781, 계좌 110-567-890123 "
                     "비밀번호 1234\n"
                     "  영업점 신청 고객 정하늘 주민등록번호 8808082456789, 이용자 ID SKYJUNG\n"
                     "  가입 후 보안카드: bankd show-card --data <폴더> --user <이용자 ID>\n";
}

} // namespace

int run(int argc, char** argv)
{
    CLI::App app{"bankd: the reference bank server of Tavrin PDA Banking"};
    app.require_subcommand(1);

    InitOptions init;
    bool fastHash = false;
    auto* cInit = app.add_subcommand("init", "Create a data folder (database, gateway key, download folder)");
    cInit->add_option("--data", init.dataDir, "Data folder to create (missing or empty)")->required();
    cInit->add_flag("--demo", init.demo, "Fill a demo bank and write the client's deploy.ini and certificate");
    cInit->add_option("--server-host", init.serverHost, "host[:port] the client reaches the bank at")->capture_default_str();
    cInit->add_option("--download-host", init.downloadHost, "host[:port] of the download host (default: server host)");
    cInit->add_option("--deploy", init.deployPath,
                      "deploy.ini to write (default with --demo: deploy.ini in bankd's program folder)");
    cInit->add_option("--postgres", init.postgres,
                      "Keep the database in PostgreSQL (libpq connection string, e.g. postgresql://bank@db/bank); "
                      "the data folder keeps the keys and settings");
    cInit->add_option("--home", init.home, "Client's TVPB_HOME for the demo certificate (default: $TVPB_HOME)");
    cInit->add_flag("--fast-hash", fastHash, "Cheapest password hashing (tests only)");

    ServeArgs serveArgs;
    auto* cServe = app.add_subcommand("serve", "Serve the servlets, the gateway and the download host");
    cServe->add_option("--data", serveArgs.data, "Data folder")->required();
    cServe->add_option("--listen", serveArgs.listen, "HOST:PORT to listen on")->required();
    cServe->add_option("--threads", serveArgs.threads, "Serving threads (each answers one request at a time)")->capture_default_str()->check(CLI::Range(1, 256));
    cServe->add_option("--idle-timeout", serveArgs.idleTimeout, "Seconds before an idle login expires")->capture_default_str()
        ->check(CLI::Range(1, 86400));
    cServe->add_option("--access-log", serveArgs.accessLog, "Access log file (default DIR/log/access.log)");
    cServe->add_option("--node-dir", serveArgs.nodeDir,
                       "This process's own folder when several serve one data folder: access.log, "
                       "bankd.pid (default: the data folder's log/access.log); the gateway's sessions, the "
                       "logins and the rate limits are then kept in the database, shared by every node");
    cServe->add_option("--scheduled-interval", serveArgs.scheduledInterval,
                       "Seconds between two looks for due scheduled transfers")
        ->capture_default_str()->check(CLI::Range(1, 3600));
    cServe->add_option("--trusted-front", serveArgs.trustedFronts,
                       "Address of a front (nginx) whose X-Real-IP names the client; repeatable (also bankd.ini [front])")
        ->check([](const std::string& a) { return ipAddressText(a).empty() ? "not an IP address: " + a : std::string(); });

    std::string data, user, name, jumin, password, means = "S", hidden = "N", home, version, file;
    auto* cAdd = app.add_subcommand("add-customer", "Add a customer (prints the new security card)");
    cAdd->add_option("--data", data, "Data folder")->required();
    cAdd->add_option("--user", user, "User ID")->required();
    cAdd->add_option("--name", name, "Customer name")->required();
    cAdd->add_option("--jumin", jumin, "Resident registration number, 13 digits")->required();
    cAdd->add_option("--password", password, "Login password (default: read from stdin)");
    cAdd->add_option("--means", means, "Security means: S security card, K certificate")->capture_default_str()
        ->check(CLI::IsMember({"S", "K"}));
    cAdd->add_option("--hidden", hidden, "Uses hidden accounts: Y or N")->capture_default_str()->check(CLI::IsMember({"Y", "N"}));

    auto* cPwd = app.add_subcommand("set-password", "Set a customer's login password");
    cPwd->add_option("--data", data, "Data folder")->required();
    cPwd->add_option("--user", user, "User ID")->required();
    cPwd->add_option("--password", password, "New password (default: read from stdin)");

    auto* cCert = app.add_subcommand("issue-cert", "Issue a certificate into a client's certificate store");
    cCert->add_option("--data", data, "Data folder")->required();
    cCert->add_option("--user", user, "User ID")->required();
    cCert->add_option("--home", home, "Client's TVPB_HOME (certificates under HOME/certs; default $TVPB_HOME)");
    cCert->add_option("--cert-password", password, "Certificate password (default: read from stdin)");

    auto* cCard = app.add_subcommand("show-card", "Show a customer's security card");
    cCard->add_option("--data", data, "Data folder")->required();
    cCard->add_option("--user", user, "User ID")->required();

    std::string account, card, securityUser;
    auto* cUnlock = app.add_subcommand(
        "unlock", "Clear the failure count and lock of a login password, account password, card PIN or security means");
    cUnlock->add_option("--data", data, "Data folder")->required();
    auto* oUser = cUnlock->add_option("--user", user, "User ID (login password)");
    auto* oAccount = cUnlock->add_option("--account", account, "Account number (account password)");
    auto* oCard = cUnlock->add_option("--card", card, "Card number (card PIN)");
    auto* oSecurity = cUnlock->add_option("--security", securityUser, "User ID (security card or certificate)");
    oUser->excludes(oAccount)->excludes(oCard)->excludes(oSecurity);
    oAccount->excludes(oCard)->excludes(oSecurity);
    oCard->excludes(oSecurity);
    cUnlock->callback([&] {
        if (user.empty() && account.empty() && card.empty() && securityUser.empty())
            throw CLI::ValidationError("unlock", "name what to unlock: --user, --account, --card or --security");
    });

    auto* cPublish = app.add_subcommand("publish", "Put a program file on the download host with its version");
    cPublish->add_option("--data", data, "Data folder")->required();
    cPublish->add_option("--file", file, "File to publish")->required()->check(CLI::ExistingFile);
    cPublish->add_option("--version", version,
                         "Its version: the one embedded in the file, or empty to have it fetched always")
        ->required();

    CLI11_PARSE(app, argc, argv);

    try {
        if (*cInit) {
            if (fastHash) {
                init.cost = HashCost::minimal();
                init.fastCertificates = true;
            }
            if (init.demo && init.deployPath.empty())
                init.deployPath = (fs::path(programFolder()) / "deploy.ini").string();
            printInit(init, initBank(init));
            return 0;
        }
        if (*cServe)
            return serve(serveArgs);
        if (*cAdd) {
            auto store = openStore(data);
            NewCustomer c{user, name, jumin, means, hidden};
            SecurityCard card = admin::addCustomer(*store, c, secretOrStdin(password, "password"));
            std::cout << "customer " << customers::normaliseUserId(user) << " added; security card:\n";
            printCard(card);
            return 0;
        }
        if (*cPwd) {
            auto store = openStore(data);
            if (!admin::setPassword(*store, user, secretOrStdin(password, "new password"))) {
                std::cerr << "bankd: no customer " << user << "\n";
                return 1;
            }
            std::cout << "password of " << customers::normaliseUserId(user) << " set\n";
            return 0;
        }
        if (*cCert) {
            auto store = openStore(data);
            std::string h = home.empty() ? admin::defaultClientHome() : home;
            IssuedCert cert = admin::issueCertificate(*store, user, h, secretOrStdin(password, "certificate password"));
            std::cout << "certificate " << cert.certId << " issued: " << cert.filePath << "\n";
            return 0;
        }
        if (*cCard) {
            auto store = openStore(data);
            auto card = admin::securityCard(*store, user);
            if (!card) {
                std::cerr << "bankd: no customer " << user << "\n";
                return 1;
            }
            printCard(*card);
            return 0;
        }
        if (*cUnlock) {
            auto store = openStore(data);
            struct Target {
                Secret kind;
                const std::string& subject;
                const char* what;
            };
            const Target targets[] = {{Secret::LoginPassword, user, "login password of user"},
                                      {Secret::AccountPassword, account, "password of account"},
                                      {Secret::CardPin, card, "PIN of card"},
                                      {Secret::SecurityValue, securityUser, "security means of user"}};
            for (const Target& t : targets) {
                if (t.subject.empty())
                    continue;
                std::string key = admin::guardSubject(t.kind, t.subject);
                switch (admin::unlock(*store, t.kind, t.subject)) {
                case admin::Unlocked::NoSuchSubject:
                    std::cerr << "bankd: no "
                              << (t.kind == Secret::AccountPassword ? "account "
                                  : t.kind == Secret::CardPin       ? "card "
                                                                    : "customer ")
                              << t.subject << "\n";
                    return 1;
                case admin::Unlocked::WasNotLocked:
                    std::cout << t.what << " " << key << " was not locked\n";
                    break;
                case admin::Unlocked::Yes:
                    std::cout << t.what << " " << key << " unlocked\n";
                    break;
                }
            }
            return 0;
        }
        if (*cPublish) {
            admin::publish(data, file, version);
            std::cout << fs::path(file).filename().string() << " published as version \"" << version
                      << "\" (list signed)\n";
            return 0;
        }
    } catch (const SchemaTooNew& e) {
        std::cerr << "bankd: the database was written by a newer bankd (schema version " << e.found
                  << ", this bankd knows up to " << e.known << "); use a newer bankd\n";
        return 1;
    } catch (const ForeignDatabase& e) {
        std::cerr << "bankd: " << e.what() << " (bankd.db is not a bankd database)\n";
        return 1;
    } catch (const PortInUse& e) {
        std::cerr << "bankd: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "bankd: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace bankd::cli
