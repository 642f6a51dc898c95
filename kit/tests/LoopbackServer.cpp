#include "LoopbackServer.h"

#include <httplib.h>

#include <QByteArray>
#include <QUrl>
#include <thread>

#include "CodePage949Qt.h"

struct LoopbackServer::Impl {
    httplib::Server server;
    std::thread thread;
    mutable std::mutex mutex;
    QString reply;
    QString rawBody;
    bool raw = false;
    int status = 200;
    QList<Hit> hits;
};

namespace {

QString percentDecoded(const std::string& s)
{
    return QUrl::fromPercentEncoding(QByteArray::fromStdString(s));
}

} // namespace

LoopbackServer::LoopbackServer() : d_(std::make_unique<Impl>())
{
    Impl* d = d_.get();
    d->server.set_tcp_nodelay(true);
    d->server.set_keep_alive_max_count(1);

    auto encrypted = [d](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(d->mutex);
        Hit hit;
        hit.method = QString::fromStdString(req.method);
        hit.path = QString::fromStdString(req.path);
        hit.rawBody = QString::fromStdString(req.body);
        std::string cipher;
        if (req.method == "GET") {
            cipher = req.get_param_value("q");
        } else if (req.body.rfind("q=", 0) == 0) {
            cipher = percentDecoded(req.body.substr(2)).toStdString();
        }
        hit.query = QString::fromUtf8(QByteArray::fromBase64(QByteArray::fromStdString(cipher)));
        d->hits.append(hit);
        res.status = d->status;
        if (d->status == 200)
            res.set_content(d->raw ? d->rawBody.toStdString() : d->reply.toUtf8().toBase64().toStdString(),
                            "text/plain");
    };
    d->server.Get("/servlet/TvPdaMain", encrypted);
    d->server.Post("/servlet/TvPdaMain", encrypted);
    d->server.Get("/servlet/TvPdaNoEnc", [d](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(d->mutex);
        Hit hit;
        hit.method = QString::fromStdString(req.method);
        hit.path = QString::fromStdString(req.path);
        const auto mark = req.target.find('?');
        hit.query = mark == std::string::npos ? QString() : QString::fromStdString(req.target.substr(mark + 1));
        d->hits.append(hit);
        res.status = d->status;
        if (d->status == 200) {
            const QByteArray body = cp949::encode(d->reply);
            res.set_content(body.toStdString(), "text/plain; charset=ks_c_5601-1987");
        }
    });
    port_ = d->server.bind_to_any_port("127.0.0.1");
    d->thread = std::thread([d] { d->server.listen_after_bind(); });
    // Stopping before the accept loop runs would leave it running for ever.
    while (!d->server.is_running())
        std::this_thread::yield();
}

LoopbackServer::~LoopbackServer()
{
    d_->server.stop();
    if (d_->thread.joinable())
        d_->thread.join();
}

QString LoopbackServer::mainUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/servlet/TvPdaMain").arg(port_);
}

void LoopbackServer::setReply(const QString& envelope)
{
    std::lock_guard lock(d_->mutex);
    d_->reply = envelope;
    d_->raw = false;
    d_->status = 200;
}

void LoopbackServer::setRawBody(const QString& body)
{
    std::lock_guard lock(d_->mutex);
    d_->rawBody = body;
    d_->raw = true;
    d_->status = 200;
}

void LoopbackServer::setStatus(int status)
{
    std::lock_guard lock(d_->mutex);
    d_->status = status;
}

QList<LoopbackServer::Hit> LoopbackServer::hits() const
{
    std::lock_guard lock(d_->mutex);
    return d_->hits;
}
