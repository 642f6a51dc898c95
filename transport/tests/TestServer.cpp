#include "TestServer.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "CodePage949Qt.h"
#include "Deploy.h"

namespace transporttest {

std::string SeenRequest::header(const std::string& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size()
            && std::equal(key.begin(), key.end(), name.begin(),
                          [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return value;
    }
    return {};
}

TestServer::TestServer() : server_(std::make_unique<httplib::Server>())
{
    server_->set_tcp_nodelay(true);
    server_->set_keep_alive_max_count(4);
    server_->new_task_queue = [] { return new httplib::ThreadPool(4); };
}

TestServer::~TestServer()
{
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

void TestServer::record(const httplib::Request& req)
{
    SeenRequest seen;
    seen.method = req.method;
    seen.path = req.path;
    seen.target = req.target;
    seen.body = req.body;
    for (const auto& [k, v] : req.headers)
        seen.headers.emplace(k, v);
    std::lock_guard lock(mutex_);
    seen_.push_back(std::move(seen));
}

void TestServer::onGet(const std::string& path, Handler handler)
{
    server_->Get(path, [this, handler](const httplib::Request& req, httplib::Response& res) {
        record(req);
        handler(req, res);
    });
}

void TestServer::onPost(const std::string& path, Handler handler)
{
    server_->Post(path, [this, handler](const httplib::Request& req, httplib::Response& res) {
        record(req);
        handler(req, res);
    });
}

void TestServer::start()
{
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

QString TestServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QString TestServer::url(const QString& pathAndQuery) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(pathAndQuery);
}

std::vector<SeenRequest> TestServer::requests() const
{
    std::lock_guard lock(mutex_);
    return seen_;
}

SeenRequest TestServer::lastRequest() const
{
    std::lock_guard lock(mutex_);
    return seen_.empty() ? SeenRequest{} : seen_.back();
}

int TestServer::requestCount() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(seen_.size());
}

namespace {

int listenOnLoopback(int* port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

} // namespace

RawServer::RawServer(std::string answer) : answer_(std::move(answer))
{
    listenFd_ = listenOnLoopback(&port_);
    ::listen(listenFd_, 8);
    thread_ = std::thread([this] { run(); });
}

RawServer::~RawServer()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    ::close(listenFd_);
}

QString RawServer::url(const QString& pathAndQuery) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(pathAndQuery);
}

void RawServer::run()
{
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        // Read the request head (up to the blank line) before answering.
        std::string head;
        char buffer[2048];
        while (head.find("\r\n\r\n") == std::string::npos) {
            pollfd c{client, POLLIN, 0};
            if (::poll(&c, 1, 2000) <= 0)
                break;
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            head.append(buffer, static_cast<size_t>(n));
        }
        size_t sent = 0;
        while (sent < answer_.size()) {
            ssize_t n = ::send(client, answer_.data() + sent, answer_.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += static_cast<size_t>(n);
        }
        ::shutdown(client, SHUT_RDWR);
        ::close(client);
    }
}

int closedPort()
{
    int port = 0;
    int fd = listenOnLoopback(&port);
    ::close(fd);
    return port;
}

void Gate::wait()
{
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(10), [this] { return released_; });
}

void Gate::release()
{
    std::lock_guard lock(mutex_);
    released_ = true;
    cv_.notify_all();
}

DeployFile::DeployFile(const QString& serverHost, const QString& gatewayKey)
{
    hadPrevious_ = qEnvironmentVariableIsSet("TVPB_DEPLOY");
    previous_ = qgetenv("TVPB_DEPLOY");
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    dir_ = dir.path();
    const QString path = QDir(dir_).filePath(QStringLiteral("deploy.ini"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QByteArray text = "[bank]\nserver_host=" + serverHost.toUtf8() + "\n";
        if (!gatewayKey.isEmpty())
            text += "gateway_public_key=" + gatewayKey.toUtf8() + "\n";
        file.write(text);
    }
    file.close();
    qputenv("TVPB_DEPLOY", QFile::encodeName(path));
    platform::Deploy::reload();
}

DeployFile::~DeployFile()
{
    if (hadPrevious_)
        qputenv("TVPB_DEPLOY", previous_);
    else
        qunsetenv("TVPB_DEPLOY");
    platform::Deploy::reload();
    QDir(dir_).removeRecursively();
}

std::string cp949(const QString& text)
{
    const QByteArray bytes = cp949::encode(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString fromCp949(const std::string& bytes)
{
    return cp949::decode(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace transporttest
