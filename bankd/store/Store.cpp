#include "Store.h"

#include <filesystem>

#include "Schema.h"

namespace bankd {

namespace fs = std::filesystem;

Store::Store(std::string path, HashCost cost) : path_(std::move(path)), cost_(cost) {}

Store::~Store() = default;

std::unique_ptr<Store> Store::open(const std::string& path, HashCost cost)
{
    if (!fs::exists(path))
        throw DbError("no database at " + path);
    std::unique_ptr<Store> s(new Store(path, cost));
    auto db = std::make_unique<Db>(path, false);
    Schema::migrate(*db);
    s->giveBack(std::move(db));
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
