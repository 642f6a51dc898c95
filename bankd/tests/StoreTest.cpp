#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "Accounts.h"
#include "Customers.h"
#include "PasswordHash.h"
#include "Schema.h"
#include "SecretGuard.h"
#include "LossReports.h"
#include "Sqlite.h"
#include "Store.h"
#include "TestBank.h"

using namespace bankd;
using bankd::test::TempDir;
using bankd::test::location;
using bankd::test::onPostgres;

namespace {
int tableCount(Db& db, const char* name)
{
    auto s = db.prepare(db.engine() == DbEngine::Sqlite
                            ? "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?1"
                            : "SELECT count(*) FROM information_schema.tables "
                              "WHERE table_schema = current_schema() AND table_name = ?1");
    s.bind(1, name);
    s.step();
    return static_cast<int>(s.integer(0));
}
// A bare connection to the test's database: the SQLite file, or the test
// case's PostgreSQL schema.
std::unique_ptr<Db> rawDb(const std::string& path, bool create)
{
    return onPostgres() ? Db::postgres(location(path).postgres) : std::make_unique<Db>(path, create);
}
} // namespace

TEST(Schema, FreshDatabaseReachesTheCurrentVersionInWalMode)
{
    TempDir dir;
    auto store = Store::create(location(dir.str("b.db")), HashCost::minimal());
    auto lease = store->lease();
    EXPECT_EQ(lease.db().userVersion(), Schema::currentVersion());
    for (const char* t : {"customers", "security_cards", "certificates", "accounts", "account_history", "notices"})
        EXPECT_EQ(tableCount(lease.db(), t), 1) << t;
    if (lease.db().engine() == DbEngine::Sqlite) {
        auto s = lease.db().prepare("PRAGMA journal_mode");
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.text(0), "wal");
    }
}

TEST(Schema, OlderDatabaseIsMigratedStepByStepAndKeepsItsData)
{
    TempDir dir;
    std::vector<Migration> v1 = {Schema::migrations().front()};
    {
        auto conn = rawDb(dir.str("b.db"), true);
        Db& db = *conn;
        EXPECT_EQ(Schema::migrate(db, v1), 0);
        db.exec("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', 't', 'b')");
    }
    std::vector<Migration> v2 = v1;
    v2.push_back({v1.back().version + 1, "CREATE TABLE favourites (id INTEGER PRIMARY KEY, name TEXT);"});
    auto conn = rawDb(dir.str("b.db"), false);
    Db& db = *conn;
    EXPECT_EQ(Schema::migrate(db, v2), v1.back().version);
    EXPECT_EQ(db.userVersion(), v1.back().version + 1);
    EXPECT_EQ(tableCount(db, "favourites"), 1);
    auto s = db.prepare("SELECT count(*) FROM notices");
    s.step();
    EXPECT_EQ(s.integer(0), 1);
}

TEST(Schema, FailedMigrationLeavesThePreviousVersion)
{
    TempDir dir;
    std::vector<Migration> list = Schema::migrations();
    auto conn = rawDb(dir.str("b.db"), true);
    Db& db = *conn;
    Schema::migrate(db, list);
    int before = db.userVersion();
    list.push_back({before + 1, "CREATE TABLE half (x INTEGER); THIS IS NOT SQL;"});
    EXPECT_THROW(Schema::migrate(db, list), DbError);
    EXPECT_EQ(db.userVersion(), before);
    EXPECT_EQ(tableCount(db, "half"), 0);
}

TEST(Schema, NewerSchemaIsRefusedWithBothVersions)
{
    TempDir dir;
    {
        auto store = Store::create(location(dir.str("b.db")), HashCost::minimal());
        store->lease().db().setUserVersion(Schema::currentVersion() + 3);
    }
    try {
        Store::open(location(dir.str("b.db")));
        FAIL() << "a newer schema was accepted";
    } catch (const SchemaTooNew& e) {
        EXPECT_EQ(e.found, Schema::currentVersion() + 3);
        EXPECT_EQ(e.known, Schema::currentVersion());
    }
}

TEST(Schema, ForeignDatabaseIsRefusedAndLeftAlone)
{
    TempDir dir;
    {
        auto conn = rawDb(dir.str("other.db"), true);
        Db& db = *conn;
        db.exec("CREATE TABLE photos (id INTEGER)");
    }
    EXPECT_THROW(Store::open(location(dir.str("other.db"))), ForeignDatabase);
    auto conn = rawDb(dir.str("other.db"), false);
    Db& db = *conn;
    EXPECT_EQ(db.userVersion(), 0);
    EXPECT_EQ(tableCount(db, "customers"), 0);
}

