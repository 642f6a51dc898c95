#include "Store.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "QuoteBook.h"
#include "Schema.h"
#include "SqliteConnection.h"

namespace bankd {

namespace fs = std::filesystem;

namespace {
// Most writes one group carries; the rest wait for the next sync.
constexpr std::size_t kMaxGroup = 256;
// Runs of one write that lose a serialisation conflict before it gives up.
constexpr int kMaxRuns = 64;
// The WAL is copied into the database by the checkpoint thread each time it
// has grown by kCheckpointPages. It starts again from its beginning only when
// a write begins with all of it copied, which a checkpoint running beside the
// writer rarely achieves: so after every kWriterCheckpointPages the writer
// pauses to copy the rest itself, and the WAL then starts again.
constexpr int kCheckpointPages = 1000;
constexpr int kWriterCheckpointPages = 4000;
// How long the writer then waits for readers of older snapshots (most reads
// take microseconds; a long one only delays the WAL's new start).
constexpr int kRestartWaitMs = 20;

// Set on the writer thread while a write runs: a write() from inside joins it.
thread_local Db* tlWriterDb = nullptr;

// Runs f in a savepoint of the open transaction: kept on success, rolled back
// (and the exception returned) on failure.
std::exception_ptr inSavepoint(Db& db, const std::function<void(Db&)>& f)
{
    db.execKept("SAVEPOINT w");
    try {
        f(db);
        db.execKept("RELEASE w");
        return nullptr;
    } catch (...) {
        std::exception_ptr e = std::current_exception();
        // After an I/O or full-disk error SQLite may have ended the whole
        // transaction; the group commit notices that. A serialisation
        // conflict dooms the whole PostgreSQL transaction: it runs again.
        try {
            std::rethrow_exception(e);
        } catch (const DbError& x) {
            if (x.retryable())
                return e;
        } catch (...) {
        }
        if (db.inTransaction()) {
            try {
                db.execKept("ROLLBACK TO w");
                db.execKept("RELEASE w");
            } catch (...) {
            }
        }
        return e;
    }
}
// COMMIT; when it fails, ROLLBACK and the failure (nothing was committed).
std::exception_ptr commitOrRollBack(Db& db)
{
    try {
        db.execKept("COMMIT");
        return nullptr;
    } catch (...) {
        std::exception_ptr e = std::current_exception();
        try {
            db.execKept("ROLLBACK");
        } catch (...) {
        }
        return e;
    }
}
} // namespace

struct Store::Job {
    const std::function<void(Db&)>* f = nullptr;
    Durability durability = Durability::Synced;
    std::exception_ptr error;
    bool done = false;
    std::condition_variable wake;  // its caller, once done
};

Store::Store(StoreLocation where, HashCost cost)
    : path_(std::move(where.path)), postgres_(std::move(where.postgres)), cost_(cost),
      quoteBook_(std::make_unique<QuoteBook>())
{
}

void Store::setServesAlone(bool alone)
{
    alone_.store(alone, std::memory_order_relaxed);
}

QuoteBook* Store::quoteBookInUse() const
{
    return servesAlone() ? quoteBook_.get() : nullptr;
}

Store::~Store()
{
    {
        std::lock_guard<std::mutex> lock(writeMutex_);
        stopping_ = true;
    }
    writeWake_.notify_all();
    checkpointWake_.notify_all();
    if (writer_.joinable())
        writer_.join();
    if (checkpointer_.joinable())
        checkpointer_.join();
}

Store::WriteStats Store::writeStats() const
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    return stats_;
}

void Store::runWrite(const std::function<void(Db&)>& f, Durability durability)
{
    if (tlWriterDb) {
        if (durability == Durability::Synced)
            tlWriterDb->syncBeforeReply();
        if (std::exception_ptr e = inSavepoint(*tlWriterDb, f))
            std::rethrow_exception(e);
        return;
    }
    if (engine() == DbEngine::Postgres) {
        runWriteHere(f, durability);
        return;
    }
    Job job;
    job.f = &f;
    job.durability = durability;
    std::unique_lock<std::mutex> lock(writeMutex_);
    if (stopping_)
        throw DbError("the database is closing");
    pending_.push_back(&job);
    if (pending_.size() == 1)
        writeWake_.notify_one();  // the writer sleeps only while nothing is pending
    job.wake.wait(lock, [&] { return job.done; });
    lock.unlock();
    if (job.error)
        std::rethrow_exception(job.error);
}

