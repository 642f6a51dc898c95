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

// Reads what the socket holds now, up to the most one request may take. A
// short read ends it (what arrives later wakes the connection again).
// False once the peer has closed its side or the connection failed.
bool readAvailable(Connection& c, std::size_t most)
{
    char buf[16384];
    while (c.bytes.size() <= most) {
        ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n > 0) {
            c.bytes.append(buf, static_cast<std::size_t>(n));
            if (static_cast<std::size_t>(n) < sizeof buf)
                return true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now().time_since_epoch()).count();
}

std::uint64_t tag(int fd, std::uint32_t id)
{
    return (static_cast<std::uint64_t>(id) << 32) | static_cast<std::uint32_t>(fd);
}

} // namespace

ConnectionIntake::ConnectionIntake(IntakeLimits limits, std::size_t threads, Serve serve)
    : limits_(std::move(limits)), threadCount_(std::max<std::size_t>(1, threads)), serve_(std::move(serve))
{
    // Deadlines are checked a few times within the shortest of them.
    sweepEvery_ = std::clamp(std::min(limits_.requestDeadline, limits_.idleTimeout) / 10,
                             std::chrono::milliseconds(10), std::chrono::milliseconds(250));
}

ConnectionIntake::~ConnectionIntake()
{
    stop();
    if (epoll_ >= 0)
        ::close(epoll_);
    if (stopFd_ >= 0)
        ::close(stopFd_);
}

void ConnectionIntake::start()
{
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    stopFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epoll_ < 0 || stopFd_ < 0)
        throw std::runtime_error("cannot create the connection intake's event queue");
    // Level-triggered and never read: once written, it wakes every thread.
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = tag(stopFd_, 0);
    epoll_ctl(epoll_, EPOLL_CTL_ADD, stopFd_, &ev);
    stopping_ = false;
    nextSweep_ = nowMs() + sweepEvery_.count();
    for (std::size_t i = 0; i < threadCount_; ++i)
        threads_.emplace_back([this] { run(); });
}

void ConnectionIntake::stop()
{
    if (threads_.empty())
        return;
    stopping_ = true;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
    for (auto& t : threads_)
        t.join();
    threads_.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [fd, c] : open_)
        ::close(fd);
    open_.clear();
    perPeer_.clear();
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
    int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool counted = limits_.unlimited.count(c->peer) == 0;
        auto peerCount = [&] {
            auto it = perPeer_.find(c->peer);
            return it == perPeer_.end() ? std::size_t{0} : it->second;
        };
        if (!stopping_ && open_.size() < limits_.total && (!counted || peerCount() < limits_.perAddress)) {
            c->counted = counted;
            if (counted)
                ++perPeer_[c->peer];
            c->id = ++nextId_ == 0 ? ++nextId_ : nextId_;
            // Its first request must be whole within the deadline.
            c->deadline = SteadyClock::now() + limits_.requestDeadline;
            Connection& ref = *c;
            open_[fd] = std::move(c);
            if (!arm(ref, true))
                close(fd);
            return;
        }
        ++refused_;
    }
    sendNow(fd, emptyReply(503));
    ::close(fd);
}

// Under the lock: the connection waits for its next bytes (one event, one thread).
bool ConnectionIntake::arm(Connection& c, bool fresh)
{
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLRDHUP | EPOLLONESHOT;
    ev.data.u64 = tag(c.fd, c.id);
    c.busy = false;
    return epoll_ctl(epoll_, fresh ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, c.fd, &ev) == 0;
}

// Under the lock.
void ConnectionIntake::close(int fd)
{
    auto it = open_.find(fd);
    if (it == open_.end())
        return;
    Connection& c = *it->second;
    epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
    if (c.counted) {
        auto p = perPeer_.find(c.peer);
        if (p != perPeer_.end() && --p->second == 0)
            perPeer_.erase(p);
    }
    open_.erase(it);
}

std::size_t ConnectionIntake::openConnections() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_.size();
}

// One event of one connection: read what arrived; answer each whole request.
void ConnectionIntake::take(int fd, std::uint32_t id)
{
    Connection* c = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = open_.find(fd);
        // Closed since (its deadline passed), or the number now names another connection.
        if (it == open_.end() || it->second->id != id || it->second->busy)
            return;
        c = it->second.get();
        c->busy = true;
    }
    // Ours alone until armed again or closed: nobody else reads, sweeps or frees it.
    const std::size_t before = c->bytes.size();
    if (!readAvailable(*c, limits_.headerMax + limits_.bodyMax))
        c->peerClosed = true;
    if (c->bytes.size() > before && c->idle) {
        c->idle = false;
        c->deadline = SteadyClock::now() + limits_.requestDeadline;
    }
    int refusal = 0;
    bool closeIt = false;
    for (;;) {
        RequestScan s = scanRequest(c->bytes, limits_.headerMax, limits_.bodyMax);
        if (s.state == RequestScan::Complete) {
            c->requestLength = s.length;
            bool keep = false;
            try {
                keep = serve_(*c);
            } catch (...) {
                // (Out of memory, say): the connection goes, the server stays.
            }
            c->continued = false;
            c->requestLength = 0;
            if (!keep || stopping_) {
                closeIt = true;
                break;
            }
            // Whatever came behind it starts the next request's time.
            c->idle = c->bytes.empty();
            c->deadline = SteadyClock::now() + (c->idle ? limits_.idleTimeout : limits_.requestDeadline);
            continue;
        }
        if (s.state == RequestScan::Refused) {
            refusal = s.status;
            closeIt = true;
            break;
        }
        // Not whole: a peer that has closed its side will send no more.
        if (c->peerClosed) {
            closeIt = true;
            break;
        }
        if (s.expectsContinue && !c->continued) {
            // Answered here; the line goes so that the server does not answer it again.
            c->continued = true;
            c->bytes.erase(s.expectLine, s.expectLength);
            sendNow(fd, "HTTP/1.1 100 Continue\r\n\r\n");
        }
        break;
    }
    if (refusal != 0)
        sendNow(fd, emptyReply(refusal));
    std::lock_guard<std::mutex> lock(mutex_);
    if (closeIt || stopping_ || !arm(*c, false))
        close(fd);
}

// Closes the connections whose time is up (408 to one inside a request).
void ConnectionIntake::sweep()
{
    const auto now = SteadyClock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<int> late;
    for (const auto& [fd, c] : open_)
        if (!c->busy && c->deadline <= now)
            late.push_back(fd);
    for (int fd : late) {
        if (!open_[fd]->idle)
            sendNow(fd, emptyReply(408));
        close(fd);
    }
}

void ConnectionIntake::run()
{
    epoll_event ev{};
    while (!stopping_) {
        // One event at a time: a thread answering a request holds no other connection.
        int n = epoll_wait(epoll_, &ev, 1, static_cast<int>(sweepEvery_.count()));
        if (stopping_)
            break;
        if (n == 1) {
            const int fd = static_cast<int>(static_cast<std::uint32_t>(ev.data.u64));
            const auto id = static_cast<std::uint32_t>(ev.data.u64 >> 32);
            if (fd != stopFd_)
                take(fd, id);
        }
        std::int64_t due = nextSweep_.load();
        const std::int64_t now = nowMs();
        if (now >= due && nextSweep_.compare_exchange_strong(due, now + sweepEvery_.count()))
            sweep();
    }
}

} // namespace bankd
