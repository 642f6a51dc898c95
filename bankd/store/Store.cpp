#include "Store.h"

#include <filesystem>
#include <sqlite3.h>

#include "Schema.h"

namespace bankd {

namespace fs = std::filesystem;

namespace {
// Most writes one group carries; the rest wait for the next sync.
constexpr std::size_t kMaxGroup = 256;

// Set on the writer thread while a write runs: a write() from inside joins it.
thread_local Db* tlWriterDb = nullptr;

// Runs f in a savepoint of the open transaction: kept on success, rolled back
// (and the exception returned) on failure.
std::exception_ptr inSavepoint(Db& db, const std::function<void(Db&)>& f)
{
    db.exec("SAVEPOINT w");
    try {
        f(db);
        db.exec("RELEASE w");
        return nullptr;
    } catch (...) {
        std::exception_ptr e = std::current_exception();
        // After an I/O or full-disk error SQLite may have ended the whole
        // transaction; the group commit notices that through autocommit.
        if (!sqlite3_get_autocommit(db.handle())) {
            try {
                db.exec("ROLLBACK TO w");
                db.exec("RELEASE w");
            } catch (...) {
            }
        }
        return e;
    }
}
} // namespace

struct Store::Job {
    const std::function<void(Db&)>* f = nullptr;
    std::exception_ptr error;
    bool done = false;
};

Store::Store(std::string path, HashCost cost) : path_(std::move(path)), cost_(cost) {}

Store::~Store()
{
    {
        std::lock_guard<std::mutex> lock(writeMutex_);
        stopping_ = true;
    }
    writeWake_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

Store::WriteStats Store::writeStats() const
{
    std::lock_guard<std::mutex> lock(writeMutex_);
    return stats_;
}

void Store::runWrite(const std::function<void(Db&)>& f)
{
    if (tlWriterDb) {
        if (std::exception_ptr e = inSavepoint(*tlWriterDb, f))
            std::rethrow_exception(e);
        return;
    }
    Job job;
    job.f = &f;
    std::unique_lock<std::mutex> lock(writeMutex_);
    if (stopping_)
        throw DbError("the database is closing");
    pending_.push_back(&job);
    writeWake_.notify_all();
    writeWake_.wait(lock, [&] { return job.done; });
    lock.unlock();
    if (job.error)
        std::rethrow_exception(job.error);
}

void Store::writerLoop()
{
    std::unique_ptr<Db> db;
    std::exception_ptr openError;
    try {
        db = std::make_unique<Db>(path_, false);
    } catch (...) {
        openError = std::current_exception();
    }
    std::vector<Job*> group;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(writeMutex_);
            writeWake_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
            if (pending_.empty())
                return;  // stopping, nothing left to write
            std::size_t n = std::min(pending_.size(), kMaxGroup);
            group.assign(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
        }
        if (db) {
            commitGroup(*db, group);
        } else {
            for (Job* j : group)
                j->error = openError;
        }
        {
            std::lock_guard<std::mutex> lock(writeMutex_);
            ++stats_.groups;
            stats_.writes += group.size();
            for (Job* j : group)
                j->done = true;
        }
        writeWake_.notify_all();
    }
}

void Store::commitGroup(Db& db, std::vector<Job*>& group)
{
    std::size_t first = 0;  // the jobs before `first` are settled in an earlier transaction
    while (first < group.size()) {
        try {
            db.exec("BEGIN IMMEDIATE");
        } catch (...) {
            for (std::size_t i = first; i < group.size(); ++i)
                group[i]->error = std::current_exception();
            return;
        }
        std::size_t i = first;
        bool lost = false;  // SQLite ended the transaction itself
        tlWriterDb = &db;
        for (; i < group.size(); ++i) {
            group[i]->error = inSavepoint(db, *group[i]->f);
            if (group[i]->error && sqlite3_get_autocommit(db.handle())) {
                lost = true;
                break;
            }
        }
        tlWriterDb = nullptr;
        if (lost) {
            // Everything this transaction carried is gone: those writes fail
            // with the same error, and the rest go on in a new transaction.
            for (std::size_t k = first; k < i; ++k)
                if (!group[k]->error)
                    group[k]->error = group[i]->error;
            first = i + 1;
            continue;
        }
        try {
            db.exec("COMMIT");
        } catch (...) {
            std::exception_ptr e = std::current_exception();
            try {
                db.exec("ROLLBACK");
            } catch (...) {
            }
            for (std::size_t k = first; k < group.size(); ++k)
                if (!group[k]->error)
                    group[k]->error = e;
        }
        return;
    }
}

std::unique_ptr<Store> Store::open(const std::string& path, HashCost cost)
{
    if (!fs::exists(path))
        throw DbError("no database at " + path);
    std::unique_ptr<Store> s(new Store(path, cost));
    auto db = std::make_unique<Db>(path, false);
    Schema::migrate(*db);
    s->giveBack(std::move(db));
    s->writer_ = std::thread([p = s.get()] { p->writerLoop(); });
    return s;
}

std::unique_ptr<Store> Store::create(const std::string& path, HashCost cost)
{
    if (fs::exists(path))
        throw DbError("a database already exists at " + path);
    std::unique_ptr<Store> s(new Store(path, cost));
    auto db = std::make_unique<Db>(path, true);
    Schema::migrate(*db);
    s->giveBack(std::move(db));
    s->writer_ = std::thread([p = s.get()] { p->writerLoop(); });
    return s;
}

Store::Lease Store::lease()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!idle_.empty()) {
            auto db = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(db));
        }
    }
    return Lease(*this, std::make_unique<Db>(path_, false));
}

void Store::giveBack(std::unique_ptr<Db> db)
{
    if (!db)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    idle_.push_back(std::move(db));
}

} // namespace bankd