TEST(Store, CreateRefusesAnExistingFileAndOpenAMissingOne)
{
    TempDir dir;
    EXPECT_THROW(Store::open(location(dir.str("missing.db"))), DbError);
    Store::create(location(dir.str("b.db")), HashCost::minimal());
    EXPECT_THROW(Store::create(location(dir.str("b.db")), HashCost::minimal()), DbError);
}

TEST(Store, AFailedOperationRollsBackAllItsWrites)
{
    test::TestBank bank;
    bank.addCustomer("ALICE", "PW");
    std::int64_t id = bank.store->read([](Db& db) { return customers::find(db, "ALICE")->id; });
    bank.store->write([&](Db& db) {
        Account a;
        a.accountNo = "1002003004";
        a.customerId = id;
        a.displayNo = "100-200-3004";
        a.kindName = "보통예금";
        a.kindCode = "A04";
        a.openedOn = "20240101";
        accounts::add(db, a, "x");
        accounts::post(db, a.accountNo, 1000, "2024-01-01 09:00:00", "신규", "");
    });
    EXPECT_THROW(bank.store->write([&](Db& db) {
        accounts::post(db, "1002003004", 500, "2024-01-02 09:00:00", "입금", "");
        throw std::runtime_error("second half failed");
    }),
                 std::runtime_error);
    auto acc = bank.store->read([](Db& db) { return accounts::find(db, "100-200-3004"); });
    ASSERT_TRUE(acc);
    EXPECT_EQ(acc->balance, 1000);
    auto hist = bank.store->read(
        [](Db& db) { return accounts::history(db, "1002003004", "2024-01-01 00:00:00", "2024-12-31 23:59:59"); });
    ASSERT_EQ(hist.size(), 1u);
    EXPECT_EQ(hist[0].direction, "입금");
}

