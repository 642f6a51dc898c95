#pragma once
// The bank's HTTP front: the encrypted servlet (through the gateway half),
// the plain servlet, the gateway's end-session endpoint and the download
// host path. Runs its own accept thread; tests run it in-process on a
// loopback port. Each request is read whole by the connection intake before
// one of its serving threads answers it, so slow or idle clients hold no thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

namespace httplib {
struct Request;
struct Response;
}
namespace velcor {
class Gateway;
}

namespace bankd {

class Dispatcher;
class AccessLog;
class ConnectionIntake;
class IntakeServer;
struct Connection;
class ConnectionStream;

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 0;                      // 0: any free port
    std::size_t threads = 8;           // serving threads
    std::size_t keepAliveMax = 100;    // requests per connection
    std::time_t keepAliveTimeout = 5;  // seconds a kept-alive connection waits for its next request
    std::size_t payloadMax = 256 * 1024;
    std::time_t writeTimeout = 10;
    // A whole request (line, headers and body) must arrive within this from its
    // first byte; slower: 408 and closed. Read by the intake, never by a worker.
    std::chrono::milliseconds requestDeadline{10000};
    std::size_t connectionsPerAddress = 100;  // open connections per client address
    std::size_t maxConnections = 1000;        // open connections in all
    // Peers (a front such as nginx) whose X-Real-IP / X-Forwarded-For name the
    // client's address; they are not held to connectionsPerAddress.
    std::set<std::string> trustedFronts;
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
    // The client's address: the peer's, or what a trusted front says it is.
    std::string clientAddress(const httplib::Request& req) const;
    std::string clientAddress(const std::string& peer, std::string_view realIp, std::string_view forwardedFor) const;
    // Connections refused for a connection limit since start.
    std::size_t refusedConnections() const;
    // Stops accepting, finishes the requests under way and joins the threads.
    void stop();
    // Called by the sweeper after each sweep of the session tables (set before start()).
    void setSweepHook(std::function<void()> hook) { sweepHook_ = std::move(hook); }

private:
    void routes();
    void sweep();
    bool serveConnection(Connection& c);
    bool serveSimple(Connection& c, ConnectionStream& stream, bool closeConnection, bool& closed);
    void answerEncrypted(std::string cipher, const std::string& peer, httplib::Response& res);
    void logRequest(int status, const std::string& address, std::string_view path);

    Dispatcher& dispatcher_;
    velcor::Gateway& gateway_;
    AccessLog& log_;
    ServerOptions options_;
    std::unique_ptr<IntakeServer> http_;
    std::unique_ptr<ConnectionIntake> intake_;
    std::thread listener_;
    std::thread sweeper_;
    std::mutex sweepMutex_;
    std::condition_variable sweepWake_;
    bool stopping_ = false;
    std::function<void()> sweepHook_;
    int port_ = 0;
    std::string keepAliveHeader_;  // "Keep-Alive: timeout=..., max=...\r\n"
};

} // namespace bankd
