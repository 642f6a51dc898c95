#pragma once
// Reads every request whole before it is answered, and answers it on the
// thread that read it. A fixed number of serving threads wait on one event
// queue (epoll) holding every open connection; a connection is armed for one
// event at a time, so exactly one thread takes it when bytes arrive. That
// thread reads what is there without waiting: a request not yet whole goes
// back to the queue with its bytes, a whole one is served at once (no hand-off
// to another thread). A client that sends slowly, or connects and sends
// nothing, holds a buffer here and never a thread.
//
// Bounds: a whole request must arrive within requestDeadline of its first
// byte (of the connection, for its first request), else 408 and close; a
// kept-alive connection may wait idleTimeout for its next request; each peer
// address may hold perAddress open connections (addresses in `unlimited`,
// a trusted front, are not counted), all peers together `total`.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace bankd {

struct IntakeLimits {
    std::size_t perAddress = 100;
    std::size_t total = 1000;
    std::chrono::milliseconds requestDeadline{10000};
    std::chrono::milliseconds idleTimeout{5000};
    std::size_t headerMax = 16 * 1024;
    std::size_t bodyMax = 256 * 1024;
    std::set<std::string> unlimited;
};

// One client connection; while a thread reads or serves it, no other does.
struct Connection {
    int fd = -1;
    std::uint32_t id = 0;      // tells an fd number used again apart
    std::string peer;
    int peerPort = 0;
    std::string local;
    int localPort = 0;
    std::string bytes;         // received and not yet consumed: a whole request first
    std::size_t requestLength = 0;
    std::size_t served = 0;    // requests answered on it
    bool counted = false;      // counts against its peer's limit
    // The intake's bookkeeping (under its lock):
    std::chrono::steady_clock::time_point deadline;
    bool busy = false;         // a thread has it
    bool idle = false;         // between two requests, nothing received yet
    bool continued = false;    // "100 Continue" sent for the request under way
    bool peerClosed = false;   // the peer has closed its side
};

class ConnectionIntake {
public:
    // serve answers the whole request at the front of c.bytes (requestLength
    // set) on a serving thread; true: keep the connection for another request.
    using Serve = std::function<bool(Connection& c)>;
    ConnectionIntake(IntakeLimits limits, std::size_t threads, Serve serve);
    ~ConnectionIntake();
    ConnectionIntake(const ConnectionIntake&) = delete;
    ConnectionIntake& operator=(const ConnectionIntake&) = delete;

    void start();
    // Requests being answered are finished; every connection is then closed.
    void stop();

    // An accepted socket (any thread). Over a limit it is answered 503 and closed.
    void add(int fd);

    std::size_t openConnections() const;
    std::size_t refusedConnections() const { return refused_.load(); }

private:
    void run();
    void take(int fd, std::uint32_t id);
    bool arm(Connection& c, bool fresh);
    void close(int fd);
    void sweep();

    IntakeLimits limits_;
    std::size_t threadCount_;
    Serve serve_;
    int epoll_ = -1;
    int stopFd_ = -1;
    std::vector<std::thread> threads_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> refused_{0};
    std::chrono::milliseconds sweepEvery_;
    std::atomic<std::int64_t> nextSweep_{0};  // steady clock, in ms

    mutable std::mutex mutex_;  // the connections, their states and the counts
    std::unordered_map<int, std::unique_ptr<Connection>> open_;
    std::map<std::string, std::size_t> perPeer_;
    std::uint32_t nextId_ = 0;
};

} // namespace bankd
