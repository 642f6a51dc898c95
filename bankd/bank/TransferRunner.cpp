#include "TransferRunner.h"

#include <cstdio>
#include <exception>

#include "Clock.h"
#include "Store.h"

namespace bankd {

TransferRunner::TransferRunner(Store& store, const Clock& clock, std::chrono::seconds interval,
                               transfers::Limits limits)
    : store_(store), clock_(clock), interval_(interval), limits_(limits)
{
}

TransferRunner::~TransferRunner()
{
    stop();
}

int TransferRunner::runOnce()
{
    try {
        return transfers::runDue(store_, clock_.now(), limits_);
    } catch (const std::exception& e) {
        // The next pass tries again; a failed transfer's transaction left nothing behind.
        std::fprintf(stderr, "bankd: scheduled transfers: %s\n", e.what());
        return 0;
    }
}

int TransferRunner::start()
{
    int n = runOnce();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    thread_ = std::thread([this] { loop(); });
    return n;
}

void TransferRunner::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void TransferRunner::loop()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, interval_, [this] { return stopping_; })) {
        lock.unlock();
        runOnce();
        lock.lock();
    }
}

} // namespace bankd
