#include "ConnectionStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

namespace bankd {

namespace {
constexpr std::size_t kHoldAtMost = 64 * 1024;  // a larger reply (a download) goes out in parts
}

ConnectionStream::ConnectionStream(Connection& c, std::chrono::milliseconds writeTimeout)
    : c_(c), writeTimeout_(writeTimeout)
{
}

bool ConnectionStream::wait(short events, std::chrono::milliseconds timeout) const
{
    pollfd p{c_.fd, events, 0};
    int n;
    do
        n = ::poll(&p, 1, static_cast<int>(timeout.count()));
    while (n < 0 && errno == EINTR);
    return n > 0;
}

bool ConnectionStream::is_readable() const
{
    return pos_ < c_.requestLength;
}

bool ConnectionStream::is_writable() const
{
    return !failed_;
}

ssize_t ConnectionStream::read(char* ptr, size_t size)
{
    // Past the request the intake measured there is nothing to read: a parser
    // that wants more sees the end of the stream.
    if (pos_ >= c_.requestLength)
        return 0;
    std::size_t n = std::min(size, c_.requestLength - pos_);
    std::memcpy(ptr, c_.bytes.data() + pos_, n);
    pos_ += n;
    return static_cast<ssize_t>(n);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size)
{
    if (failed_)
        return -1;
    out_.append(ptr, size);
    if (out_.size() >= kHoldAtMost && !flush())
        return -1;
    return static_cast<ssize_t>(size);
}

bool ConnectionStream::flush()
{
    std::size_t done = 0;
    while (!failed_ && done < out_.size()) {
        ssize_t n = ::send(c_.fd, out_.data() + done, out_.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!wait(POLLOUT, writeTimeout_))
                failed_ = true;
        } else {
            failed_ = true;
        }
    }
    out_.clear();
    return !failed_;
}

void ConnectionStream::consume()
{
    c_.bytes.erase(0, std::min(c_.bytes.size(), c_.requestLength));
    pos_ = 0;
    c_.requestLength = 0;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const
{
    ip = c_.peer;
    port = c_.peerPort;
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const
{
    ip = c_.local;
    port = c_.localPort;
}

} // namespace bankd
