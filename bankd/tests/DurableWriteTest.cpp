// Durable money: every acknowledged execution is on disk before its reply,
// and parallel writes share their syncs.
//
// An SQLite VFS shim under the bank keeps, per file, the bytes as of the last
// sync: what a power cut would leave. After each acknowledged transfer the
// test looks for the transfer's row (its serial followed by its date, as the
// row stores them) in that image.
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "Store.h"
#include "WalWriteBatching.h"
#include "TransferFixture.h"

using namespace bankd;
using namespace bankd::test;

namespace {

struct Image {
    std::string synced;
    std::vector<std::pair<sqlite3_int64, std::string>> pending;
    int syncs = 0;
    int writes = 0;  // calls
};

std::mutex gMutex;
std::map<std::string, Image> gImages;
sqlite3_vfs* gReal = nullptr;

struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::string* name;
};

sqlite3_file* realOf(sqlite3_file* f)
{
    return reinterpret_cast<ShimFile*>(f)->real;
}

void overlay(std::string& image, sqlite3_int64 off, const std::string& bytes)
{
    auto end = static_cast<size_t>(off) + bytes.size();
    if (image.size() < end)
        image.resize(end, '\0');
    std::memcpy(image.data() + off, bytes.data(), bytes.size());
}

int shimClose(sqlite3_file* f)
{
    auto* s = reinterpret_cast<ShimFile*>(f);
    int rc = s->real->pMethods ? s->real->pMethods->xClose(s->real) : SQLITE_OK;
    delete s->name;
    sqlite3_free(s->real);
    return rc;
}
int shimRead(sqlite3_file* f, void* p, int n, sqlite3_int64 off)
{
    return realOf(f)->pMethods->xRead(realOf(f), p, n, off);
}
int shimWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 off)
{
    int rc = realOf(f)->pMethods->xWrite(realOf(f), p, n, off);
    if (rc == SQLITE_OK) {
        std::lock_guard<std::mutex> lock(gMutex);
        Image& im = gImages[*reinterpret_cast<ShimFile*>(f)->name];
        im.pending.emplace_back(off, std::string(static_cast<const char*>(p), static_cast<size_t>(n)));
        ++im.writes;
    }
    return rc;
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    int rc = realOf(f)->pMethods->xTruncate(realOf(f), size);
    std::lock_guard<std::mutex> lock(gMutex);
    Image& im = gImages[*reinterpret_cast<ShimFile*>(f)->name];
    if (im.synced.size() > static_cast<size_t>(size))
        im.synced.resize(static_cast<size_t>(size));
    return rc;
}
int shimSync(sqlite3_file* f, int flags)
{
    // What was written before the sync began is durable once it returns.
    std::vector<std::pair<sqlite3_int64, std::string>> taken;
    std::string name = *reinterpret_cast<ShimFile*>(f)->name;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        taken.swap(gImages[name].pending);
    }
    int rc = realOf(f)->pMethods->xSync(realOf(f), flags);
    std::lock_guard<std::mutex> lock(gMutex);
    Image& im = gImages[name];
    for (auto& [off, bytes] : taken)
        overlay(im.synced, off, bytes);
    ++im.syncs;
    return rc;
}
int shimFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int shimLock(sqlite3_file* f, int l)
{
    return realOf(f)->pMethods->xLock(realOf(f), l);
}
int shimUnlock(sqlite3_file* f, int l)
{
    return realOf(f)->pMethods->xUnlock(realOf(f), l);
}
int shimCheckReserved(sqlite3_file* f, int* out)
{
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int shimFileControl(sqlite3_file* f, int op, void* arg)
{
    return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int shimSectorSize(sqlite3_file* f)
{
    return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int shimDevice(sqlite3_file* f)
{
    // No atomic-write or safe-append claims: SQLite keeps all its syncs.
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f)) &
           ~(SQLITE_IOCAP_SAFE_APPEND | SQLITE_IOCAP_SEQUENTIAL | SQLITE_IOCAP_POWERSAFE_OVERWRITE);
}
int shimShmMap(sqlite3_file* f, int pg, int sz, int extend, void volatile** p)
{
    return realOf(f)->pMethods->xShmMap(realOf(f), pg, sz, extend, p);
}
int shimShmLock(sqlite3_file* f, int off, int n, int flags)
{
    return realOf(f)->pMethods->xShmLock(realOf(f), off, n, flags);
}
void shimShmBarrier(sqlite3_file* f)
{
    realOf(f)->pMethods->xShmBarrier(realOf(f));
}
int shimShmUnmap(sqlite3_file* f, int del)
{
    return realOf(f)->pMethods->xShmUnmap(realOf(f), del);
}

const sqlite3_io_methods kShimMethods = {
    2,           shimClose,       shimRead,          shimWrite,      shimTruncate,   shimSync,
    shimFileSize, shimLock,       shimUnlock,        shimCheckReserved, shimFileControl, shimSectorSize,
    shimDevice,  shimShmMap,      shimShmLock,       shimShmBarrier, shimShmUnmap,   nullptr,
    nullptr,
};

int shimOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* s = reinterpret_cast<ShimFile*>(f);
    s->base.pMethods = nullptr;
    s->real = static_cast<sqlite3_file*>(sqlite3_malloc(gReal->szOsFile));
    std::memset(s->real, 0, static_cast<size_t>(gReal->szOsFile));
    int rc = gReal->xOpen(gReal, name, s->real, flags, outFlags);
    if (rc != SQLITE_OK) {
        sqlite3_free(s->real);
        return rc;
    }
    s->name = new std::string(name ? name : "");
    s->base.pMethods = &kShimMethods;
    return SQLITE_OK;
}

