#include "SqliteConnection.h"

#include <atomic>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <sqlite3.h>

#include "WalWriteBatching.h"

namespace bankd {

namespace {
// Bounds of what one connection keeps: distinct texts, idle statements of one
// text (users of one text at once), idle statements in all.
constexpr std::size_t kMaxTexts = 512;
constexpr std::size_t kMaxPerText = 4;
constexpr std::size_t kMaxKept = 512;

std::atomic<std::uint64_t> gPrepared{0};

// How long a statement waits for a lock another connection holds.
constexpr int kBusyTimeoutMs = 5000;

std::string messageOf(sqlite3* db)
{
    return db ? sqlite3_errmsg(db) : "no connection";
}

// Looks texts up by std::string_view without making a std::string.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};
} // namespace

class SqliteConnection::Handle {
public:
    // The idle statements of one text.
    using Shelf = std::vector<sqlite3_stmt*>;

    explicit Handle(sqlite3* db) : db(db) {}
    ~Handle()
    {
        for (auto& [text, shelf] : shelves_)
            for (sqlite3_stmt* st : shelf)
                sqlite3_finalize(st);
        sqlite3_close_v2(db);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    // A statement for `sql`: a kept one if one is idle, else a new one.
    // `shelf` is where it goes back (null: finalized when given back).
    // Throws DbError(`what`: SQLite's message).
    sqlite3_stmt* take(std::string_view sql, Shelf** shelf, const char* what)
    {
        auto it = shelves_.find(sql);
        if (it == shelves_.end() && shelves_.size() < kMaxTexts)
            it = shelves_.emplace(std::string(sql), Shelf{}).first;
        *shelf = it == shelves_.end() ? nullptr : &it->second;
        if (*shelf && !(*shelf)->empty()) {
            sqlite3_stmt* st = (*shelf)->back();
            (*shelf)->pop_back();
            --kept_;
            return st;
        }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            throw DbError(std::string(what) + ": " + messageOf(db));
        }
        gPrepared.fetch_add(1, std::memory_order_relaxed);
        return st;
    }

    // Ends the statement's run (a read it left open ends here), clears its
    // values and keeps it for the next user of its text while there is room.
    void giveBack(sqlite3_stmt* st, Shelf* shelf) noexcept
    {
        if (!st)
            return;
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (shelf && shelf->size() < kMaxPerText && kept_ < kMaxKept) {
            try {
                shelf->push_back(st);
                ++kept_;
                return;
            } catch (...) {
            }
        }
        sqlite3_finalize(st);
    }

    sqlite3* const db;

private:
    std::unordered_map<std::string, Shelf, TextHash, std::equal_to<>> shelves_;
    std::size_t kept_ = 0;
};

namespace {
class SqliteStatement : public DbStatement {
public:
    using Handle = SqliteConnection::Handle;

    SqliteStatement(std::shared_ptr<Handle> h, std::string_view sql) : h_(std::move(h))
    {
        st_ = h_->take(sql, &shelf_, "prepare failed");
    }
    ~SqliteStatement() override { h_->giveBack(st_, shelf_); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bind(int i, std::int64_t v) override { check(sqlite3_bind_int64(st_, i, v), "bind failed"); }
    void bind(int i, std::string_view v) override
    {
        check(sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT), "bind failed");
    }
    void bindNull(int i) override { check(sqlite3_bind_null(st_, i), "bind failed"); }
    bool step() override
    {
        int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        // Reset at once: the statement stays usable and holds nothing open.
        std::string msg = messageOf(h_->db);
        sqlite3_reset(st_);
        throw DbError("step failed: " + msg);
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
    void check(int rc, const char* what)
    {
        if (rc != SQLITE_OK)
            throw DbError(std::string(what) + ": " + messageOf(h_->db));
    }

    std::shared_ptr<Handle> h_;
    Handle::Shelf* shelf_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
};
} // namespace

SqliteConnection::SqliteConnection(const std::string& path, bool create)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    installWalWriteBatching();
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw DbError("cannot open database " + path + ": " + msg);
    }
    h_ = std::make_shared<Handle>(db);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    exec("PRAGMA journal_mode=WAL");
    // FULL: a commit is on disk (the WAL synced) before COMMIT returns.
    exec("PRAGMA synchronous=FULL");
    exec("PRAGMA foreign_keys=ON");
    // A write's savepoint journal stays in memory instead of spilling to a
    // temporary file once a group of writes outgrows 64 KiB.
    exec("PRAGMA temp_store=MEMORY");
}