// Checkpoints run beside the writer; the WAL must still start again from its
// beginning instead of growing with every write while readers come and go.
TEST(Store, TheWalStaysBoundedUnderAStreamOfWritesAndReads)
{
    if (onPostgres())
        GTEST_SKIP() << "SQLite's WAL file";
    TempDir dir;
    auto store = Store::create(location(dir.str("w.db")), HashCost::minimal());
    constexpr int kWriters = 4, kEach = 4000;  // one page of text each: far more than the bound
    const std::string body(3500, 'x');
    std::atomic<bool> writing{true};
    std::atomic<std::uint64_t> walMax{0};
    std::thread reader([&] {  // reads of a millisecond or two, one soon after another
        while (writing) {
            store->read([](Db& db) {
                auto s = db.prepare("SELECT count(*) FROM (SELECT body FROM notices ORDER BY rowid DESC LIMIT 500)");
                s.step();
            });
            std::error_code ec;
            auto size = std::filesystem::file_size(dir.str("w.db-wal"), ec);
            if (!ec && size > walMax)
                walMax = size;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&] {
            for (int i = 0; i < kEach; ++i)
                store->write([&](Db& db) {
                    db.prepare("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', 't', ?1)")
                        .bind(1, body)
                        .run();
                });
        });
    for (auto& t : writers)
        t.join();
    writing = false;
    reader.join();
    EXPECT_EQ(store->read([](Db& db) {
        auto s = db.prepare("SELECT count(*) FROM notices WHERE title = 't'");
        s.step();
        return s.integer(0);
    }),
              kWriters * kEach);
    // 16,000 pages written; the WAL starts again after about 4,000 of them
    // (8,000 when readers were still on old snapshots the first time).
    EXPECT_LT(walMax.load(), 14000u * (4096 + 24)) << "the WAL grew with the writes";
}

TEST(Store, PostingNeverTakesABalanceBelowZero)
{
    test::TestBank bank;
    bank.addCustomer("ALICE", "PW");
    bank.store->write([&](Db& db) {
        Account a;
        a.accountNo = "555";
        a.customerId = customers::find(db, "ALICE")->id;
        a.displayNo = "5-5-5";
        a.kindName = "보통예금";
        a.kindCode = "A04";
        a.openedOn = "20240101";
        accounts::add(db, a, "x");
        EXPECT_TRUE(accounts::post(db, "555", 300, "2024-01-01 09:00:00", "신규", ""));
        EXPECT_FALSE(accounts::post(db, "555", -301, "2024-01-01 10:00:00", "지급", ""));
        EXPECT_TRUE(accounts::post(db, "555", -300, "2024-01-01 10:00:00", "지급", ""));
    });
    EXPECT_EQ(bank.store->read([](Db& db) { return accounts::find(db, "555")->balance; }), 0);
}

TEST(Store, ValuesAreBoundNotSpliced)
{
    test::TestBank bank;
    bank.addCustomer("ALICE", "PW", "S", "x'); DROP TABLE customers; --");
    auto c = bank.store->read([](Db& db) { return customers::find(db, "alice"); });
    ASSERT_TRUE(c);
    EXPECT_EQ(c->name, "x'); DROP TABLE customers; --");
}

TEST(PasswordHash, Argon2idStringsVerifyCaseInsensitivelyAsTheClientSendsUpperCase)
{
    std::string h = hashPassword("abc123", HashCost::minimal());
    EXPECT_EQ(h.rfind("$argon2id$", 0), 0u);
    EXPECT_TRUE(verifyPassword(h, "ABC123"));
    EXPECT_TRUE(verifyPassword(h, "abc123"));
    EXPECT_FALSE(verifyPassword(h, "ABC124"));
    EXPECT_FALSE(verifyPassword("not a hash", "ABC123"));
}

TEST(PasswordHash, StandardCostIsArgon2idWithNineteenMebibytes)
{
    std::string h = hashPassword("PW", HashCost::standard());
    EXPECT_NE(h.find("$argon2id$v=19$m=19456,t=2,p=1$"), std::string::npos) << h;
    EXPECT_TRUE(verifyPassword(h, "PW"));
}

TEST(Schema, EveryEarlierVersionMigratesToTheCurrentOneKeepingCustomersAndTheirLocks)
{
    const auto& all = Schema::migrations();
    for (size_t reached = 1; reached < all.size(); ++reached) {
        SCOPED_TRACE("from version " + std::to_string(all[reached - 1].version));
        test::TempDir dir;
        test::renewSchema();
        {
            auto conn = rawDb(dir.str("b.db"), true);
            Db& db = *conn;
            Schema::migrate(db, std::vector<Migration>(all.begin(), all.begin() + static_cast<long>(reached)));
            // A customer with three wrong passwords, a locked one, and a
            // locked account, as the versions before the shared locks kept
            // them (in their own columns) and as the later ones keep them.
            if (all[reached - 1].version < 4) {
                db.exec("INSERT INTO customers (id, user_id, name, jumin_no, pwd_hash, security_way, failed_logins, "
                        "locked, created_at) VALUES (1, 'ALICE', 'a', '8001011234567', 'h', 'S', 3, 0, '2024-01-01'),"
                        "(2, 'BOB', 'b', '8001011234567', 'h', 'K', 5, 1, '2024-01-01')");
                db.exec("INSERT INTO accounts (account_no, customer_id, display_no, kind_name, kind_code, balance, "
                        "pwd_hash, opened_on, failed_pwd, locked) VALUES ('1101', 1, '110-1', 'k', 'A04', 5000, 'h', "
                        "'20240101', 5, 1), ('1102', 1, '110-2', 'k', 'A04', 700, 'h', '20240101', 0, 0)");
            } else {
                db.exec("INSERT INTO customers (id, user_id, name, jumin_no, pwd_hash, security_way, created_at) "
                        "VALUES (1, 'ALICE', 'a', '8001011234567', 'h', 'S', '2024-01-01'),"
                        "(2, 'BOB', 'b', '8001011234567', 'h', 'K', '2024-01-01')");
                db.exec("INSERT INTO accounts (account_no, customer_id, display_no, kind_name, kind_code, balance, "
                        "pwd_hash, opened_on) VALUES ('1101', 1, '110-1', 'k', 'A04', 5000, 'h', '20240101'), "
                        "('1102', 1, '110-2', 'k', 'A04', 700, 'h', '20240101')");
                db.exec("INSERT INTO secret_locks (kind, subject, failures, locked, updated_at) VALUES "
                        "('login', 'ALICE', 3, 0, '2024-01-01'), ('login', 'BOB', 5, 1, '2024-01-01'), "
                        "('account', '1101', 5, 1, '2024-01-01')");
            }
        }
        auto store = Store::open(location(dir.str("b.db")), HashCost::minimal());
        store->read([&](Db& db) {
            EXPECT_EQ(db.userVersion(), Schema::currentVersion());
            EXPECT_EQ(guard::failures(db, Secret::LoginPassword, "ALICE"), 3);
            EXPECT_FALSE(guard::locked(db, Secret::LoginPassword, "ALICE"));
            EXPECT_TRUE(guard::locked(db, Secret::LoginPassword, "BOB"));
            EXPECT_TRUE(guard::locked(db, Secret::AccountPassword, "1101"));
            EXPECT_EQ(guard::failures(db, Secret::AccountPassword, "1102"), 0);
            EXPECT_EQ(accounts::find(db, "1101")->balance, 5000);
            EXPECT_EQ(customers::find(db, "BOB")->securityWay, "K");
            EXPECT_EQ(tableCount(db, "quotes"), 1);
            EXPECT_EQ(tableCount(db, "transfer_quotes"), 0);
            EXPECT_EQ(tableCount(db, "loans"), 1);
            EXPECT_EQ(tableCount(db, "loan_payments"), 1);
            EXPECT_EQ(tableCount(db, "cards"), 1);
            EXPECT_EQ(tableCount(db, "card_cash_advances"), 1);
            // Passbooks start without a loss report.
            EXPECT_EQ(loss::passbookLoss(db, "1101"), "");
            EXPECT_EQ(tableCount(db, "exchange_rates"), 1);
            EXPECT_EQ(tableCount(db, "enrol_applications"), 1);
        });
        // Two more wrong passwords lock ALICE: the count carried over.
        store->write([&](Db& db) {
            EXPECT_EQ(guard::begin(db, Secret::LoginPassword, "ALICE", "2024-01-02 00:00:00"), guard::Admit::Go);
            guard::failed(db, Secret::LoginPassword, "ALICE", "2024-01-02 00:00:00");
            EXPECT_EQ(guard::begin(db, Secret::LoginPassword, "ALICE", "2024-01-02 00:00:00"), guard::Admit::Go);
            EXPECT_TRUE(guard::failed(db, Secret::LoginPassword, "ALICE", "2024-01-02 00:00:00").locked);
        });
    }
}

TEST(Schema, FavouritesMadeBeforeVersionEightGetTheHolderTheBankKnows)
{
    const auto& all = Schema::migrations();
    for (size_t reached = 3; reached < all.size() && all[reached - 1].version < 8; ++reached) {
        SCOPED_TRACE("from version " + std::to_string(all[reached - 1].version));
        test::TempDir dir;
        test::renewSchema();
        {
            auto conn = rawDb(dir.str("b.db"), true);
            Db& db = *conn;
            Schema::migrate(db, std::vector<Migration>(all.begin(), all.begin() + static_cast<long>(reached)));
            db.exec("INSERT INTO customers (id, user_id, name, jumin_no, pwd_hash, security_way, created_at) "
                    "VALUES (1, 'ALICE', '김앨리스', '8001011234567', 'h', 'S', '2024-01-01')");
            db.exec("INSERT INTO accounts (account_no, customer_id, display_no, kind_name, kind_code, balance, "
                    "pwd_hash, opened_on) VALUES ('1101', 1, '110-1', 'k', 'A04', 5000, 'h', '20240101')");
            db.exec("INSERT INTO other_bank_accounts (bank_code, account_no, holder) VALUES ('04', '777', '최유리')");
            db.exec("INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, registered_on) "
                    "VALUES (1, '20', '내통장', '1101', '20240101'), (1, '04', '유리', '777', '20240101'), "
                    "(1, '26', '모름', '888', '20240101')");
        }
        auto store = Store::open(location(dir.str("b.db")), HashCost::minimal());
        auto holders = store->read([](Db& db) {
            std::vector<std::string> out;
            auto s = db.prepare("SELECT holder FROM favourite_accounts ORDER BY id");
            while (s.step())
                out.push_back(s.text(0));
            return out;
        });
        // Unknown to the bank: the name the customer gave stays.
        EXPECT_EQ(holders, (std::vector<std::string>{"김앨리스", "최유리", "모름"}));
    }
}
