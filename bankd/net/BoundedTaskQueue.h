#pragma once
// The HTTP server's worker pool: a fixed number of threads and a bounded
// queue of accepted connections. When the queue is full the accepting thread
// waits, so a flood of connections queues in the kernel's backlog instead of
// in memory.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <httplib.h>

namespace bankd {

class BoundedTaskQueue : public httplib::TaskQueue {
public:
    // afterEach runs on the worker thread after every job (a connection served).
    BoundedTaskQueue(std::size_t threads, std::size_t maxQueued, std::function<void()> afterEach = {});
    ~BoundedTaskQueue() override;

    void enqueue(std::function<void()> fn) override;
    void shutdown() override;

private:
    void work();

    std::size_t maxQueued_;
    std::function<void()> afterEach_;
    std::mutex mutex_;
    std::condition_variable hasWork_;
    std::condition_variable hasRoom_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

} // namespace bankd
