#include "BoundedTaskQueue.h"

namespace bankd {

BoundedTaskQueue::BoundedTaskQueue(std::size_t threads, std::size_t maxQueued)
    : maxQueued_(maxQueued == 0 ? 1 : maxQueued)
{
    if (threads == 0)
        threads = 1;
    for (std::size_t i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

BoundedTaskQueue::~BoundedTaskQueue()
{
    shutdown();
}

void BoundedTaskQueue::enqueue(std::function<void()> fn)
{
    std::unique_lock<std::mutex> lock(mutex_);
    hasRoom_.wait(lock, [this] { return stopping_ || jobs_.size() < maxQueued_; });
    // Even while stopping the job runs: it owns its connection and closes it.
    jobs_.push_back(std::move(fn));
    hasWork_.notify_one();
}

void BoundedTaskQueue::shutdown()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ && threads_.empty())
            return;
        stopping_ = true;
    }
    hasWork_.notify_all();
    hasRoom_.notify_all();
    for (auto& t : threads_)
        if (t.joinable())
            t.join();
    threads_.clear();
}

void BoundedTaskQueue::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            hasWork_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;  // stopping and drained
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        hasRoom_.notify_one();
        job();
    }
}

} // namespace bankd
