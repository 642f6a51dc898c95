#include "AccessLog.h"

#include <cerrno>
#include <charconv>
#include <ctime>
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
void appendAddressSafe(std::string& out, std::string_view text)
{
    const std::size_t before = out.size();
    for (char c : text.substr(0, 45))
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '.' || c == ':')
            out.push_back(c);
    if (out.size() == before)
        out.push_back('-');
}

// The line's time, "YYYY-MM-DDTHH:MM:SS": formatted once per second per thread.
void appendTime(std::string& out, Clock::time_point at)
{
    thread_local std::time_t second = -1;
    thread_local std::string text;
    const std::time_t now = std::chrono::system_clock::to_time_t(at);
    if (now != second || text.empty()) {
        text = bankTimestamp(at);
        text[10] = 'T';
        second = now;
    }
    out += text;
}

} // namespace

std::string AccessLog::format(const AccessRecord& r, Clock::time_point at)
{
    std::string line;
    line.reserve(160);
    appendTime(line, at);
    line += ' ';
    appendLogSafe(line, r.trcode);
    line += " sess=";
    const std::size_t sessAt = line.size();
    for (char c : r.sessionKey.substr(0, 8))
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/')
            line.push_back(c);
    if (line.size() == sessAt)
        line.push_back('-');
    line += " user=";
    appendLogSafe(line, r.user);
    line += " result=";
    appendLogSafe(line, r.result);
    char us[24];
    const auto n = std::to_chars(us, us + sizeof us, r.latency.count()).ptr - us;
    line += " us=";
    line.append(us, static_cast<std::size_t>(n));
    line += " route=";
    appendLogSafe(line, r.route);
    line += " addr=";
    appendAddressSafe(line, r.address);
    line += '\n';
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
