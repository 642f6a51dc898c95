#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "Accounts.h"
#include "Admin.h"
#include "DataFolder.h"
#include "DeployIni.h"
#include "Notices.h"
#include "SecurityCard.h"
#include "Store.h"
#include "TestBank.h"
#include "VersionInfo.h"
#include "velcor/Certificate.h"
#include "velcor/GatewayKeys.h"
#include "velcor/ReleaseSignature.h"
#include "platform/EmbeddedVersion.h"

using namespace bankd;
using namespace bankd::test;
namespace fs = std::filesystem;

namespace {
InitOptions demoOptions(const TempDir& dir)
{
    InitOptions o;
    o.dataDir = dir.str("data");
    o.demo = true;
    o.home = dir.str("home");
    o.deployPath = dir.str("bin/deploy.ini");
    o.serverHost = "127.0.0.1:18080";
    o.cost = HashCost::minimal();
    o.fastCertificates = true;
    o.postgres = postgresUrl();
    return o;
}
} // namespace

TEST(Init, DemoBankWritesDeployIniCertificateAndData)
{
    TempDir dir;
    fs::create_directories(dir.str("bin"));
    {
        std::ofstream pre(dir.str("bin/deploy.ini"));
        pre << "[carrier]\nskt_account = keepme\n[bank]\nserver_host = old:1\n";
    }
    InitReport r = initBank(demoOptions(dir));

    auto ini = readIni(dir.str("bin/deploy.ini"));
    EXPECT_EQ(ini["bank"]["server_host"], "127.0.0.1:18080");
    EXPECT_EQ(ini["bank"]["gateway_public_key"], r.gatewayPublicKey);
    EXPECT_EQ(ini["download"]["host"], "127.0.0.1:18080");
    EXPECT_EQ(ini["carrier"]["skt_account"], "keepme");
    auto keys = velcor::loadGatewayKeyPair(dir.str("data/gateway.key"));
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->publicKeyBase64(), r.gatewayPublicKey);

    ASSERT_GE(r.demoUsers.size(), 2u);
    bool card = false, cert = false;
    for (const DemoUser& u : r.demoUsers) {
        card |= u.securityWay == "S";
        if (u.securityWay == "K") {
            cert = true;
            EXPECT_TRUE(fs::exists(u.certFile));
            EXPECT_EQ(fs::path(u.certFile).parent_path(), fs::path(dir.str("home/certs")));
            EXPECT_TRUE(velcor::unlockCertificate(u.certFile, u.certPassword));
        }
    }
    EXPECT_TRUE(card && cert);

    auto store = Store::open(DataFolder(dir.str("data")).storeLocation(), HashCost::minimal());
    store->read([&](Db& db) {
        for (const DemoUser& u : r.demoUsers) {
            auto c = customers::find(db, u.userId);
            ASSERT_TRUE(c);
            EXPECT_TRUE(verifyPassword(c->pwdHash, u.password));
            EXPECT_EQ(customers::securityCard(db, c->id), u.card);
            auto accs = accounts::ofCustomer(db, c->id);
            EXPECT_FALSE(accs.empty());
            if (u.securityWay == "K") {
                auto certs = customers::certificates(db, c->id);
                ASSERT_EQ(certs.size(), 1u);
                EXPECT_EQ(fs::path(u.certFile).stem().string(), certs[0].subject);
            }
        }
        std::set<std::string> kinds;
        for (const DemoUser& u : r.demoUsers)
            for (const auto& a : accounts::ofCustomer(db, customers::find(db, u.userId)->id))
                kinds.insert(a.kindCode);
        EXPECT_GE(kinds.size(), 4u);
        NoticePage first = notices::page(db, 0, 10);
        EXPECT_FALSE(first.last);  // more than one page
        bool br = false, nbsp = false;
        for (std::int64_t n = 1; auto notice = notices::find(db, n); ++n) {
            br |= notice->body.find("<br>") != std::string::npos;
            nbsp |= notice->body.find("&nbsp;") != std::string::npos;
        }
        EXPECT_TRUE(br && nbsp);
    });
}

