#include "TestSupport.h"

#include <httplib.h>

#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Deploy.h"

namespace velcortest {

DeployFile::DeployFile(const QString& serverHost, const QString& gatewayKey)
{
    QFile f(path());
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write("[bank]\nserver_host=" + serverHost.toUtf8() + "\ngateway_public_key=" + gatewayKey.toUtf8() + "\n");
    f.close();
    hadPrevious_ = qEnvironmentVariableIsSet("TVPB_DEPLOY");
    previous_ = qgetenv("TVPB_DEPLOY");
    qputenv("TVPB_DEPLOY", path().toLocal8Bit());
    platform::Deploy::reload();
}

DeployFile::~DeployFile()
{
    if (hadPrevious_)
        qputenv("TVPB_DEPLOY", previous_);
    else
        qunsetenv("TVPB_DEPLOY");
    platform::Deploy::reload();
}

QString DeployFile::path() const
{
    return dir_.filePath(QStringLiteral("deploy.ini"));
}

EndSessionServer::EndSessionServer(velcor::Gateway& gateway)
    : EndSessionServer([&gateway](const std::string& body) -> std::pair<int, std::string> {
          const velcor::EndResult r = gateway.endSession(body);
          if (r.ok)
              return {200, r.reply};
          return {403, velcor::errorReply(r.reason)};
      })
{
}

EndSessionServer::EndSessionServer(Handler handler) : server_(std::make_unique<httplib::Server>())
{
    server_->Post(std::string(velcor::protocol::kEndSessionPath),
                  [this, handler](const httplib::Request& req, httplib::Response& res) {
                      ++calls_;
                      const auto [status, body] = handler(req.body);
                      res.status = status;
                      res.set_content(body, "text/plain; charset=utf-8");
                  });
    port_ = server_->bind_to_any_port("127.0.0.1");
    // listen_after_bind only accepts; the socket already takes connections.
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() before the loop runs would be lost and the destructor would wait forever.
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

EndSessionServer::~EndSessionServer()
{
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

QString uniqueGateAddress()
{
    static std::atomic<int> n{0};
    return QStringLiteral("gate%1.test:443:443").arg(++n);
}

int closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

} // namespace velcortest
