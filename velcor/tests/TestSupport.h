#pragma once
// Shared pieces of the velcor tests: a gateway with a fresh key pair, the
// deploy.ini that pins it, and a loopback HTTP server for the end-session call.
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "Gateway.h"

namespace httplib {
class Server;
}

namespace velcortest {

// Writes a deploy.ini (TVPB_DEPLOY) holding the server host and gateway key.
class DeployFile {
public:
    DeployFile(const QString& serverHost, const QString& gatewayKey);
    ~DeployFile();
    QString path() const;

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_ = false;
};

// A loopback HTTP server that routes the end-session path to a gateway.
class EndSessionServer {
public:
    // Answer to one POST body: HTTP status and body.
    using Handler = std::function<std::pair<int, std::string>(const std::string& body)>;
    explicit EndSessionServer(velcor::Gateway& gateway);
    explicit EndSessionServer(Handler handler);
    ~EndSessionServer();
    int port() const { return port_; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    int calls() const { return calls_; }

private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<int> calls_{0};
};

// A fresh gate address for every call: the engine is one per process and keeps
// one session per gate address.
QString uniqueGateAddress();

// A port on 127.0.0.1 where nothing listens.
int closedPort();

} // namespace velcortest
