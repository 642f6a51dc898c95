#include "ConnectionIntake.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdexcept>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "RequestScan.h"

namespace bankd {

namespace {

using SteadyClock = std::chrono::steady_clock;

bool addressText(const sockaddr_storage& sa, std::string* text, int* port)
{
    char buf[INET6_ADDRSTRLEN] = {};
    if (sa.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&sa);
        inet_ntop(AF_INET, &in->sin_addr, buf, sizeof buf);
        *port = ntohs(in->sin_port);
    } else if (sa.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&sa);
        inet_ntop(AF_INET6, &in6->sin6_addr, buf, sizeof buf);
        *port = ntohs(in6->sin6_port);
    } else {
        return false;
    }
    *text = buf;
    return true;
}

// Best effort: a reply that does not fit the socket's buffer at once is cut.
void sendNow(int fd, const std::string& bytes)
{
    ssize_t n;
    do
        n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
}

// Reads what the socket holds, up to the most one request may take.
// False once the peer has closed its side or the connection failed.
bool readAvailable(Connection& c, std::size_t most, bool* gotBytes)
{
    char buf[16384];
    while (c.bytes.size() <= most) {
        ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n > 0) {
            c.bytes.append(buf, static_cast<std::size_t>(n));
            *gotBytes = true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

} // namespace

ConnectionIntake::ConnectionIntake(IntakeLimits limits, Ready ready) : limits_(std::move(limits)), ready_(std::move(ready))
{
}

ConnectionIntake::~ConnectionIntake()
{
    stop();
    if (epoll_ >= 0)
        ::close(epoll_);
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

void ConnectionIntake::start()
{
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epoll_ < 0 || wakeFd_ < 0)
        throw std::runtime_error("cannot create the connection intake's event queue");
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = wakeFd_;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeFd_, &ev);
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void ConnectionIntake::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    wake();
    thread_.join();
    for (auto& [fd, c] : held_) {
        ::close(fd);
        release(*c);
    }
    held_.clear();
    std::vector<std::pair<std::unique_ptr<Connection>, bool>> incoming;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        incoming.swap(incoming_);
    }
    for (auto& in : incoming)
        close(std::move(in.first));
}

void ConnectionIntake::wake()
{
    if (wakeFd_ < 0)
        return;
    uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void ConnectionIntake::add(int fd)
{
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    sockaddr_storage sa{};
    socklen_t len = sizeof sa;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0 || !addressText(sa, &c->peer, &c->peerPort)) {
        ::close(fd);
        return;
    }
    len = sizeof sa;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) == 0)
        addressText(sa, &c->local, &c->localPort);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bool counted = limits_.unlimited.count(c->peer) == 0;
        if (stopping_ || open_ >= limits_.total || (counted && perPeer_[c->peer] >= limits_.perAddress)) {
            if (counted && perPeer_[c->peer] == 0)
                perPeer_.erase(c->peer);
            ++refused_;
        } else {
            ++open_;
            if (counted)
                ++perPeer_[c->peer];
            c->counted = counted;
            incoming_.emplace_back(std::move(c), true);
        }
    }
    if (c) {  // refused
        sendNow(fd, emptyReply(503));
        ::close(fd);
        return;
    }
    wake();
}

void ConnectionIntake::resume(std::unique_ptr<Connection> c)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!stopping_) {
            incoming_.emplace_back(std::move(c), false);
        }
    }
    if (c)
        close(std::move(c));
    else
        wake();
}

void ConnectionIntake::close(std::unique_ptr<Connection> c)
{
    if (!c)
        return;
    ::close(c->fd);
    release(*c);
}

void ConnectionIntake::release(Connection& c)
{
    std::lock_guard<std::mutex> lock(mutex_);
    --open_;
    if (c.counted) {
        auto it = perPeer_.find(c.peer);
        if (it != perPeer_.end() && --it->second == 0)
            perPeer_.erase(it);
    }
    c.counted = false;
}

std::size_t ConnectionIntake::openConnections() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

