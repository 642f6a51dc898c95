#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>
#include <mutex>
#include <string>
#include <vector>

#include "BoundedTaskQueue.h"
#include "ReplyCork.h"

using namespace bankd;

namespace {

// A loopback TCP connection: the accepted (server) end and the client end.
struct Pair {
    int listener = -1, client = -1, server = -1;
    Pair()
    {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener, 4);
        socklen_t len = sizeof a;
        getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
        client = socket(AF_INET, SOCK_STREAM, 0);
        connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        server = accept(listener, nullptr, nullptr);
    }
    ~Pair()
    {
        for (int fd : {client, server, listener})
            if (fd >= 0)
                close(fd);
    }
    // The request httplib would give a handler on the server end.
    httplib::Request request() const
    {
        httplib::Request req;
        sockaddr_in peer{}, local{};
        socklen_t len = sizeof peer;
        getpeername(server, reinterpret_cast<sockaddr*>(&peer), &len);
        len = sizeof local;
        getsockname(server, reinterpret_cast<sockaddr*>(&local), &len);
        req.remote_addr = "127.0.0.1";
        req.remote_port = ntohs(peer.sin_port);
        req.local_addr = "127.0.0.1";
        req.local_port = ntohs(local.sin_port);
        return req;
    }
};

int corked(int fd)
{
    int on = -1;
    socklen_t len = sizeof on;
    getsockopt(fd, IPPROTO_TCP, TCP_CORK, &on, &len);
    return on;
}

} // namespace

TEST(ReplyCork, HoldsAndReleasesTheRequestsOwnConnectionOnly)
{
    Pair a, b;
    ASSERT_GE(a.server, 0);
    ASSERT_GE(b.server, 0);
    ReplyCork::forget();
    ReplyCork::hold(a.request());
    EXPECT_EQ(corked(a.server), 1);
    EXPECT_EQ(corked(a.client), 0);
    EXPECT_EQ(corked(b.server), 0);
    ReplyCork::release();
    EXPECT_EQ(corked(a.server), 0);

    // A second request on another connection (same thread) finds that one.
    ReplyCork::hold(b.request());
    EXPECT_EQ(corked(b.server), 1);
    EXPECT_EQ(corked(a.server), 0);
    ReplyCork::release();
    EXPECT_EQ(corked(b.server), 0);
    ReplyCork::forget();
}

TEST(ReplyCork, UnknownConnectionOrNoHoldChangesNothing)
{
    Pair a;
    httplib::Request stranger = a.request();
    stranger.remote_port = stranger.remote_port == 1 ? 2 : 1;  // no such peer
    ReplyCork::forget();
    ReplyCork::hold(stranger);
    EXPECT_EQ(corked(a.server), 0);
    ReplyCork::release();
    ReplyCork::release();  // a release without a hold is harmless
    EXPECT_EQ(corked(a.server), 0);
    ReplyCork::forget();
}

TEST(ReplyCork, HeldBytesLeaveTogetherOnRelease)
{
    Pair a;
    ReplyCork::forget();
    ReplyCork::hold(a.request());
    ASSERT_EQ(write(a.server, "HEAD|", 5), 5);
    ASSERT_EQ(write(a.server, "BODY", 4), 4);
    ReplyCork::release();
    char buf[32] = {};
    std::string got;
    while (got.size() < 9) {
        ssize_t n = read(a.client, buf, sizeof buf);
        ASSERT_GT(n, 0);
        got.append(buf, static_cast<size_t>(n));
    }
    EXPECT_EQ(got, "HEAD|BODY");
    ReplyCork::forget();
}

TEST(BoundedTaskQueue, RunsTheAfterEachHookOnTheWorkerAfterEveryJob)
{
    std::mutex m;
    std::vector<std::string> order;
    {
        BoundedTaskQueue q(1, 4, [&] {
            std::lock_guard lock(m);
            order.push_back("after");
        });
        for (int i = 0; i < 2; ++i)
            q.enqueue([&] {
                std::lock_guard lock(m);
                order.push_back("job");
            });
        q.shutdown();
    }
    EXPECT_EQ(order, (std::vector<std::string>{"job", "after", "job", "after"}));
}
