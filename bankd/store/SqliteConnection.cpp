#include "SqliteConnection.h"

#include <sqlite3.h>

namespace bankd {

namespace {
[[noreturn]] void fail(sqlite3* db, const std::string& what)
{
    throw DbError(what + ": " + (db ? sqlite3_errmsg(db) : "no connection"));
}

class SqliteStatement : public DbStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &st_, nullptr) != SQLITE_OK)
            fail(db, "prepare failed");
    }
    ~SqliteStatement() override { sqlite3_finalize(st_); }

    void bind(int i, std::int64_t v) override
    {
        if (sqlite3_bind_int64(st_, i, v) != SQLITE_OK)
            fail(db_, "bind failed");
    }
    void bind(int i, std::string_view v) override
    {
        if (sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) != SQLITE_OK)
            fail(db_, "bind failed");
    }
    void bindNull(int i) override
    {
        if (sqlite3_bind_null(st_, i) != SQLITE_OK)
            fail(db_, "bind failed");
    }
    bool step() override
    {
        int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        fail(db_, "step failed");
    }
    void reset() override
    {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }
    std::int64_t integer(int col) const override { return sqlite3_column_int64(st_, col); }
    std::string text(int col) const override
    {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(st_, col))) : std::string();
    }
    bool isNull(int col) const override { return sqlite3_column_type(st_, col) == SQLITE_NULL; }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};
} // namespace

SqliteConnection::SqliteConnection(const std::string& path, bool create)
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

SqliteConnection::~SqliteConnection()
{
    sqlite3_close_v2(db_);
}

void SqliteConnection::exec(const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw DbError(std::string("SQL failed: ") + msg);
    }
}

std::unique_ptr<DbStatement> SqliteConnection::prepare(std::string_view sql)
{
    return std::make_unique<SqliteStatement>(db_, sql);
}

int SqliteConnection::changes() const
{
    return sqlite3_changes(db_);
}

int SqliteConnection::userVersion()
{
    SqliteStatement s(db_, "PRAGMA user_version");
    s.step();
    return static_cast<int>(s.integer(0));
}

void SqliteConnection::setUserVersion(int v)
{
    // PRAGMA takes no parameters; v is an integer we produce, not input.
    exec(("PRAGMA user_version=" + std::to_string(v)).c_str());
}

bool SqliteConnection::inTransaction() const
{
    // After an I/O or full-disk error SQLite may have ended the transaction itself.
    return !sqlite3_get_autocommit(db_);
}

} // namespace bankd
