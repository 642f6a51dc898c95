#pragma once
// The bank's database: one SQLite file in WAL mode, a pool of connections for
// the server's worker threads, and one database transaction per business
// operation (write() / read()).
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "PasswordHash.h"
#include "Sqlite.h"

namespace bankd {

class Store {
public:
    // Opens an existing database and migrates it to this build's schema.
    // Throws SchemaTooNew, ForeignDatabase or DbError.
    static std::unique_ptr<Store> open(const std::string& path, HashCost cost = HashCost::standard());
    // Creates a new database file (refuses an existing one).
    static std::unique_ptr<Store> create(const std::string& path, HashCost cost = HashCost::standard());

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

    // Runs f(Db&) inside one write transaction (BEGIN IMMEDIATE ... COMMIT);
    // an exception rolls everything back and propagates.
    template <class F>
    auto write(F&& f)
    {
        Lease l = lease();
        Transaction tx(l.db());
        if constexpr (std::is_void_v<decltype(f(l.db()))>) {
            f(l.db());
            tx.commit();
        } else {
            auto r = f(l.db());
            tx.commit();
            return r;
        }
    }

    // Runs f(Db&) on one consistent snapshot.
    template <class F>
    auto read(F&& f)
    {
        Lease l = lease();
        l.db().exec("BEGIN");
        struct End {
            Db& db;
            ~End()
            {
                try {
                    db.exec("COMMIT");
                } catch (...) {
                }
            }
        } end{l.db()};
        return f(l.db());
    }

    const HashCost& hashCost() const { return cost_; }
    const std::string& path() const { return path_; }

private:
    Store(std::string path, HashCost cost);
    void giveBack(std::unique_ptr<Db> db);

    std::string path_;
    HashCost cost_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Db>> idle_;
};

} // namespace bankd
