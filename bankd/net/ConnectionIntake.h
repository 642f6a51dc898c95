#pragma once
// Reads every request whole before a worker sees it. One thread watches all
// open connections (epoll) and gathers each one's request line, headers and
// body; only a complete request is handed on. A client that sends slowly, or
// connects and sends nothing, holds a buffer here and never a worker.
//
// Bounds: a whole request must arrive within requestDeadline of its first
// byte (of the connection, for its first request), else 408 and close; a
// kept-alive connection may wait idleTimeout for its next request; each peer
// address may hold perAddress open connections (addresses in `unlimited`,
// a trusted front, are not counted), all peers together `total`.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
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

// One client connection, owned by the intake or by the worker serving it.
struct Connection {
    int fd = -1;
    std::string peer;
    int peerPort = 0;
    std::string local;
    int localPort = 0;
    std::string bytes;         // received and not yet consumed: a whole request first
    std::size_t requestLength = 0;
    std::size_t served = 0;    // requests answered on it
    bool counted = false;      // counts against its peer's limit
    // Intake only:
    std::chrono::steady_clock::time_point deadline;
    bool idle = false;         // between two requests, nothing received yet
    bool continued = false;    // "100 Continue" sent for the request under way
};

class ConnectionIntake {
public:
    // ready runs on the intake thread for each complete request; it must not block.
    using Ready = std::function<void(std::unique_ptr<Connection>)>;
    ConnectionIntake(IntakeLimits limits, Ready ready);
    ~ConnectionIntake();
    ConnectionIntake(const ConnectionIntake&) = delete;
    ConnectionIntake& operator=(const ConnectionIntake&) = delete;

    void start();
    // Closes every connection it holds; later add/resume close theirs at once.
    void stop();

    // An accepted socket (any thread). Over a limit it is answered 503 and closed.
    void add(int fd);
    // A served connection kept alive: waits here for its next request.
    void resume(std::unique_ptr<Connection> c);
    // A connection done with (any thread): closed and no longer counted.
    void close(std::unique_ptr<Connection> c);

    std::size_t openConnections() const;
    std::size_t refusedConnections() const { return refused_.load(); }

private:
    void run();
    void adopt(std::unique_ptr<Connection> c, bool fresh);
    void readFrom(Connection& c);
    void check(int fd);
    void drop(int fd, int status);
    void release(Connection& c);
    void wake();

    IntakeLimits limits_;
    Ready ready_;
    int epoll_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> refused_{0};

    mutable std::mutex mutex_;  // counts and the hand-over queue
    std::map<std::string, std::size_t> perPeer_;
    std::size_t open_ = 0;
    std::vector<std::pair<std::unique_ptr<Connection>, bool>> incoming_;  // (connection, fresh)

    std::map<int, std::unique_ptr<Connection>> held_;  // intake thread only
};

} // namespace bankd
