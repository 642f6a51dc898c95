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
#include <functional>
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

    // Commits on this connection stop checkpointing the WAL themselves (by
    // default the commit that takes the WAL past 1000 pages copies it into
    // the database and syncs it before it returns); after each commit
    // `committed` is told how many pages the WAL holds.
    void onCommitted(std::function<void(int walPages)> committed);
    // Copies into the database what the WAL holds and no reader still needs,
    // waiting for no one; the database file is synced before the WAL may be
    // reused. Returns false when another checkpoint was running.
    bool checkpoint();
    // The same, then waits up to `wait` for the readers of older snapshots to
    // finish, so that the next write starts the WAL again from its beginning
    // (readers that never pause would otherwise keep it growing). False when
    // it could not finish in time.
    bool checkpointAndRestart(int waitMs);

    // Whether a COMMIT on this connection syncs the WAL before it returns
    // (on by default). Off, the commit reaches the disk with the next sync of
    // the WAL: a crash of the process loses nothing, a power failure may.
    // Only between transactions.
    void syncCommits(bool on);
    // Syncs the WAL: every commit made so far is then on disk.
    void syncWal();

    // SQL texts this process has parsed on SQLite connections so far: kept
    // statements once, every exec() again.
    static std::uint64_t statementsPrepared();

    // The open database and its kept statements, shared with every statement
    // handed out: one that outlives its connection keeps the file open until
    // it is destroyed.
    class Handle;

private:
    std::shared_ptr<Handle> h_;
    std::function<void(int)> committed_;
    bool syncCommits_ = true;
};

} // namespace bankd