void ConnectionIntake::adopt(std::unique_ptr<Connection> c, bool fresh)
{
    const auto now = SteadyClock::now();
    if (fresh) {
        int flags = fcntl(c->fd, F_GETFL, 0);
        fcntl(c->fd, F_SETFL, flags | O_NONBLOCK);
        int yes = 1;
        setsockopt(c->fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    }
    c->continued = false;
    c->requestLength = 0;
    c->idle = !fresh && c->bytes.empty();
    c->deadline = now + (c->idle ? limits_.idleTimeout : limits_.requestDeadline);
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLRDHUP;
    ev.data.fd = c->fd;
    const int fd = c->fd;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) != 0) {
        close(std::move(c));
        return;
    }
    held_[fd] = std::move(c);
    if (!fresh)
        check(fd);  // what arrived behind the last request may be a whole one
}

void ConnectionIntake::readFrom(Connection& c)
{
    bool got = false;
    const bool open = readAvailable(c, limits_.headerMax + limits_.bodyMax, &got);
    if (got && c.idle) {
        c.idle = false;
        c.deadline = SteadyClock::now() + limits_.requestDeadline;
    }
    if (!open) {
        // Closed by the peer: what it sent whole is still served (its reply may
        // go to a half-closed socket); anything less is dropped.
        RequestScan s = scanRequest(c.bytes, limits_.headerMax, limits_.bodyMax);
        if (s.state != RequestScan::Complete)
            c.deadline = SteadyClock::time_point::min();
    }
}

void ConnectionIntake::check(int fd)
{
    auto it = held_.find(fd);
    if (it == held_.end())
        return;
    Connection& c = *it->second;
    if (c.deadline == SteadyClock::time_point::min()) {
        drop(fd, 0);
        return;
    }
    RequestScan s = scanRequest(c.bytes, limits_.headerMax, limits_.bodyMax);
    switch (s.state) {
    case RequestScan::Complete: {
        epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
        std::unique_ptr<Connection> whole = std::move(it->second);
        held_.erase(it);
        whole->requestLength = s.length;
        ready_(std::move(whole));
        return;
    }
    case RequestScan::Refused:
        drop(fd, s.status);
        return;
    case RequestScan::Incomplete:
        if (s.expectsContinue && !c.continued) {
            // Answered here; the line goes so that the worker does not answer it again.
            c.continued = true;
            c.bytes.erase(s.expectLine, s.expectLength);
            sendNow(fd, "HTTP/1.1 100 Continue\r\n\r\n");
        }
        return;
    }
}

void ConnectionIntake::drop(int fd, int status)
{
    auto it = held_.find(fd);
    if (it == held_.end())
        return;
    if (status != 0)
        sendNow(fd, emptyReply(status));
    epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    close(std::move(it->second));
    held_.erase(it);
}

void ConnectionIntake::run()
{
    epoll_event events[64];
    while (!stopping_) {
        auto now = SteadyClock::now();
        auto next = now + std::chrono::seconds(1);
        for (const auto& [fd, c] : held_)
            next = std::min(next, c->deadline);
        const long wait = std::max<long>(
            0, static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()) + 1);
        int n = epoll_wait(epoll_, events, 64, static_cast<int>(wait));
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == wakeFd_) {
                uint64_t count;
                [[maybe_unused]] ssize_t r = ::read(wakeFd_, &count, sizeof count);
                continue;
            }
            auto it = held_.find(fd);
            if (it == held_.end())
                continue;
            readFrom(*it->second);
            check(fd);
        }
        std::vector<std::pair<std::unique_ptr<Connection>, bool>> incoming;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            incoming.swap(incoming_);
        }
        for (auto& in : incoming)
            adopt(std::move(in.first), in.second);
        now = SteadyClock::now();
        std::vector<std::pair<int, int>> late;  // (fd, status)
        for (const auto& [fd, c] : held_)
            if (c->deadline <= now)
                late.emplace_back(fd, c->idle ? 0 : 408);
        for (auto [fd, status] : late)
            drop(fd, status);
    }
}

} // namespace bankd