void Store::runWriteHere(const std::function<void(Db&)>& f, Durability durability)
{
    thread_local std::minstd_rand jitter{std::random_device{}()};
    bool synced = true;
    for (int run = 1;; ++run) {
        Lease l = lease();
        Db& db = l.db();
        try {
            db.beginWrite();
            db.takeSyncAsked();
            tlWriterDb = &db;
            f(db);
            tlWriterDb = nullptr;
            // Commits that do not wait for their WAL flush still reach the
            // disk in order, before any later one that waits.
            synced = durability == Durability::Synced || db.takeSyncAsked();
            if (!synced)
                db.execKept("SET LOCAL synchronous_commit = off");
            db.execKept("COMMIT");
        } catch (const DbError& e) {
            tlWriterDb = nullptr;
            if (db.inTransaction()) {
                try {
                    db.execKept("ROLLBACK");
                } catch (...) {
                }
            }
            // Only a conflict the server rolled back is run again: after any
            // other failure (a lost connection during COMMIT above all) the
            // outcome is not known and the write is not repeated.
            if (!e.retryable() || run >= kMaxRuns)
                throw;
            {
                std::lock_guard<std::mutex> lock(writeMutex_);
                ++stats_.retries;
            }
            // Conflicting writers back off for different times, longer each
            // run (a hot row under many writers clears in turn instead of
            // failing the same writer run after run).
            std::this_thread::sleep_for(std::chrono::microseconds(
                std::uniform_int_distribution<int>(0, std::min(200 << std::min(run, 8), 40'000))(jitter)));
            continue;
        } catch (...) {
            tlWriterDb = nullptr;
            if (db.inTransaction()) {
                try {
                    db.execKept("ROLLBACK");
                } catch (...) {
                }
            }
            throw;
        }
        std::lock_guard<std::mutex> lock(writeMutex_);
        ++stats_.groups;
        stats_.synced += synced ? 1 : 0;
        ++stats_.writes;
        return;
    }
}

void Store::writerLoop()
{
    // The WAL's pages after the last commit, and when to act on them
    // (declared before the connection that reports them).
    struct {
        int pages = 0;
        int askAt = kCheckpointPages;
        int selfAt = kWriterCheckpointPages;
    } wal;
    std::unique_ptr<Db> db;
    std::exception_ptr openError;
    try {
        db = connect(false);
        // Every write passes here: its pages stay cached (64 MiB at most).
        db->exec("PRAGMA cache_size=-65536");
    } catch (...) {
        openError = std::current_exception();
    }
    if (db) {
        static_cast<SqliteConnection&>(db->connection()).onCommitted([&](int pages) {
            if (pages < wal.pages) {  // the WAL started again
                wal.askAt = kCheckpointPages;
                wal.selfAt = kWriterCheckpointPages;
            }
            wal.pages = pages;
            if (pages < wal.askAt)
                return;
            wal.askAt = pages + kCheckpointPages;
            std::lock_guard<std::mutex> lock(writeMutex_);
            checkpointWanted_ = true;
            checkpointWake_.notify_one();
        });
    }
    std::vector<Job*> group, early;
    for (;;) {
        if (db && wal.pages >= wal.selfAt) {
            // Next time only after as many pages again: a reader still on an
            // old snapshot can keep a checkpoint from finishing.
            wal.selfAt = wal.pages + kWriterCheckpointPages;
            std::lock_guard<std::mutex> ck(checkpointMutex_);
            try {
                static_cast<SqliteConnection&>(db->connection()).checkpointAndRestart(kRestartWaitMs);
            } catch (...) {
                // The WAL goes on growing; readers still see every commit.
            }
        }
        {
            std::unique_lock<std::mutex> lock(writeMutex_);
            writeWake_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
            if (pending_.empty())
                return;  // stopping, nothing left to write
            std::size_t n = std::min(pending_.size(), kMaxGroup);
            group.assign(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
        }
        if (!db) {
            for (Job* j : group)
                j->error = openError;
            finish(group, false);
            continue;
        }
        db->setQuoteBook(quoteBookInUse());
        // Writes that may wait for the next sync go first, in a commit of
        // their own that does not sync, and their callers are answered at
        // once instead of waiting for the others' sync.
        auto split = std::stable_partition(group.begin(), group.end(),
                                           [](const Job* j) { return j->durability == Durability::WithNextSync; });
        if (split != group.begin() && split != group.end()) {
            early.assign(group.begin(), split);
            group.erase(group.begin(), split);
            finish(early, commitGroupSynced(*db, early));
        }
        finish(group, commitGroupSynced(*db, group));
    }
}

void Store::finish(const std::vector<Job*>& group, bool synced)
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    ++stats_.groups;
    stats_.synced += synced ? 1 : 0;
    stats_.writes += group.size();
    // Woken under the lock: a caller cannot see done, return and destroy its
    // job before its wake-up is sent.
    for (Job* j : group) {
        j->done = true;
        j->wake.notify_one();
    }
}

void Store::checkpointerLoop(std::unique_ptr<Db> db)
{
    if (!db)
        return;  // the writer checkpoints itself once the WAL is long
    auto& sqlite = static_cast<SqliteConnection&>(db->connection());
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(writeMutex_);
            checkpointWake_.wait(lock, [&] { return stopping_ || checkpointWanted_; });
            if (stopping_)
                return;
            checkpointWanted_ = false;
        }
        std::lock_guard<std::mutex> ck(checkpointMutex_);
        try {
            sqlite.checkpoint();
        } catch (...) {
            // Asked again after the next commit.
        }
    }
}

bool Store::commitGroupSynced(Db& db, std::vector<Job*>& group)
{
    auto& sqlite = static_cast<SqliteConnection&>(db.connection());
    // A group that carries only writes that may wait commits without a sync
    // of its own: the next synced group's sync, or a checkpoint, takes it to
    // disk (the WAL is synced as a whole, in the order of its commits).
    const bool synced =
        std::any_of(group.begin(), group.end(), [](const Job* j) { return j->durability == Durability::Synced; });
    try {
        sqlite.syncCommits(synced);
    } catch (...) {
        for (Job* j : group)
            j->error = std::current_exception();
        return false;
    }
    db.takeSyncAsked();
    commitGroup(db, group);
    if (synced || !db.takeSyncAsked())
        return synced;
    // One of the writes asked to be on disk before its reply after all.
    if (std::none_of(group.begin(), group.end(), [](const Job* j) { return !j->error; }))
        return false;
    try {
        sqlite.syncWal();
    } catch (...) {
        // Committed, and seen by others, but perhaps not on disk: its callers
        // are not told it is done.
        for (Job* j : group)
            if (!j->error)
                j->error = std::current_exception();
    }
    return true;
}

void Store::commitGroup(Db& db, std::vector<Job*>& group)
{
    if (commitWhole(db, group))
        return;
    // One write threw and the transaction was rolled back: the others run
    // again, each in a savepoint of its own this time.
    std::vector<Job*> rest;
    for (Job* j : group)
        if (!j->error)
            rest.push_back(j);
    commitInSavepoints(db, rest);
}

bool Store::commitWhole(Db& db, std::vector<Job*>& group)
{
    try {
        db.execKept("BEGIN IMMEDIATE");
    } catch (...) {
        for (Job* j : group)
            j->error = std::current_exception();
        return true;
    }
    tlWriterDb = &db;
    for (Job* j : group) {
        try {
            (*j->f)(db);
        } catch (...) {
            tlWriterDb = nullptr;
            j->error = std::current_exception();
            if (db.inTransaction()) {
                try {
                    db.execKept("ROLLBACK");
                } catch (...) {
                }
            }
            return false;
        }
    }
    tlWriterDb = nullptr;
    if (std::exception_ptr e = commitOrRollBack(db))
        for (Job* j : group)
            j->error = e;
    return true;
}

void Store::commitInSavepoints(Db& db, std::vector<Job*>& group)
{
    std::size_t first = 0;  // the jobs before `first` are settled in an earlier transaction
    while (first < group.size()) {
        try {
            db.execKept("BEGIN IMMEDIATE");
        } catch (...) {
            for (std::size_t i = first; i < group.size(); ++i)
                group[i]->error = std::current_exception();
            return;
        }
        std::size_t i = first;
        bool lost = false;  // SQLite ended the transaction itself
        tlWriterDb = &db;
        for (; i < group.size(); ++i) {
            group[i]->error = inSavepoint(db, *group[i]->f);
            if (group[i]->error && !db.inTransaction()) {
                lost = true;
                break;
            }
        }
        tlWriterDb = nullptr;
        if (lost) {
            // Everything this transaction carried is gone: those writes fail
            // with the same error, and the rest go on in a new transaction.
            for (std::size_t k = first; k < i; ++k)
                if (!group[k]->error)
                    group[k]->error = group[i]->error;
            first = i + 1;
            continue;
        }
        if (std::exception_ptr e = commitOrRollBack(db))
            for (std::size_t k = first; k < group.size(); ++k)
                if (!group[k]->error)
                    group[k]->error = e;
        return;
    }
}

namespace {
// Something in the database that only the key file opens.
bool holdsKeyedSecrets(Db& db)
{
    auto s = db.prepare(
        "SELECT EXISTS (SELECT 1 FROM accounts WHERE substr(pwd_hash, 1, 5) = '$bk1$') "
        "OR EXISTS (SELECT 1 FROM security_cards WHERE substr(value, 1, 3) = 'v1$')");
    return s.step() && s.integer(0) != 0;
}

SecretKeys loadKeys(const std::string& path)
{
    try {
        return SecretKeys::loadOrCreate(path);
    } catch (const std::exception& e) {
        throw DbError(e.what());
    }
}

// The database and its WAL and index files are the server's alone. SQLite
// gives the WAL and index files the database file's mode.
void restrictFiles(const std::string& path)
{
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"})
        if (fs::exists(path + suffix, ec))
            fs::permissions(path + suffix, fs::perms::owner_read | fs::perms::owner_write, ec);
}

// Security card cells written before cells were sealed: sealed in place.
void sealPlainCells(Db& db, const SecretKeys& keys)
{
    Transaction tx(db);
    auto s = db.prepare("SELECT customer_id, cell, value FROM security_cards WHERE substr(value, 1, 3) <> 'v1$'");
    auto u = db.prepare("UPDATE security_cards SET value = ?3 WHERE customer_id = ?1 AND cell = ?2");
    while (s.step()) {
        u.reset();
        u.bind(1, s.integer(0)).bind(2, s.integer(1)).bind(3, keys.seal(s.text(2), Store::cellPlace(s.integer(0), static_cast<int>(s.integer(1)))));
        u.run();
    }
    tx.commit();
}
} // namespace

std::string Store::cellPlace(std::int64_t customerId, int cell)
{
    return "security-card:" + std::to_string(customerId) + ":" + std::to_string(cell);
}

std::unique_ptr<Db> Store::connect(bool create) const
{
    auto db = postgres_.empty() ? std::make_unique<Db>(path_, create) : Db::postgres(postgres_);
    db->setKeys(&keys_);
    return db;
}

void Store::startWriter()
{
    // PostgreSQL writes run on their callers' threads.
    if (engine() == DbEngine::Sqlite) {
        writer_ = std::thread([this] { writerLoop(); });
        // Connected here, not on its thread: the store is ready, connections
        // and all, once it is returned.
        std::unique_ptr<Db> db;
        try {
            db = connect(false);
        } catch (...) {
        }
        checkpointer_ = std::thread([this, d = std::move(db)]() mutable { checkpointerLoop(std::move(d)); });
    }
}

std::unique_ptr<Store> Store::open(const StoreLocation& where, HashCost cost)
{
    const std::string& path = where.path;
    std::unique_ptr<Store> s(new Store(where, cost));
    std::unique_ptr<Db> db;
    if (where.postgres.empty()) {
        if (!fs::exists(path))
            throw DbError("no database at " + path);
        restrictFiles(path);
        db = s->connect(false);
    } else {
        db = s->connect(false);
        if (db->userVersion() == 0) {
            Schema::check(*db);
            throw DbError("no bank database in PostgreSQL (made by bankd init --postgres)");
        }
    }
    Schema::migrate(*db);
    const std::string keyPath = SecretKeys::pathFor(path);
    if (!fs::exists(keyPath) && holdsKeyedSecrets(*db))
        throw DbError("the key file " + keyPath + " is missing: without it no account password or security card "
                      "can be checked");
    s->keys_ = loadKeys(keyPath);
    sealPlainCells(*db, s->keys_);
    s->giveBack(std::move(db));
    s->startWriter();
    return s;
}

std::unique_ptr<Store> Store::create(const StoreLocation& where, HashCost cost)
{
    const std::string& path = where.path;
    std::unique_ptr<Store> s(new Store(where, cost));
    std::unique_ptr<Db> db;
    if (where.postgres.empty()) {
        if (fs::exists(path))
            throw DbError("a database already exists at " + path);
        s->keys_ = loadKeys(SecretKeys::pathFor(path));
        // Made 0600 before SQLite opens it, so its WAL and index files are too.
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            throw DbError("cannot create database " + path + ": " + std::strerror(errno));
        ::close(fd);
        db = s->connect(true);
    } else {
        db = s->connect(false);
        if (db->userVersion() != 0)
            throw DbError("the PostgreSQL database already holds a bank");
        Schema::check(*db);
        s->keys_ = loadKeys(SecretKeys::pathFor(path));
    }
    Schema::migrate(*db);
    s->giveBack(std::move(db));
    s->startWriter();
    return s;
}

Store::Lease Store::lease()
{
    std::unique_ptr<Db> db;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!idle_.empty()) {
            db = std::move(idle_.back());
            idle_.pop_back();
        }
    }
    if (!db)
        db = connect(false);
    db->setQuoteBook(quoteBookInUse());
    return Lease(*this, std::move(db));
}

void Store::giveBack(std::unique_ptr<Db> db)
{
    if (!db || !db->usable())
        return;
    if (db->inTransaction()) {
        try {
            db->execKept("ROLLBACK");
        } catch (...) {
            return;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    idle_.push_back(std::move(db));
}

} // namespace bankd