TEST(Init, DataAtRestIsTheServersAloneAndTheDatabaseHoldsNoPlainCardCell)
{
    TempDir dir;
    InitReport r = initBank(demoOptions(dir));
    auto mode = [](const std::string& path) {
        return static_cast<unsigned>(fs::status(path).permissions()) & 0777u;
    };
    EXPECT_EQ(mode(dir.str("data")), 0700u);
    auto store = Store::open(DataFolder(dir.str("data")).storeLocation(), HashCost::minimal());
    const DemoUser& user = r.demoUsers.front();
    store->write([&](Db& db) { customers::setPassword(db, user.userId, hashPassword("NEW", HashCost::minimal())); });
    std::vector<const char*> files = {"secrets.key", "gateway.key"};
    if (onPostgres())
        files.push_back("bankd.ini");  // it names the database
    else
        files.insert(files.end(), {"bankd.db", "bankd.db-wal", "bankd.db-shm"});
    for (const char* f : files) {
        ASSERT_TRUE(fs::exists(dir.str("data/") + f)) << f;
        EXPECT_EQ(mode(dir.str("data/") + f), 0600u) << f;
    }

    // Every stored cell is sealed; the card opens only through the key and
    // only in its own place.
    std::int64_t id = 0;
    std::vector<std::pair<int, std::string>> stored;
    store->read([&](Db& db) {
        id = customers::find(db, user.userId)->id;
        EXPECT_EQ(customers::securityCard(db, id), user.card);
        EXPECT_TRUE(customers::checkSecurityCell(db, id, 7, user.card[6]));
        auto s = db.prepare("SELECT cell, value FROM security_cards WHERE customer_id = ?1 ORDER BY cell");
        s.bind(1, id);
        while (s.step())
            stored.emplace_back(static_cast<int>(s.integer(0)), s.text(1));
    });
    ASSERT_EQ(stored.size(), 35u);
    for (auto& [cell, value] : stored) {
        EXPECT_EQ(value.rfind("v1$", 0), 0u) << cell;
        EXPECT_NE(value, user.card[static_cast<size_t>(cell - 1)]);
    }
    store->write([&](Db& db) {
        auto u = db.prepare("UPDATE security_cards SET value = ?2 WHERE customer_id = ?1 AND cell = 8");
        u.bind(1, id).bind(2, stored[6].second).run();  // cell 7's sealed value moved to cell 8
        EXPECT_FALSE(customers::checkSecurityCell(db, id, 8, user.card[6]));
        EXPECT_FALSE(customers::checkSecurityCell(db, id, 8, user.card[7]));
        // A cell stored before cells were sealed is sealed when the bank opens.
        auto p = db.prepare("UPDATE security_cards SET value = ?2 WHERE customer_id = ?1 AND cell = 9");
        p.bind(1, id).bind(2, user.card[8]).run();
    });
    store.reset();
    store = Store::open(DataFolder(dir.str("data")).storeLocation(), HashCost::minimal());
    store->read([&](Db& db) {
        auto s = db.prepare("SELECT value FROM security_cards WHERE customer_id = ?1 AND cell = 9");
        s.bind(1, id);
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.text(0).rfind("v1$", 0), 0u);
        EXPECT_TRUE(customers::checkSecurityCell(db, id, 9, user.card[8]));
    });
    // Without its key file the database does not open.
    store.reset();
    fs::rename(dir.str("data/secrets.key"), dir.str("secrets.key"));
    EXPECT_THROW(Store::open(DataFolder(dir.str("data")).storeLocation(), HashCost::minimal()), DbError);
}

TEST(Init, RefusesAForeignOrAlreadyUsedFolder)
{
    TempDir dir;
    fs::create_directories(dir.str("data"));
    std::ofstream(dir.str("data/thesis.txt")) << "mine";
    InitOptions o = demoOptions(dir);
    o.demo = false;
    o.deployPath.clear();
    EXPECT_THROW(initBank(o), DataFolderError);
    EXPECT_TRUE(fs::exists(dir.str("data/thesis.txt")));
    EXPECT_FALSE(fs::exists(dir.str("data/bankd.db")));
    o.dataDir = dir.str("fresh");
    initBank(o);
    EXPECT_THROW(initBank(o), DataFolderError);
}

