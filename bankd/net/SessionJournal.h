#pragma once
// The keys of the gateway sessions that started, one line each
// ("<unix seconds> <key>"), written and synced before a session's first
// request is accepted. A restarted bank refuses every key recorded within
// the lifetime, so a request captured before the restart cannot open a
// session again. Older lines are dropped when the journal is opened.
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace bankd {

class SessionJournal {
public:
    // Opens (creating, mode 0600) the journal at path; throws std::runtime_error.
    SessionJournal(std::string path, std::chrono::seconds lifetime);
    ~SessionJournal();
    SessionJournal(const SessionJournal&) = delete;
    SessionJournal& operator=(const SessionJournal&) = delete;

    // The keys recorded within the lifetime, as found when opened.
    const std::vector<std::string>& earlierKeys() const { return earlier_; }
    // Appends and syncs one key; false when it could not be written.
    bool record(const std::string& sessionKey);

private:
    std::string path_;
    std::vector<std::string> earlier_;
    std::mutex mutex_;
    int fd_ = -1;
};

} // namespace bankd
