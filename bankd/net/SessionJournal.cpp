#include "SessionJournal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace bankd {

namespace {

bool writeAll(int fd, const std::string& s)
{
    size_t done = 0;
    while (done < s.size()) {
        ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A session key: 44 characters of standard base64.
bool plausibleKey(const std::string& k)
{
    if (k.size() != 44)
        return false;
    for (char c : k)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' ||
              c == '='))
            return false;
    return true;
}

// Lines of a journal file within the retention; keys go to `keys`.
void readLines(const std::string& path, std::int64_t oldest, std::vector<std::string>& keys, std::string& kept)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t sp = line.find(' ');
        if (sp == std::string::npos || sp == 0 || sp > 19)
            continue;  // a line cut short by a crash
        std::int64_t at = 0;
        try {
            at = std::stoll(line.substr(0, sp));
        } catch (...) {
            continue;
        }
        std::string key = line.substr(sp + 1);
        if (at < oldest || !plausibleKey(key))
            continue;
        keys.push_back(key);
        kept += line + '\n';
    }
}

// Replaces path with text in one rename, synced.
void replaceFile(const std::string& path, const std::string& text)
{
    const std::string tmp = path + ".new";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || !writeAll(fd, text) || ::fsync(fd) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        if (fd >= 0)
            ::close(fd);
        throw std::runtime_error("cannot write the session journal " + path + ": " + std::strerror(saved));
    }
    ::close(fd);
}

} // namespace

SessionJournal::SessionJournal(std::string path, std::chrono::seconds retention, WallClock clock)
    : path_(std::move(path)), retention_(retention), clock_(std::move(clock))
{
    const std::int64_t oldest = now() - retention_.count();
    std::string kept;
    readLines(oldPath(), oldest, earlier_, kept);
    readLines(path_, oldest, earlier_, kept);
    // What must still be refused becomes the old journal; a new one starts.
    replaceFile(oldPath(), kept);
    openFresh();
}

SessionJournal::~SessionJournal()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::int64_t SessionJournal::now() const
{
    if (clock_)
        return clock_();
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void SessionJournal::openFresh()
{
    replaceFile(path_, std::string());
    int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open the session journal " + path_ + ": " + std::strerror(errno));
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    started_ = now();
}

bool SessionJournal::record(const std::string& sessionKey)
{
    return record(std::vector<std::string>{sessionKey});
}

bool SessionJournal::record(const std::vector<std::string>& sessionKeys)
{
    const std::string at = std::to_string(now()) + ' ';
    std::string lines;
    for (const std::string& key : sessionKeys) {
        if (!plausibleKey(key))
            return false;
        lines += at + key + '\n';
    }
    if (lines.empty())
        return true;
    int fd = -1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!writeAll(fd_, lines))
            return false;
        fd = ::dup(fd_);
    }
    // Outside the lock: parallel new sessions share the disk's syncs.
    const bool synced = fd >= 0 && ::fdatasync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return synced;
}

bool SessionJournal::rotateIfDue()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (now() - started_ < retention_.count())
        return true;
    if (::fdatasync(fd_) != 0 || ::rename(path_.c_str(), oldPath().c_str()) != 0)
        return false;
    try {
        openFresh();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

} // namespace bankd
