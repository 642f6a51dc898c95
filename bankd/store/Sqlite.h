#pragma once
// Thin RAII layer over SQLite: a connection, prepared statements with bound
// parameters (the only way SQL receives values here) and a transaction guard.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace bankd {

class DbError : public std::runtime_error {
public:
    explicit DbError(const std::string& what) : std::runtime_error(what) {}
};

class Stmt;
class SecretKeys;

class Db {
public:
    // Opens (creating when asked) the database file; WAL journal, foreign keys
    // on, a busy time-out so writers queue instead of failing.
    Db(const std::string& path, bool create);
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    void exec(const char* sql);  // statements without values only
    Stmt prepare(std::string_view sql);
    std::int64_t lastInsertId() const;
    int changes() const;
    int userVersion();
    void setUserVersion(int v);
    sqlite3* handle() const { return db_; }

    // The server's keys, for values sealed in the database (set by the Store
    // on its connections). Throws DbError on a connection without them.
    void setKeys(const SecretKeys* keys) { keys_ = keys; }
    const SecretKeys& keys() const;

private:
    sqlite3* db_ = nullptr;
    const SecretKeys* keys_ = nullptr;
};

class Stmt {
public:
    Stmt(sqlite3* db, std::string_view sql);
    ~Stmt();
    Stmt(Stmt&& o) noexcept : db_(o.db_), st_(o.st_) { o.st_ = nullptr; }
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
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

// BEGIN IMMEDIATE on construction, ROLLBACK unless commit() was called.
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
