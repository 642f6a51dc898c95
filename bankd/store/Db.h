#pragma once
// The database layer every part of bankd uses: a connection, prepared
// statements with bound parameters (the only way SQL receives values here)
// and a transaction guard, over one of two engines (DbConnection): an
// embedded SQLite file or a PostgreSQL server.
//
// SQL is written once for both: '?' or '?N' placeholders, BIGINT-sized
// integers, ON CONFLICT ... DO NOTHING/UPDATE, RETURNING for new ids, times
// computed in C++ and bound as text. Where a statement must differ, the
// caller asks engine().
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <string_view>

namespace bankd {

enum class DbEngine { Sqlite, Postgres };

class DbError : public std::runtime_error {
public:
    explicit DbError(const std::string& what, std::string state = {})
        : std::runtime_error(what), sqlstate(std::move(state))
    {
    }
    // The SQLSTATE the server gave (PostgreSQL), empty otherwise.
    std::string sqlstate;
    // A serialisation failure or deadlock: the transaction was rolled back
    // whole and may run again.
    bool retryable() const { return sqlstate == "40001" || sqlstate == "40P01"; }
};

class Stmt;
class SecretKeys;
class QuoteBook;
class DbConnection;
class DbStatement;

class Db {
public:
    // Opens (creating when asked) the SQLite database file; WAL journal,
    // foreign keys on, a busy time-out so writers queue instead of failing.
    Db(const std::string& path, bool create);
    // Connects to the PostgreSQL database a libpq connection string names.
    static std::unique_ptr<Db> postgres(const std::string& url);
    explicit Db(std::unique_ptr<DbConnection> c);
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    DbEngine engine() const;
    void exec(const char* sql);  // statements without values only
    // exec() for a text run again and again (BEGIN, COMMIT, ROLLBACK,
    // savepoints): kept prepared where the engine can, not parsed each time.
    void execKept(const char* sql);
    Stmt prepare(std::string_view sql);
    // Rows the last INSERT, UPDATE or DELETE changed.
    int changes() const;
    // The schema version reached (0: none yet) and the version to record.
    int userVersion();
    void setUserVersion(int v);

    // BEGIN for a write (SQLite: IMMEDIATE, taking the write lock; PostgreSQL:
    // SERIALIZABLE) or for a read of one snapshot.
    void beginWrite();
    void beginRead();
    bool inTransaction() const;
    // False once the connection is lost (it is then not pooled again).
    bool usable() const;

    // The server's keys, for values sealed in the database (set by the Store
    // on its connections). Throws DbError on a connection without them.
    void setKeys(const SecretKeys* keys) { keys_ = keys; }
    const SecretKeys& keys() const;

    // Asks, from inside a write, that this transaction be on disk before
    // its write() returns, even when the write was made as one that may wait
    // for the next sync (a wrong secret's count, for one). Cleared by the
    // Store at each commit.
    void syncBeforeReply() { syncAsked_ = true; }
    bool takeSyncAsked() { return std::exchange(syncAsked_, false); }

    // The open quotes kept in memory when one process alone serves the bank
    // (Store::setServesAlone), or null: they are then rows like the others.
    void setQuoteBook(QuoteBook* book) { quoteBook_ = book; }
    QuoteBook* quoteBook() const { return quoteBook_; }

    DbConnection& connection() { return *c_; }

private:
    std::unique_ptr<DbConnection> c_;
    const SecretKeys* keys_ = nullptr;
    QuoteBook* quoteBook_ = nullptr;
    bool syncAsked_ = false;
};

class Stmt {
public:
    explicit Stmt(std::unique_ptr<DbStatement> s);
    ~Stmt();
    Stmt(Stmt&& o) noexcept;
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    // Parameters are numbered from 1.
    Stmt& bind(int i, std::int64_t v);
    Stmt& bind(int i, int v) { return bind(i, static_cast<std::int64_t>(v)); }
    Stmt& bind(int i, std::string_view v);
    Stmt& bind(int i, const char* v) { return bind(i, std::string_view(v)); }
    Stmt& bind(int i, const std::string& v) { return bind(i, std::string_view(v)); }
    Stmt& bindNull(int i);

    bool step();  // true while a row is available
    void run();   // step to completion (statements without rows)
    void reset();

    // Columns are numbered from 0.
    std::int64_t integer(int col) const;
    std::string text(int col) const;
    bool isNull(int col) const;

private:
    std::unique_ptr<DbStatement> s_;
};

// beginWrite() on construction, ROLLBACK unless commit() was called.
class Transaction {
public:
    explicit Transaction(Db& db);
    ~Transaction();
    void commit();

private:
    Db& db_;
    bool done_ = false;
};

} // namespace bankd