SqliteConnection::~SqliteConnection() = default;

std::uint64_t SqliteConnection::statementsPrepared()
{
    return gPrepared.load(std::memory_order_relaxed);
}

bool SqliteConnection::usable() const
{
    return h_ && h_->db;
}

void SqliteConnection::exec(const char* sql)
{
    gPrepared.fetch_add(1, std::memory_order_relaxed);  // parsed on every run
    char* err = nullptr;
    if (sqlite3_exec(h_->db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw DbError(std::string("SQL failed: ") + msg);
    }
}

void SqliteConnection::execKept(const char* sql)
{
    Handle::Shelf* shelf = nullptr;
    sqlite3_stmt* st = h_->take(sql, &shelf, "SQL failed");
    int rc = sqlite3_step(st);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(st);
    std::string msg = rc == SQLITE_DONE ? std::string() : messageOf(h_->db);
    h_->giveBack(st, shelf);
    if (rc != SQLITE_DONE)
        throw DbError("SQL failed: " + msg);
}

std::unique_ptr<DbStatement> SqliteConnection::prepare(std::string_view sql)
{
    return std::make_unique<SqliteStatement>(h_, sql);
}

int SqliteConnection::changes() const
{
    return sqlite3_changes(h_->db);
}

int SqliteConnection::userVersion()
{
    SqliteStatement s(h_, "PRAGMA user_version");
    s.step();
    return static_cast<int>(s.integer(0));
}

void SqliteConnection::setUserVersion(int v)
{
    // PRAGMA takes no parameters; v is an integer we produce, not input.
    exec(("PRAGMA user_version=" + std::to_string(v)).c_str());
}

void SqliteConnection::onCommitted(std::function<void(int walPages)> committed)
{
    committed_ = std::move(committed);
    // Replaces SQLite's own hook, the one that checkpoints on commit.
    sqlite3_wal_hook(
        h_->db,
        [](void* self, sqlite3*, const char*, int pages) {
            auto& f = static_cast<SqliteConnection*>(self)->committed_;
            if (f)
                f(pages);
            return SQLITE_OK;
        },
        this);
}

namespace {
// A checkpoint's outcome: false when it could not finish (busy).
bool checkpointDone(sqlite3* db, int rc)
{
    if (rc == SQLITE_BUSY)
        return false;
    if (rc != SQLITE_OK)
        throw DbError("checkpoint failed: " + messageOf(db));
    return true;
}
} // namespace

bool SqliteConnection::checkpoint()
{
    return checkpointDone(h_->db,
                          sqlite3_wal_checkpoint_v2(h_->db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr));
}

bool SqliteConnection::checkpointAndRestart(int waitMs)
{
    sqlite3_busy_timeout(h_->db, waitMs);
    int rc = sqlite3_wal_checkpoint_v2(h_->db, nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr);
    sqlite3_busy_timeout(h_->db, kBusyTimeoutMs);
    return checkpointDone(h_->db, rc);
}

void SqliteConnection::syncCommits(bool on)
{
    if (on == syncCommits_)
        return;
    execKept(on ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL");
    syncCommits_ = on;
}

void SqliteConnection::syncWal()
{
    sqlite3_file* wal = nullptr;
    if (sqlite3_file_control(h_->db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &wal) != SQLITE_OK || !wal ||
        !wal->pMethods)
        throw DbError("cannot reach the WAL to sync it");
    if (wal->pMethods->xSync(wal, SQLITE_SYNC_NORMAL) != SQLITE_OK)
        throw DbError("the WAL could not be synced to disk");
}

bool SqliteConnection::inTransaction() const
{
    // After an I/O or full-disk error SQLite may have ended the transaction itself.
    return !sqlite3_get_autocommit(h_->db);
}

} // namespace bankd
