#include "ReplyCork.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>

#include <httplib.h>

namespace bankd {

namespace {

struct Connection {
    int fd = -1;
    int remotePort = -1;
    int localPort = -1;
    std::string remoteAddr;
    bool searched = false;
    bool corked = false;
};
thread_local Connection tConn;

bool sameAddress(const sockaddr_storage& sa, const std::string& addr, int port)
{
    char text[INET6_ADDRSTRLEN] = {};
    int p = -1;
    if (sa.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&sa);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        p = ntohs(in->sin_port);
    } else if (sa.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&sa);
        inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        p = ntohs(in6->sin6_port);
    } else {
        return false;
    }
    return p == port && addr == text;
}

// The open socket connected from the request's peer to the request's local
// address, or -1.
int findSocket(const httplib::Request& req)
{
    rlimit lim{};
    int last = 1024;
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY)
        last = static_cast<int>(std::min<rlim_t>(lim.rlim_cur, 65536));
    for (int fd = 0; fd < last; ++fd) {
        sockaddr_storage peer{};
        socklen_t len = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &len) != 0 ||
            !sameAddress(peer, req.remote_addr, req.remote_port))
            continue;
        sockaddr_storage local{};
        len = sizeof local;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0 &&
            sameAddress(local, req.local_addr, req.local_port))
            return fd;
    }
    return -1;
}

void setCork(int fd, int on)
{
    setsockopt(fd, IPPROTO_TCP, TCP_CORK, &on, sizeof on);
}

} // namespace

void ReplyCork::hold(const httplib::Request& req)
{
    Connection& c = tConn;
    // Searched once per connection: a socket not found stays uncorked rather
    // than being searched for again on every request.
    if (!c.searched || c.remotePort != req.remote_port || c.localPort != req.local_port ||
        c.remoteAddr != req.remote_addr) {
        c.searched = true;
        c.fd = findSocket(req);
        c.remotePort = req.remote_port;
        c.localPort = req.local_port;
        c.remoteAddr = req.remote_addr;
    }
    if (c.fd >= 0) {
        setCork(c.fd, 1);
        c.corked = true;
    }
}

void ReplyCork::release()
{
    Connection& c = tConn;
    if (c.corked && c.fd >= 0)
        setCork(c.fd, 0);
    c.corked = false;
}

void ReplyCork::forget()
{
    tConn = Connection{};
}

} // namespace bankd