TEST(DataFolder, CheckNamesWhatIsWrong)
{
    TempDir dir;
    try {
        DataFolder(dir.str("nope")).check();
        FAIL();
    } catch (const DataFolderError& e) {
        EXPECT_NE(std::string(e.what()).find("does not exist"), std::string::npos);
    }
    try {
        DataFolder(dir.str()).check();
        FAIL();
    } catch (const DataFolderError& e) {
        EXPECT_NE(std::string(e.what()).find("not a bankd data folder"), std::string::npos);
    }
}

TEST(Admin, CustomersGetACardOfThirtyFiveFourDigitCells)
{
    TestBank bank;
    SecurityCard card = bank.addCustomer("ALICE", "PW1");
    for (const auto& cell : card) {
        ASSERT_EQ(cell.size(), 4u);
        EXPECT_EQ(cell.find_first_not_of("0123456789"), std::string::npos);
    }
    EXPECT_EQ(admin::securityCard(*bank.store, "alice"), card);
    EXPECT_FALSE(admin::securityCard(*bank.store, "NOBODY"));
    bank.store->read([&](Db& db) {
        auto id = customers::find(db, "ALICE")->id;
        EXPECT_TRUE(customers::checkSecurityCell(db, id, 35, card[34]));
        EXPECT_FALSE(customers::checkSecurityCell(db, id, 36, card[34]));
        EXPECT_FALSE(customers::checkSecurityCell(db, id, 1, ""));
    });
    std::string printed = formatSecurityCard(card);
    EXPECT_NE(printed.find("[35] " + card[34]), std::string::npos);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 7);
}

TEST(Admin, AddCustomerRefusesBadInputAndDuplicates)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1");
    EXPECT_THROW(bank.addCustomer("ALICE", "PW1"), std::invalid_argument);
    EXPECT_THROW(bank.addCustomer("AL ICE", "PW1"), std::invalid_argument);
    EXPECT_THROW(bank.addCustomer("BOB", ""), std::invalid_argument);
    EXPECT_THROW(bank.addCustomer("BOB", "PW", "X"), std::invalid_argument);
    EXPECT_THROW(admin::addCustomer(*bank.store, {"BOB", "밥", "123", "S", "N"}, "PW"), std::invalid_argument);
}

TEST(Admin, IssuedCertificateIsRegisteredForItsUser)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1", "K", "앨리스");
    IssuedCert cert = admin::issueCertificate(*bank.store, "alice", bank.dir.str("home"), "cpw123", true);
    EXPECT_TRUE(fs::exists(cert.filePath));
    auto unlocked = velcor::unlockCertificate(cert.filePath, "cpw123");
    ASSERT_TRUE(unlocked);
    EXPECT_EQ(unlocked->info.userId, "ALICE");
    auto certs = bank.store->read([](Db& db) { return customers::certificates(db, customers::find(db, "ALICE")->id); });
    ASSERT_EQ(certs.size(), 1u);
    EXPECT_EQ(certs[0].publicKey, unlocked->info.publicKeyBase64);
    EXPECT_THROW(admin::issueCertificate(*bank.store, "NOBODY", bank.dir.str("home"), "x", true), std::runtime_error);
}

static std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A program file as the build makes it: an embedded version with room after it.
static void writeProgram(const std::string& path, const std::string& version, const std::string& code)
{
    std::string bytes = code + '\0' + tvpbversion::marker() + version;
    bytes.append(80 - tvpbversion::marker().size() - version.size(), '\0');
    std::ofstream(path, std::ios::binary) << bytes << code;
}

