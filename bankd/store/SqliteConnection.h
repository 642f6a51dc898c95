#pragma once
// The embedded engine: one SQLite database file.
#include "DbConnection.h"

struct sqlite3;

namespace bankd {

class SqliteConnection : public DbConnection {
public:
    // WAL journal, commits synced before COMMIT returns, foreign keys on, a
    // busy time-out so writers queue instead of failing.
    SqliteConnection(const std::string& path, bool create);
    ~SqliteConnection() override;

    DbEngine engine() const override { return DbEngine::Sqlite; }
    void exec(const char* sql) override;
    std::unique_ptr<DbStatement> prepare(std::string_view sql) override;
    int changes() const override;
    int userVersion() override;
    void setUserVersion(int v) override;
    void beginWrite() override { exec("BEGIN IMMEDIATE"); }
    void beginRead() override { exec("BEGIN"); }
    bool inTransaction() const override;
    bool usable() const override { return db_ != nullptr; }

private:
    sqlite3* db_ = nullptr;
};

} // namespace bankd
