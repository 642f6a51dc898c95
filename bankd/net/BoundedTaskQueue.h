#pragma once
// The HTTP server's worker pool: a fixed number of threads and a bounded
// queue of jobs (each a whole request read by the connection intake). When
// the queue is full, enqueue waits for room.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace bankd {

class BoundedTaskQueue {
public:
    BoundedTaskQueue(std::size_t threads, std::size_t maxQueued);
    ~BoundedTaskQueue();
    BoundedTaskQueue(const BoundedTaskQueue&) = delete;
    BoundedTaskQueue& operator=(const BoundedTaskQueue&) = delete;

    void enqueue(std::function<void()> fn);
    // Runs every job queued so far, then joins the threads.
    void shutdown();

private:
    void work();

    std::size_t maxQueued_;
    std::mutex mutex_;
    std::condition_variable hasWork_;
    std::condition_variable hasRoom_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

} // namespace bankd
