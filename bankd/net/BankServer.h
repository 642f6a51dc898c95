#pragma once
// The bank's HTTP front: the encrypted servlet (through the gateway half),
// the plain servlet, the gateway's end-session endpoint and the download
// host path. Runs its own accept thread; tests run it in-process on a
// loopback port.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace httplib {
class Server;
}
namespace velcor {
class Gateway;
}

namespace bankd {

class Dispatcher;
class AccessLog;

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 0;                      // 0: any free port
    std::size_t threads = 8;
    std::size_t maxQueued = 256;       // accepted connections waiting for a worker
    std::size_t keepAliveMax = 100;    // requests per connection
    std::time_t keepAliveTimeout = 5;  // seconds
    std::size_t payloadMax = 256 * 1024;
    std::time_t readTimeout = 10;
    std::time_t writeTimeout = 10;
    std::string downloadDir;           // served at /download/compaq/; empty: none
    std::chrono::seconds gatewayIdle{12 * 3600};  // gateway sessions forgotten after this
    std::chrono::seconds sweepInterval{30};
};

class PortInUse : public std::runtime_error {
public:
    explicit PortInUse(const std::string& what) : std::runtime_error(what) {}
};

class BankServer {
public:
    BankServer(Dispatcher& dispatcher, velcor::Gateway& gateway, AccessLog& log, ServerOptions options);
    ~BankServer();
    BankServer(const BankServer&) = delete;
    BankServer& operator=(const BankServer&) = delete;

    // Binds and starts serving; throws PortInUse when the address is taken.
    void start();
    int port() const { return port_; }
    // Stops accepting, finishes the requests under way and joins the threads.
    void stop();
    // Called by the sweeper after each sweep of the session tables (set before start()).
    void setSweepHook(std::function<void()> hook) { sweepHook_ = std::move(hook); }

private:
    void routes();
    void sweep();

    Dispatcher& dispatcher_;
    velcor::Gateway& gateway_;
    AccessLog& log_;
    ServerOptions options_;
    std::unique_ptr<httplib::Server> http_;
    std::thread listener_;
    std::thread sweeper_;
    std::mutex sweepMutex_;
    std::condition_variable sweepWake_;
    bool stopping_ = false;
    std::function<void()> sweepHook_;
    int port_ = 0;
};

} // namespace bankd