sqlite3_vfs gShim;

// Installed as the default VFS for the life of the fixture, before the test
// bank creates its database.
struct ShimInstalled {
    ShimInstalled()
    {
        // Above bankd's own VFS, so that it sees what SQLite writes and syncs.
        installWalWriteBatching();
        gReal = sqlite3_vfs_find(nullptr);
        gShim = *gReal;
        gShim.zName = "durability-shim";
        gShim.szOsFile = static_cast<int>(sizeof(ShimFile));
        gShim.xOpen = shimOpen;
        gShim.iVersion = 1;  // no system-call overrides
        gShim.pNext = nullptr;
        {
            std::lock_guard<std::mutex> lock(gMutex);
            gImages.clear();
        }
        sqlite3_vfs_register(&gShim, 1);
    }
    ~ShimInstalled() { sqlite3_vfs_unregister(&gShim); }
};

// True when `needle` is in what the last syncs left of the database or its WAL.
bool durable(const std::string& needle)
{
    std::lock_guard<std::mutex> lock(gMutex);
    for (auto& [name, im] : gImages)
        if (im.synced.find(needle) != std::string::npos)
            return true;
    return false;
}

// Syncs or write calls SQLite made on WAL files so far.
int walCalls(int Image::*what)
{
    std::lock_guard<std::mutex> lock(gMutex);
    int n = 0;
    for (auto& [name, im] : gImages)
        if (name.size() > 4 && name.compare(name.size() - 4, 4, "-wal") == 0)
            n += im.*what;
    return n;
}

int walSyncs()
{
    return walCalls(&Image::syncs);
}

int walWrites()
{
    return walCalls(&Image::writes);
}

class DurableTransfers : private ShimInstalled, public TransferBank {
};

class WalBatching : private ShimInstalled, public ::testing::Test {
protected:
    TempDir dir;
};

std::int64_t countOf(Db& db, const char* sql)
{
    auto s = db.prepare(sql);
    s.step();
    return s.integer(0);
}

} // namespace

