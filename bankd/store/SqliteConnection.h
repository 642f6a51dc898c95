#pragma once
// The embedded engine: one SQLite database file.
//
// Statements are kept prepared per connection and handed out again for the
// same SQL text (parsing and planning cost more than most queries here). A
// statement handed out is not handed out a second time until it is given
// back; a second user of the same text at once gets one of its own. Given
// back, a statement is reset and its values cleared, so it holds no read
// transaction open and leaks no value into its next use.
#include <cstdint>
#include <memory>

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
    void execKept(const char* sql) override;
    std::unique_ptr<DbStatement> prepare(std::string_view sql) override;
    int changes() const override;
    int userVersion() override;
    void setUserVersion(int v) override;
    void beginWrite() override { execKept("BEGIN IMMEDIATE"); }
    void beginRead() override { execKept("BEGIN"); }
    bool inTransaction() const override;
    bool usable() const override;

    // SQL texts this process has parsed on SQLite connections so far: kept
    // statements once, every exec() again.
    static std::uint64_t statementsPrepared();

    // The open database and its kept statements, shared with every statement
    // handed out: one that outlives its connection keeps the file open until
    // it is destroyed.
    class Handle;

private:
    std::shared_ptr<Handle> h_;
};

} // namespace bankd
