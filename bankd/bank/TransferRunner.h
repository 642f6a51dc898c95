#pragma once
// Runs the scheduled transfers that have fallen due: once when started, then
// every interval on its own thread until stopped.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "Transfers.h"

namespace bankd {

class Store;
class Clock;

class TransferRunner {
public:
    TransferRunner(Store& store, const Clock& clock, std::chrono::seconds interval = std::chrono::seconds(60),
                   transfers::Limits limits = {});
    ~TransferRunner();
    TransferRunner(const TransferRunner&) = delete;
    TransferRunner& operator=(const TransferRunner&) = delete;

    // Runs what is due now, then starts the periodic thread. Returns how many ran now.
    int start();
    void stop();
    // One pass, on the caller's thread.
    int runOnce();

private:
    void loop();

    Store& store_;
    const Clock& clock_;
    std::chrono::seconds interval_;
    transfers::Limits limits_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace bankd
