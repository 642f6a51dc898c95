#pragma once
// Loopback servers for the transport tests: a cpp-httplib server on 127.0.0.1
// and a free port, and a raw socket server that answers every connection with
// fixed bytes (for answers no well-behaved server would send).
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}

namespace transporttest {

// What the server saw of one request.
struct SeenRequest {
    std::string method;
    std::string path;
    std::string target; // path and query exactly as sent
    std::string body;   // raw bytes
    std::multimap<std::string, std::string> headers;
    std::string header(const std::string& name) const;
};

class TestServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Routes for GET and POST on path (exact).
    void onGet(const std::string& path, Handler handler);
    void onPost(const std::string& path, Handler handler);
    // Starts listening; routes must be set before.
    void start();

    int port() const { return port_; }
    QString host() const;                       // "127.0.0.1:<port>"
    QString url(const QString& pathAndQuery) const; // "http://127.0.0.1:<port>" + pathAndQuery

    std::vector<SeenRequest> requests() const;
    SeenRequest lastRequest() const;
    int requestCount() const;

private:
    void record(const httplib::Request& req);

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<SeenRequest> seen_;
};

// Answers each connection with `answer` after reading the request head, then closes.
class RawServer {
public:
    explicit RawServer(std::string answer);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;
    int port() const { return port_; }
    QString url(const QString& pathAndQuery) const;

private:
    void run();
    std::string answer_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int closedPort();

// Blocks handlers until released (a server that stalls).
class Gate {
public:
    void wait();    // returns when released, or after 10 s at most
    void release();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool released_ = false;
};

// Writes a deploy.ini naming the bank's server host (and optionally the gateway
// key), points TVPB_DEPLOY at it and reloads the deployment values.
class DeployFile {
public:
    explicit DeployFile(const QString& serverHost, const QString& gatewayKey = {});
    ~DeployFile();
    DeployFile(const DeployFile&) = delete;
    DeployFile& operator=(const DeployFile&) = delete;

private:
    QString dir_;
    QByteArray previous_;
    bool hadPrevious_ = false;
};

// Bytes of a text in code page 949 / UTF-8 helpers for server handlers.
std::string cp949(const QString& text);
QString fromCp949(const std::string& bytes);

} // namespace transporttest
