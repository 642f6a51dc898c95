#include "Sqlite.h"

#include <sqlite3.h>

namespace bankd {

namespace {
[[noreturn]] void fail(sqlite3* db, const std::string& what)
{
    throw DbError(what + ": " + (db ? sqlite3_errmsg(db) : "no connection"));
}
} // namespace

Db::Db(const std::string& path, bool create)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError("cannot open database " + path + ": " + msg);
    }
    sqlite3_busy_timeout(db_, 5000);
    exec("PRAGMA journal_mode=WAL");
    // FULL: a commit is on disk (the WAL synced) before COMMIT returns.
    exec("PRAGMA synchronous=FULL");
    exec("PRAGMA foreign_keys=ON");
}

Db::~Db()
{
    sqlite3_close_v2(db_);
}

const SecretKeys& Db::keys() const
{
    if (!keys_)
        throw DbError("this connection has no keys for sealed values");
    return *keys_;
}

void Db::exec(const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw DbError(std::string("SQL failed: ") + msg);
    }
}

Stmt Db::prepare(std::string_view sql)
{
    return Stmt(db_, sql);
}

std::int64_t Db::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

int Db::changes() const
{
    return sqlite3_changes(db_);
}

int Db::userVersion()
{
    Stmt s(db_, "PRAGMA user_version");
    s.step();
    return static_cast<int>(s.integer(0));
}

void Db::setUserVersion(int v)
{
    // PRAGMA takes no parameters; v is an integer we produce, not input.
    exec(("PRAGMA user_version=" + std::to_string(v)).c_str());
}

Stmt::Stmt(sqlite3* db, std::string_view sql) : db_(db)
{
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &st_, nullptr) != SQLITE_OK)
        fail(db, "prepare failed");
}

Stmt::~Stmt()
{
    sqlite3_finalize(st_);
}

Stmt& Stmt::bind(int i, std::int64_t v)
{
    if (sqlite3_bind_int64(st_, i, v) != SQLITE_OK)
        fail(db_, "bind failed");
    return *this;
}

Stmt& Stmt::bind(int i, std::string_view v)
{
    if (sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(db_, "bind failed");
    return *this;
}

Stmt& Stmt::bindNull(int i)
{
    if (sqlite3_bind_null(st_, i) != SQLITE_OK)
        fail(db_, "bind failed");
    return *this;
}

bool Stmt::step()
{
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_, "step failed");
}

void Stmt::run()
{
    while (step()) {
    }
}

void Stmt::reset()
{
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

std::int64_t Stmt::integer(int col) const
{
    return sqlite3_column_int64(st_, col);
}

std::string Stmt::text(int col) const
{
    auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(st_, col))) : std::string();
}

bool Stmt::isNull(int col) const
{
    return sqlite3_column_type(st_, col) == SQLITE_NULL;
}

Transaction::Transaction(Db& db) : db_(db)
{
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    db_.exec("COMMIT");
    done_ = true;
}

} // namespace bankd