TEST_F(DurableTransfers, EveryAcknowledgedExecutionIsSyncedBeforeItsReplyAndParallelOnesShareSyncs)
{
    if (bank.store->engine() != DbEngine::Sqlite)
        GTEST_SKIP() << "watches SQLite's file syncs (PostgreSQL's commits: PgStore tests)";
    ASSERT_STREQ(sqlite3_vfs_find(nullptr)->zName, "durability-shim");
    constexpr int kThreads = 8, kEach = 6;
    const auto before = bank.store->writeStats();
    const int walSyncsBefore = walSyncs();
    std::atomic<int> acknowledged{0}, notDurable{0};
    std::vector<std::thread> threads;
    std::mutex failMutex;
    std::string firstFailure;
    // One source account per thread: parallel password checks of one account
    // are bounded by its failure limit.
    std::vector<std::string> sources;
    for (int t = 0; t < kThreads; ++t)
        sources.push_back(addAccount("KIM", "110-900-00000" + std::to_string(t), 100'000));
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                auto e = echoOf(check(keyKim, "KIM", sources[t], leeA, "1000"));
                if (e.size() != 19)
                    continue;
                auto done = executeWithCard(keyKim, e);
                if (code(done) != "10000")
                    continue;
                ++acknowledged;
                // The row as stored: serial, then the transfer date.
                if (!durable(e[17] + "20241105")) {
                    ++notDurable;
                    std::lock_guard<std::mutex> lock(failMutex);
                    if (firstFailure.empty())
                        firstFailure = e[17];
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(acknowledged.load(), kThreads * kEach);
    EXPECT_EQ(notDurable.load(), 0) << "acknowledged before its sync: " << firstFailure;
    EXPECT_EQ(balance(leeA), 300'000 + 1000 * acknowledged.load());

    // Each transfer is one write, its execution: its check (the password
    // right) reads, its quote waits in memory. Each account took one write
    // to open, and its first check two more to move its password from
    // Argon2id to the keyed hash (attempt, then outcome with the new hash).
    // In parallel the writes share groups and syncs.
    const auto after = bank.store->writeStats();
    const auto writes = after.writes - before.writes, synced = after.synced - before.synced;
    EXPECT_EQ(writes, static_cast<std::uint64_t>(kThreads * kEach + 3 * kThreads));
    EXPECT_LT(synced, writes);
    EXPECT_GE(walSyncs() - walSyncsBefore, static_cast<int>(synced));
}

TEST_F(DurableTransfers, AQuoteWaitsForTheNextSyncButAWrongPasswordsCountDoesNot)
{
    if (bank.store->engine() != DbEngine::Sqlite)
        GTEST_SKIP() << "watches SQLite's file syncs";
    auto notice = [&](const std::string& body, Durability d, bool askSync = false) {
        bank.store->write([&](Db& db) {
            db.prepare("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', 'd', ?1)").bind(1, body).run();
            if (askSync)
                db.syncBeforeReply();
        }, d);
    };
    // A write that may wait is committed, seen at once, and not yet on disk;
    // the next synced write takes it there with its own.
    notice("later-one", Durability::WithNextSync);
    EXPECT_FALSE(durable("later-one"));
    EXPECT_EQ(bank.store->read([](Db& db) {
        auto s = db.prepare("SELECT count(*) FROM notices WHERE body = 'later-one'");
        s.step();
        return s.integer(0);
    }), 1);
    notice("synced-one", Durability::Synced);
    EXPECT_TRUE(durable("synced-one"));
    EXPECT_TRUE(durable("later-one"));
    // One that asks for a sync from inside is on disk when it returns.
    notice("asked-one", Durability::WithNextSync, true);
    EXPECT_TRUE(durable("asked-one"));

    // A transfer's check: its quote is not yet on disk, the execution's sync
    // takes both there.
    const std::string from = addAccount("KIM", "110-900-000777", 100'000);
    ASSERT_EQ(echoOf(check(keyKim, "KIM", from, leeA, "1000")).size(), 19u);  // the password moves to the keyed hash
    auto e = echoOf(check(keyKim, "KIM", from, leeA, "2000"));
    ASSERT_EQ(e.size(), 19u);
    EXPECT_FALSE(durable(e[17]));
    ASSERT_EQ(code(executeWithCard(keyKim, e)), "10000");
    EXPECT_TRUE(durable(e[17] + "20241105"));
    EXPECT_TRUE(durable(e[17]));

    // A wrong password's count is on disk before its refusal is sent: a
    // power cut must not give back the attempt. The lock row as stored with
    // a count of two: kind, subject, then the count's one byte.
    const std::string twoFailures = std::string("account") + from + '\x02';
    EXPECT_NE(code(check(keyKim, "KIM", from, leeA, "1000", "20", "20241105", "9999")), "10000");
    EXPECT_FALSE(durable(twoFailures));
    EXPECT_NE(code(check(keyKim, "KIM", from, leeA, "1000", "20", "20241105", "9998")), "10000");
    EXPECT_TRUE(durable(twoFailures));
}

TEST_F(DurableTransfers, AFailingWriteRollsBackOnlyItselfInItsGroup)
{
    constexpr int kThreads = 8;
    // A write that holds the writer until the others are all waiting: they
    // then make one group, half of them failing.
    std::atomic<bool> held{false}, release{false};
    std::thread gate([&] {
        bank.store->write([&](Db&) {
            held = true;
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    });
    while (!held)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<std::thread> threads;
    std::atomic<int> thrown{0};
    std::mutex tokensMutex;
    std::vector<std::string> tokens;  // what the kept writes returned
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            try {
                // A value of its own run: a write that runs again returns the
                // value of the run that was committed.
                std::string token = bank.store->write([&](Db& db) {
                    static std::atomic<int> runs{0};
                    std::string body = "run" + std::to_string(++runs);
                    db.prepare("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', 'g', ?1)")
                        .bind(1, body)
                        .run();
                    if (t % 2)
                        throw DbError("refused half-way");
                    return body;
                });
                std::lock_guard<std::mutex> lock(tokensMutex);
                tokens.push_back(token);
            } catch (const DbError&) {
                ++thrown;
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    release = true;
    gate.join();
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(thrown.load(), kThreads / 2);
    int kept = bank.store->read([](Db& db) {
        auto s = db.prepare("SELECT count(*) FROM notices WHERE title = 'g'");
        s.step();
        return static_cast<int>(s.integer(0));
    });
    EXPECT_EQ(kept, kThreads / 2);
    ASSERT_EQ(tokens.size(), static_cast<std::size_t>(kThreads / 2));
    for (const std::string& token : tokens)
        EXPECT_EQ(bank.store->read([&](Db& db) {
            auto s = db.prepare("SELECT count(*) FROM notices WHERE title = 'g' AND body = ?1");
            s.bind(1, token);
            s.step();
            return s.integer(0);
        }),
                  1)
            << token;
    // A write from inside a write joins it, and its failure stays its own.
    bank.store->write([&](Db&) {
        EXPECT_THROW(bank.store->write([](Db& db) {
            db.exec("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', 'nest1', 'b')");
            throw DbError("inner");
        }),
                     DbError);
        bank.store->write([](Db& db) {
            db.exec("INSERT INTO notices (posted_on, title, body) VALUES ('20240101', 'nest2', 'b')");
        });
    });
    auto titled = [&](const char* title) {
        return bank.store->read([&](Db& db) {
            auto s = db.prepare("SELECT count(*) FROM notices WHERE title = ?1");
            s.bind(1, title);
            s.step();
            return s.integer(0);
        });
    };
    EXPECT_EQ(titled("nest1"), 0);
    EXPECT_EQ(titled("nest2"), 1);
}

// A commit's WAL frames (two writes each from SQLite) reach the file in a few
// large writes, and nothing of them is missing from the file or unsynced when
// the commit returns, or when another connection reads them.
TEST_F(WalBatching, ACommitsFramesGoOutInFewWritesAndAreWholeForOtherConnections)
{
    const std::string path = dir.str("b.db");
    Db writer(path, true);
    writer.exec("CREATE TABLE t (id INTEGER PRIMARY KEY, body TEXT NOT NULL)");
    const std::string body(3000, 'b');  // about a page each
    auto insert = [&](int from, int count) {
        Transaction tx(writer);
        for (int i = from; i < from + count; ++i)
            writer.prepare("INSERT INTO t (id, body) VALUES (?1, ?2)").bind(1, i).bind(2, body).run();
        tx.commit();
    };
    const int writesBefore = walWrites(), syncsBefore = walSyncs();
    const std::uint64_t callsBefore = walWriteCalls();
    insert(0, 60);  // 60 pages and more, about 250 KiB
    EXPECT_GE(walWrites() - writesBefore, 120);  // SQLite's: a frame header and a page each
    EXPECT_LE(walWriteCalls() - callsBefore, 8u);  // the file's
    EXPECT_GE(walSyncs() - syncsBefore, 1);

    // A connection that does not sync: each commit is still whole in the
    // file before another connection can see it.
    writer.exec("PRAGMA synchronous=OFF");
    Db reader(path, false);
    for (int round = 0; round < 50; ++round) {
        insert(1000 + round * 7, 7);
        ASSERT_EQ(countOf(reader, "SELECT count(*) FROM t"), 60 + 7 * (round + 1));
        ASSERT_EQ(countOf(reader, "SELECT sum(length(body)) FROM t"), 3000 * (60 + 7 * (round + 1)));
    }
    // A transaction larger than what is gathered at once, and one rolled back.
    writer.exec("PRAGMA synchronous=FULL");
    insert(5000, 800);  // about 3 MiB
    {
        Transaction tx(writer);
        for (int i = 9000; i < 9500; ++i)
            writer.prepare("INSERT INTO t (id, body) VALUES (?1, ?2)").bind(1, i).bind(2, body).run();
    }
    EXPECT_EQ(countOf(reader, "SELECT count(*) FROM t"), 60 + 350 + 800);
    auto check = reader.prepare("PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
}
