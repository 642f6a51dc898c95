#include "AccessLog.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

#include "Dispatcher.h"

namespace bankd {

AccessLog::AccessLog(const std::string& path, const Clock& clock) : clock_(clock), path_(path)
{
    if (path.empty())
        return;
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
        throw std::runtime_error("cannot open the access log " + path);
}

bool AccessLog::reopen()
{
    if (fd_ < 0)
        return true;
    int fresh = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fresh < 0)
        return false;
    // dup3 swaps the file under fd_ in one step: a worker writing meanwhile
    // writes whole lines to either the old file or the new one.
    bool ok = ::dup3(fresh, fd_, O_CLOEXEC) >= 0;
    ::close(fresh);
    return ok;
}

AccessLog::~AccessLog()
{
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

// An IPv4 or IPv6 address: digits, hex letters, '.' and ':' only.
std::string addressSafe(std::string_view text)
{
    std::string out;
    for (char c : text.substr(0, 45))
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '.' || c == ':')
            out.push_back(c);
    return out.empty() ? "-" : out;
}

} // namespace

std::string AccessLog::format(const AccessRecord& r, Clock::time_point at)
{
    std::string sess;
    for (char c : r.sessionKey.substr(0, 8))
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/')
            sess.push_back(c);
    if (sess.empty())
        sess = "-";
    std::string line = bankTimestamp(at);
    line[10] = 'T';
    line += ' ' + logSafe(r.trcode) + " sess=" + sess + " user=" + logSafe(r.user) + " result=" + logSafe(r.result) +
            " us=" + std::to_string(r.latency.count()) + " route=" + logSafe(r.route) +
            " addr=" + addressSafe(r.address) + '\n';
    return line;
}

void AccessLog::write(const AccessRecord& r)
{
    if (fd_ < 0)
        return;
    const std::string line = format(r, clock_.now());
    size_t done = 0;
    while (done < line.size()) {
        ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // disk full or the like: the request is not failed for its log line
        done += static_cast<size_t>(n);
    }
}

} // namespace bankd
