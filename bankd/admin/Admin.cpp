#include "Admin.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Accounts.h"
#include "Clock.h"
#include "DataFolder.h"
#include "DeployIni.h"
#include "FileWrite.h"
#include "platform/EmbeddedVersion.h"
#include "Demo.h"
#include "SecurityCard.h"
#include "Settings.h"
#include "Store.h"
#include "VersionInfo.h"
#include "velcor/Certificate.h"
#include "velcor/GatewayKeys.h"

namespace bankd {

namespace fs = std::filesystem;

InitReport initBank(const InitOptions& o)
{
    DataFolder folder(o.dataDir);
    folder.create();
    InitReport report;
    velcor::GatewayKeyPair keys = velcor::generateGatewayKeyPair();
    std::string reason;
    if (!velcor::saveGatewayKeyPair(folder.gatewayKey(), keys, &reason))
        throw DataFolderError("cannot write the gateway key: " + reason);
    report.gatewayPublicKey = keys.publicKeyBase64();
    const velcor::UpdateKeyPair updateKey = velcor::generateUpdateKeyPair();
    if (!velcor::saveUpdateKeyPair(folder.updateKey(), updateKey, &reason))
        throw DataFolderError("cannot write the update key: " + reason);
    report.updatePublicKey = updateKey.publicKeyBase64();
    writeVersionInfo(folder.versionInfo(), {}, updateKey);
    writeDefaultSettings(folder.settings(), o.postgres);
    auto store = Store::create(folder.storeLocation(), o.cost);
    if (o.demo) {
        DemoOptions d;
        d.home = o.home.empty() ? admin::defaultClientHome() : o.home;
        d.fastCertificates = o.fastCertificates;
        report.demoUsers = populateDemo(*store, d);
    }
    if (!o.deployPath.empty()) {
        writeDeployIni(o.deployPath, {o.serverHost, report.gatewayPublicKey,
                                      o.downloadHost.empty() ? o.serverHost : o.downloadHost,
                                      report.updatePublicKey});
        report.deployPath = o.deployPath;
    }
    return report;
}

namespace admin {

SecurityCard addCustomer(Store& store, const NewCustomer& c, const std::string& password)
{
    NewCustomer n = c;
    n.userId = customers::normaliseUserId(c.userId);
    if (!customers::validUserId(n.userId))
        throw std::invalid_argument("user ID must be 1-20 letters or digits");
    if (n.securityWay != "S" && n.securityWay != "K")
        throw std::invalid_argument("security means must be S or K");
    if (n.useHidden != "Y" && n.useHidden != "N")
        throw std::invalid_argument("hidden-account option must be Y or N");
    if (n.juminNo.size() != 13 || n.juminNo.find_first_not_of("0123456789") != std::string::npos)
        throw std::invalid_argument("resident registration number must be 13 digits");
    if (password.empty())
        throw std::invalid_argument("the password must not be empty");
    std::string hash = hashPassword(password, store.hashCost());
    SecurityCard card = generateSecurityCard();
    std::string now = bankTimestamp(std::chrono::system_clock::now());
    store.write([&](Db& db) {
        if (customers::find(db, n.userId))
            throw std::invalid_argument("user " + n.userId + " already exists");
        std::int64_t id = customers::add(db, n, hash, now);
        customers::setSecurityCard(db, id, card);
    });
    return card;
}

bool setPassword(Store& store, const std::string& userId, const std::string& password)
{
    if (password.empty())
        throw std::invalid_argument("the password must not be empty");
    std::string hash = hashPassword(password, store.hashCost());
    return store.write([&](Db& db) { return customers::setPassword(db, userId, hash); });
}

bool unlock(Store& store, const std::string& userId)
{
    return unlock(store, Secret::LoginPassword, userId) != Unlocked::NoSuchSubject;
}

std::string guardSubject(Secret kind, const std::string& subject)
{
    if (kind == Secret::LoginPassword || kind == Secret::SecurityValue)
        return customers::normaliseUserId(subject);
    return accounts::digitsOnly(subject);
}

Unlocked unlock(Store& store, Secret kind, const std::string& subject)
{
    const std::string key = guardSubject(kind, subject);
    return store.write([&](Db& db) {
        bool exists = true;
        if (kind == Secret::LoginPassword || kind == Secret::SecurityValue)
            exists = customers::validUserId(key) && customers::find(db, key).has_value();
        else if (kind == Secret::AccountPassword)
            exists = !key.empty() && accounts::find(db, key).has_value();
        else
            exists = !key.empty();
        if (!exists)
            return Unlocked::NoSuchSubject;
        return guard::unlock(db, kind, key) ? Unlocked::Yes : Unlocked::WasNotLocked;
    });
}

std::optional<SecurityCard> securityCard(Store& store, const std::string& userId)
{
    return store.read([&](Db& db) -> std::optional<SecurityCard> {
        auto c = customers::find(db, userId);
        if (!c)
            return std::nullopt;
        return customers::securityCard(db, c->id);
    });
}

IssuedCert issueCertificate(Store& store, const std::string& userId, const std::string& home,
                            const std::string& certPassword, bool fast)
{
    auto customer = store.read([&](Db& db) { return customers::find(db, userId); });
    if (!customer)
        throw std::runtime_error("no customer " + customers::normaliseUserId(userId));
    std::string certDir = (fs::path(home) / "certs").string();
    velcor::IssuedCertificate issued =
        velcor::issueCertificate(certDir, customer->userId, customer->name, certPassword,
                                 fast ? velcor::KdfStrength::Minimum : velcor::KdfStrength::Interactive);
    if (!issued.ok)
        throw std::runtime_error("certificate not issued: " + issued.reason);
    CertificateRecord rec;
    rec.subject = issued.info.id;
    rec.publicKey = issued.info.publicKeyBase64;
    rec.issuedAt = bankTimestamp(std::chrono::system_clock::time_point(std::chrono::seconds(issued.info.issued)));
    store.write([&](Db& db) { customers::addCertificate(db, customer->id, rec); });
    return {issued.info.id, issued.info.filePath};
}

velcor::UpdateKeyPair updateKey(const std::string& dataDir)
{
    DataFolder folder(dataDir);
    folder.check();
    std::string reason;
    auto key = velcor::loadUpdateKeyPair(folder.updateKey(), &reason);
    if (!key)
        throw DataFolderError(dataDir + " has no usable update key (update.key, made by bankd init): " + reason);
    return *key;
}

void publish(const std::string& dataDir, const std::string& file, const std::string& version)
{
    const velcor::UpdateKeyPair key = updateKey(dataDir);
    DataFolder folder(dataDir);
    const std::string name = fs::path(file).filename().string();
    if (!isPlainFileName(name) || name == kVersionInfoName)
        throw std::invalid_argument("cannot publish " + file + ": not a plain program file name");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    if (!version.empty()) {
        const std::string embedded = tvpbversion::read(data);
        if (embedded != version)
            throw std::invalid_argument(name + " carries version \"" + embedded + "\", not \"" + version +
                                        "\" (publish it with its own version, or with an empty one to have it "
                                        "fetched always)");
    }
    writeFileAtomically((fs::path(folder.downloadDir()) / name).string(), data);
    auto entries = readVersionInfo(folder.versionInfo());
    setVersionEntry(entries, name, version);
    writeVersionInfo(folder.versionInfo(), entries, key);
}

std::string defaultClientHome()
{
    if (const char* h = std::getenv("TVPB_HOME"); h && *h)
        return h;
    const char* home = std::getenv("HOME");
    return (fs::path(home ? home : ".") / ".local/share/tavrin-pda").string();
}

} // namespace admin
} // namespace bankd
