#include "SessionJournal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace bankd {

namespace {
std::int64_t unixNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

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
} // namespace

SessionJournal::SessionJournal(std::string path, std::chrono::seconds lifetime) : path_(std::move(path))
{
    const std::int64_t oldest = unixNow() - lifetime.count();
    std::string kept;
    {
        std::ifstream in(path_);
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
            earlier_.push_back(key);
            kept += line + '\n';
        }
    }
    // The kept lines replace the journal in one rename.
    const std::string tmp = path_ + ".new";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || !writeAll(fd, kept) || ::fsync(fd) != 0 || ::rename(tmp.c_str(), path_.c_str()) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw std::runtime_error("cannot write the session journal " + path_ + ": " + std::strerror(errno));
    }
    ::close(fd);
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error("cannot open the session journal " + path_ + ": " + std::strerror(errno));
}

SessionJournal::~SessionJournal()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SessionJournal::record(const std::string& sessionKey)
{
    if (!plausibleKey(sessionKey))
        return false;
    const std::string line = std::to_string(unixNow()) + ' ' + sessionKey + '\n';
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!writeAll(fd_, line))
            return false;
    }
    // Outside the lock: parallel new sessions share the disk's syncs.
    return ::fdatasync(fd_) == 0;
}

} // namespace bankd
