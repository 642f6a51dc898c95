#pragma once
// The bank's database: one SQLite file in WAL mode or a PostgreSQL database,
// a pool of connections for the server's serving threads, and one database
// transaction per business operation (write() / read()).
//
// A write is durable before write() returns, unless it is made as one that
// may wait for the next sync (Durability::WithNextSync).
//
// SQLite: writes are committed in groups. One writer thread takes every write
// that arrived while the previous group was being synced, runs them in one
// transaction, commits and syncs once, then releases their callers. Writes
// that may wait for the next sync go first, in a transaction of their own
// that is committed without a sync, and their callers are released at once. A write
// that throws fails alone: the transaction is rolled back and the group's
// other writes run again, each in its own savepoint (so a write function may
// run more than once, as on PostgreSQL; only one run is ever committed). The WAL
// is copied into the database by a checkpoint thread of its own, beside the
// writer; only when the WAL has grown far past its usual size does the
// writer stop to copy it itself.
//
// PostgreSQL: each write is one SERIALIZABLE transaction on a pooled
// connection of the calling thread (the server groups the WAL flushes of
// concurrent commits). Several Store objects, in one process or on several
// machines, may share the database. A write that loses a serialisation
// conflict or a deadlock was rolled back whole and runs again, so a write
// function must do nothing outside the database that a second run would
// repeat (it may run more than once; only one run is ever committed).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "PasswordHash.h"
#include "SecretKeys.h"
#include "Sqlite.h"

namespace bankd {

// Where the bank's rows are: the SQLite file at `path`, or, when `postgres`
// is set, the PostgreSQL database that connection string names. The key file
// is beside `path` either way.
// When a write must be on disk. Synced: before write() returns. WithNextSync:
// committed and seen by every reader at once, on disk with the next synced
// write (commits reach the disk in their order) or the next checkpoint; a
// crash of the process loses nothing, a power failure may lose it. For what
// the bank can lose without harm to anyone, such as a transfer's quote: an
// execution that finds its quote gone is refused and the customer checks
// again. A write of that kind that must be on disk after all (a wrong
// secret's count) asks with Db::syncBeforeReply().
enum class Durability { Synced, WithNextSync };

class QuoteBook;

struct StoreLocation {
    std::string path;
    std::string postgres;
};

class Store {
public:
    // Opens an existing database and migrates it to this build's schema.
    // Throws SchemaTooNew, ForeignDatabase or DbError (also when the key file
    // is missing or damaged while the database holds what it protects).
    static std::unique_ptr<Store> open(const StoreLocation& where, HashCost cost = HashCost::standard());
    static std::unique_ptr<Store> open(const std::string& path, HashCost cost = HashCost::standard())
    {
        return open(StoreLocation{path, {}}, cost);
    }
    // Creates a new database (refuses an existing one).
    static std::unique_ptr<Store> create(const StoreLocation& where, HashCost cost = HashCost::standard());
    static std::unique_ptr<Store> create(const std::string& path, HashCost cost = HashCost::standard())
    {
        return create(StoreLocation{path, {}}, cost);
    }

    ~Store();

