#pragma once
// The keys of the gateway sessions, one line each ("<unix seconds> <key>"):
// written and synced before a session's first request is accepted, and again
// while the session is in use, so that a key's last line is never much older
// than its last use. A restarted bank refuses every key with a line within
// the retention, so a request captured before the restart cannot open a
// session again (requests older than that are refused by their own time).
//
// Two files keep it bounded, whatever the number of sessions: lines go to the
// journal; once per retention the journal becomes "<journal>.old" (the old
// one is dropped) and a new journal starts. Together they always hold at
// least the last retention's lines and at most two retentions' worth.
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace bankd {

class SessionJournal {
public:
    // Unix seconds (tests replace the system clock).
    using WallClock = std::function<std::int64_t()>;

    // Opens (creating, mode 0600) the journal at path; throws std::runtime_error.
    SessionJournal(std::string path, std::chrono::seconds retention, WallClock clock = {});
    ~SessionJournal();
    SessionJournal(const SessionJournal&) = delete;
    SessionJournal& operator=(const SessionJournal&) = delete;

    // The keys with a line within the retention, as found when opened.
    const std::vector<std::string>& earlierKeys() const { return earlier_; }
    // Appends the keys and syncs once; false when they could not be written.
    bool record(const std::string& sessionKey);
    bool record(const std::vector<std::string>& sessionKeys);
    // Starts a new journal when the current one is a retention old; false
    // when that failed (the current one is kept).
    bool rotateIfDue();

    std::string oldPath() const { return path_ + ".old"; }

private:
    std::int64_t now() const;
    void openFresh();

    std::string path_;
    std::chrono::seconds retention_;
    WallClock clock_;
    std::vector<std::string> earlier_;
    std::mutex mutex_;
    int fd_ = -1;
    std::int64_t started_ = 0;
};

} // namespace bankd