TEST(VersionInfo, SignedListEndsEveryLineAndHashesEveryFile)
{
    TempDir dir;
    std::string path = dir.str("TVPB_Version.info");
    std::ofstream(dir.str("TavrinPdaBanking")) << "program";
    std::ofstream(dir.str("tvpb_2200.so")) << "library";
    std::vector<VersionEntry> entries = {{"TavrinPdaBanking", "1.0.0.3"}, {"tvpb_2200.so", "1.0.0.1"}};
    const velcor::UpdateKeyPair key = velcor::generateUpdateKeyPair();
    writeVersionInfo(path, entries, key);
    const std::string text = fileText(path);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find("\n\n"), std::string::npos);  // an empty line would end the list early
    EXPECT_EQ(readVersionInfo(path), entries);         // the header lines are comments to the reader
    const auto body = velcor::openReleaseList(text, key.publicKey);
    ASSERT_TRUE(body);
    EXPECT_NE(body->find(velcor::releaseHashLine("library", "tvpb_2200.so") + "\n"), std::string::npos);
    EXPECT_NE(body->find(velcor::releaseHashLine("program", "TavrinPdaBanking") + "\n"), std::string::npos);
    // Another key, or one changed byte, and the list is not the bank's.
    EXPECT_FALSE(velcor::openReleaseList(text, velcor::generateUpdateKeyPair().publicKey));
    std::string tampered = text;
    tampered[tampered.find("1.0.0.3")] = '9';
    EXPECT_FALSE(velcor::openReleaseList(tampered, key.publicKey));

    setVersionEntry(entries, "tvpb_2200.so", "1.0.0.2");
    setVersionEntry(entries, "Zentab.so", "1.0");
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].second, "1.0.0.2");
    EXPECT_THROW(writeVersionInfo(path, {{"bad\nname", "1"}}, key), std::invalid_argument);
    EXPECT_THROW(writeVersionInfo(path, {{"absent.so", "1"}}, key), std::runtime_error);
    EXPECT_EQ(readVersionInfo(path).size(), 2u);  // a refused write leaves the list as it was
}

TEST(VersionInfo, PublishChecksNameAndEmbeddedVersionAndSigns)
{
    TempDir dir;
    InitOptions o;
    o.dataDir = dir.str("data");
    o.deployPath = dir.str("bin/deploy.ini");
    o.cost = HashCost::minimal();
    o.postgres = postgresUrl();
    const InitReport report = initBank(o);
    EXPECT_EQ(readIni(o.deployPath)["download"]["update_public_key"], report.updatePublicKey);
    EXPECT_EQ(fs::status(DataFolder(o.dataDir).updateKey()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    writeProgram(dir.str("tvpb_3400.so"), "1.0.0.7", "library bytes");
    admin::publish(o.dataDir, dir.str("tvpb_3400.so"), "1.0.0.7");
    // A version the file does not carry is refused, and the list stays as it was.
    EXPECT_THROW(admin::publish(o.dataDir, dir.str("tvpb_3400.so"), "1.0.0.8"), std::invalid_argument);
    std::ofstream(dir.str("readme.txt")) << "no version inside";
    admin::publish(o.dataDir, dir.str("readme.txt"), "");  // empty on purpose: always fetched
    EXPECT_THROW(admin::publish(o.dataDir, dir.str("readme.txt"), "1.0"), std::invalid_argument);
    std::ofstream(dir.str(".hidden")) << "x";
    EXPECT_THROW(admin::publish(o.dataDir, dir.str(".hidden"), ""), std::invalid_argument);

    DataFolder folder(o.dataDir);
    EXPECT_EQ(fileText((fs::path(folder.downloadDir()) / "tvpb_3400.so").string()), fileText(dir.str("tvpb_3400.so")));
    EXPECT_EQ(readVersionInfo(folder.versionInfo()),
              (std::vector<VersionEntry>{{"tvpb_3400.so", "1.0.0.7"}, {"readme.txt", ""}}));
    const auto key = velcor::decodeKey32(report.updatePublicKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(velcor::openReleaseList(fileText(folder.versionInfo()), *key));
    for (const auto& e : fs::directory_iterator(folder.downloadDir()))
        EXPECT_NE(e.path().extension(), ".tmp") << "a temporary file was left: " << e.path();
}