    // A connection borrowed from the pool; returned when it goes out of scope.
    class Lease {
    public:
        Lease(Store& s, std::unique_ptr<Db> db) : store_(s), db_(std::move(db)) {}
        ~Lease() { store_.giveBack(std::move(db_)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Db& db() { return *db_; }

    private:
        Store& store_;
        std::unique_ptr<Db> db_;
    };
    Lease lease();

    // Runs f(Db&) as one atomic write and returns once it is committed and,
    // by default, synced to disk; an exception rolls f's writes back and
    // propagates. SQLite: f runs on the writer thread, serialised with every
    // other write. PostgreSQL: f runs on the calling thread and may run again
    // after a serialisation conflict. A write() from inside f joins the
    // enclosing write (and makes it Synced when it is).
    template <class F>
    auto write(F&& f, Durability durability = Durability::Synced)
    {
        using R = std::invoke_result_t<F&, Db&>;
        if constexpr (std::is_void_v<R>) {
            runWrite([&](Db& db) { f(db); }, durability);
        } else {
            std::optional<R> r;
            runWrite([&](Db& db) { r.emplace(f(db)); }, durability);
            return std::move(*r);
        }
    }

    // Runs f(Db&) on one consistent snapshot.
    template <class F>
    auto read(F&& f)
    {
        Lease l = lease();
        l.db().beginRead();
        struct End {
            Db& db;
            ~End()
            {
                try {
                    db.execKept("COMMIT");
                } catch (...) {
                }
            }
        } end{l.db()};
        return f(l.db());
    }

    // Declares that this process alone serves the database (one node, no
    // other process writing it), or no longer. Alone, open quotes are kept in
    // this process's memory instead of written (a check writes nothing), and
    // a secret's checks are taken in turn within the process instead of in
    // the writes that count them (guard::checkInTurn).
    void setServesAlone(bool alone);
    bool servesAlone() const { return alone_.load(std::memory_order_relaxed); }

    const HashCost& hashCost() const { return cost_; }
    const std::string& path() const { return path_; }
    DbEngine engine() const { return postgres_.empty() ? DbEngine::Sqlite : DbEngine::Postgres; }
    // The keys of the key file beside the database (see SecretKeys).
    const SecretKeys& keys() const { return keys_; }

    // Groups committed, the groups synced, writes carried so far (on
    // PostgreSQL every write is its own group), and writes run again after a
    // serialisation conflict.
    struct WriteStats {
        std::uint64_t groups = 0;
        std::uint64_t synced = 0;
        std::uint64_t writes = 0;
        std::uint64_t retries = 0;
    };
    WriteStats writeStats() const;

    // Where a security card cell belongs, as its sealed value is bound to it.
    static std::string cellPlace(std::int64_t customerId, int cell);

private:
    struct Job;
    Store(StoreLocation where, HashCost cost);
    void giveBack(std::unique_ptr<Db> db);
    std::unique_ptr<Db> connect(bool create) const;
    // The book the connections' quotes go to now (null: rows).
    QuoteBook* quoteBookInUse() const;
    void runWrite(const std::function<void(Db&)>& f, Durability durability);
    void runWriteHere(const std::function<void(Db&)>& f, Durability durability);
    // Commits the group, syncing it when one of its writes must be on disk.
    // False when nothing was synced.
    bool commitGroupSynced(Db& db, std::vector<Job*>& group);
    void startWriter();
    void writerLoop();
    void commitGroup(Db& db, std::vector<Job*>& group);
    // Counts the group and wakes its callers.
    void finish(const std::vector<Job*>& group, bool synced);
    // The group's writes in one transaction without a savepoint each (a
    // savepoint keeps a copy of every page its write changes), committed.
    // False when one threw: that one has its error, nothing was committed.
    bool commitWhole(Db& db, std::vector<Job*>& group);
    // Each write in a savepoint of its own: one that throws rolls back alone.
    void commitInSavepoints(Db& db, std::vector<Job*>& group);
    void checkpointerLoop(std::unique_ptr<Db> db);

    std::string path_;
    std::string postgres_;
    HashCost cost_;
    SecretKeys keys_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Db>> idle_;
    std::unique_ptr<QuoteBook> quoteBook_;
    std::atomic<bool> alone_{false};

    mutable std::mutex writeMutex_;
    std::condition_variable writeWake_;       // the writer: writes pending
    std::condition_variable checkpointWake_;  // the checkpointer: the WAL has grown
    std::vector<Job*> pending_;
    bool stopping_ = false;
    bool checkpointWanted_ = false;
    WriteStats stats_;
    std::mutex checkpointMutex_;  // held while a checkpoint runs
    std::thread writer_;
    std::thread checkpointer_;
};

} // namespace bankd
