#include "BankServer.h"

#include <chrono>
#include <cstdio>
#include <sys/socket.h>

#include <httplib.h>

#include "AccessLog.h"
#include "CodePage949.h"
#include "ConnectionIntake.h"
#include "ConnectionStream.h"
#include "Dispatcher.h"
#include "IntakeServer.h"
#include "IpAddress.h"
#include "ResultCodes.h"
#include "Sessions.h"
#include "SimpleRequest.h"
#include "velcor/Gateway.h"

namespace bankd {

namespace {

constexpr const char* kMainPath = "/servlet/TvPdaMain";
constexpr const char* kPlainPath = "/servlet/TvPdaNoEnc";
constexpr const char* kTextType = "text/plain; charset=x-windows-949";
// The short path leaves a longer form to httplib, which refuses it.
static_assert(kSimpleFormMost == CPPHTTPLIB_FORM_URL_ENCODED_PAYLOAD_MAX_LENGTH);

// What the handler of one request reports to the access log (the same worker
// thread runs the handler and then the logger).
struct RequestNote {
    std::chrono::steady_clock::time_point start;
    bool set = false;
    std::string trcode;
    std::string sessionKey;
    std::string user;
    std::string result;
    std::string route;
    std::string address;
};
thread_local RequestNote tNote;
// The reply just written refused the request as malformed or too large: the
// connection is closed rather than kept for another request.
thread_local bool tRefusedRequest = false;

void note(const char* route, const DispatchOutcome& o, std::string_view sessionKey)
{
    tNote.set = true;
    tNote.route = route;
    tNote.trcode = o.trcode;
    tNote.user = o.user;
    tNote.result = o.envelope.code();
    tNote.sessionKey = sessionKey.substr(0, 8);  // all the log line shows of it
}

void noteRefusal(const std::string& route, const std::string& result)
{
    tNote.set = true;
    tNote.route = route;
    tNote.trcode = "-";
    tNote.user = "-";
    tNote.result = result;
    tNote.sessionKey.clear();
}

// The "q" value of a form body "q=...".
std::string formValueQ(const std::string& body)
{
    size_t pos = 0;
    while (pos <= body.size()) {
        size_t amp = body.find('&', pos);
        std::string_view pair(body.data() + pos, (amp == std::string::npos ? body.size() : amp) - pos);
        if (pair.substr(0, 2) == "q=")
            return percentDecode(pair.substr(2), false);
        if (amp == std::string::npos)
            break;
        pos = amp + 1;
    }
    return {};
}

// Plain requests arrive in code page 949 (ASCII is the same in UTF-8).
std::optional<std::string> plainText(const std::string& bytes)
{
    if (cp949::isValidUtf8(bytes))
        return bytes;
    return cp949::toUtf8Strict(bytes);
}

// Sets the reply body (moved, not copied) and its type.
void setText(httplib::Response& res, std::string body)
{
    static const std::string type = kTextType;
    res.body = std::move(body);
    res.headers.erase("Content-Type");
    res.set_header("Content-Type", type);
}

// clockNotice: the gateway's sealed time, on a second line, for a request
// refused for its time only.
void refuseGateway(httplib::Response& res, const std::string& reason, const std::string& clockNotice = {})
{
    res.status = 400;
    std::string text = velcor::errorReply(reason);
    if (!clockNotice.empty())
        text += "\n" + std::string(velcor::protocol::kClockPrefix) + clockNotice;
    res.set_content(cp949::fromUtf8(text), kTextType);
    noteRefusal(tNote.route.empty() ? "enc" : tNote.route, "GW-REFUSED");
}

} // namespace

BankServer::BankServer(Dispatcher& dispatcher, velcor::Gateway& gateway, AccessLog& log, ServerOptions options)
    : dispatcher_(dispatcher), gateway_(gateway), log_(log), options_(std::move(options))
{
}

BankServer::~BankServer()
{
    stop();
}

std::string BankServer::clientAddress(const httplib::Request& req) const
{
    if (options_.trustedFronts.count(req.remote_addr) == 0)
        return req.remote_addr;
    return clientAddress(req.remote_addr, req.get_header_value("X-Real-IP"), req.get_header_value("X-Forwarded-For"));
}

std::string BankServer::clientAddress(const std::string& peer, std::string_view realIp, std::string_view forwardedFor) const
{
    if (options_.trustedFronts.count(peer) == 0)
        return peer;
    // The front sets X-Real-IP; X-Forwarded-For's last entry is the one the
    // front added itself (earlier ones are whatever the client sent).
    std::string named = ipAddressText(std::string(realIp));
    if (named.empty()) {
        size_t comma = forwardedFor.rfind(',');
        named = ipAddressText(std::string(comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1)));
    }
    return named.empty() ? peer : named;
}

std::size_t BankServer::refusedConnections() const
{
    return intake_ ? intake_->refusedConnections() : 0;
}

// The encrypted servlet: the gateway opens the request, the dispatcher answers
// it, the gateway seals the answer.
void BankServer::answerEncrypted(std::string cipher, const std::string& peer, httplib::Response& res)
{
    tNote.route = "enc";
    // A '+' that reached us unescaped has become a blank; base64 has none.
    for (char& c : cipher)
        if (c == ' ')
            c = '+';
    if (cipher.empty()) {
        refuseGateway(res, "요청 내용이 없습니다.");
        return;
    }
    velcor::OpenResult opened = gateway_.open(cipher, peer);
    if (!opened.ok) {
        refuseGateway(res, opened.reason, opened.clockNotice);
        return;
    }
    DispatchOutcome o = dispatcher_.dispatch(Route::Encrypted, opened.opened.sessionKey, opened.opened.request, peer);
    // A logged-in session no longer counts as anonymous at the gateway
    // (once marked, it stays marked).
    if (!opened.opened.established && dispatcher_.sessions().userOf(opened.opened.sessionKey))
        gateway_.establish(opened.opened.sessionKey);
    setText(res, gateway_.seal(opened.opened, o.envelope.str()));
    note("enc", o, opened.opened.sessionKey);
}

void BankServer::routes()
{
    auto encrypted = [this](std::string cipher, const std::string& peer, httplib::Response& res) {
        answerEncrypted(std::move(cipher), peer, res);
    };
    auto plain = [this](const std::string& bytes, const std::string& peer, httplib::Response& res) {
        auto text = plainText(bytes);
        DispatchOutcome o = text ? dispatcher_.dispatch(Route::Plain, std::string(), *text, peer)
                                 : DispatchOutcome{Envelope(result::kMalformed, result::kMalformedText), "-", "-"};
        res.set_content(cp949::fromUtf8(o.envelope.str()), kTextType);
        note("plain", o, {});
    };

    http_->Get(kMainPath, [encrypted](const httplib::Request& req, httplib::Response& res) {
        encrypted(req.get_param_value("q"), tNote.address, res);
    });
    http_->Post(kMainPath, [encrypted](const httplib::Request& req, httplib::Response& res) {
        encrypted(req.has_param("q") ? req.get_param_value("q") : formValueQ(req.body), tNote.address, res);
    });
    http_->Get(kPlainPath, [plain](const httplib::Request& req, httplib::Response& res) {
        size_t q = req.target.find('?');
        plain(q == std::string::npos ? std::string() : req.target.substr(q + 1), tNote.address, res);
    });
    http_->Post(kPlainPath, [plain](const httplib::Request& req, httplib::Response& res) { plain(req.body, tNote.address, res); });
    http_->Post(std::string(velcor::protocol::kEndSessionPath),
                [this](const httplib::Request& req, httplib::Response& res) {
                    tNote.route = "end";
                    velcor::EndResult r = gateway_.endSession(req.body);
                    if (!r.ok) {
                        refuseGateway(res, r.reason);
                        return;
                    }
                    dispatcher_.sessions().end(r.sessionKey);
                    res.set_content(r.reply, kTextType);
                    DispatchOutcome o{Envelope(result::kOk, ""), "END", "-"};
                    note("end", o, r.sessionKey);
                });
    if (!options_.downloadDir.empty()) {
        http_->set_mount_point("/download/compaq", options_.downloadDir);
        http_->set_file_extension_and_mimetype_mapping("info", "text/plain");
    }

    http_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        tNote = RequestNote{};
        tNote.start = std::chrono::steady_clock::now();
        tNote.address = clientAddress(req);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http_->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(cp949::fromUtf8(velcor::errorReply(result::kSystemText)), kTextType);
        noteRefusal(tNote.route.empty() ? "-" : tNote.route, "HTTP500");
    });
    // httplib calls the logger once the whole reply is written.
    http_->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        logRequest(res.status, tNote.address.empty() ? clientAddress(req) : std::string(), req.path);
    });
}

// The access log's line for the request just answered; address: the
// client's, when the handler did not note it.
void BankServer::logRequest(int status, const std::string& address, std::string_view path)
{
    // (A gateway's refusal is a 400 too, of a well-formed request: tNote is set.)
    tRefusedRequest = status == 413 || status == 414 || status == 431 || (status == 400 && !tNote.set);
    AccessRecord r;
    r.latency = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - tNote.start);
    r.address = tNote.address.empty() ? std::string_view(address) : std::string_view(tNote.address);
    std::string statusText;
    if (tNote.set) {
        r.trcode = tNote.trcode;
        r.sessionKey = tNote.sessionKey;
        r.user = tNote.user;
        r.result = tNote.result;
        r.route = tNote.route;
    } else {
        statusText = "HTTP" + std::to_string(status);
        r.trcode = "-";
        r.user = "-";
        r.result = statusText;
        r.route = path.rfind("/download/", 0) == 0 ? "download" : "other";
    }
    log_.write(r);
}

void BankServer::start()
{
    const ServerOptions& o = options_;
    IntakeLimits limits;
    limits.perAddress = o.connectionsPerAddress;
    limits.total = o.maxConnections;
    limits.requestDeadline = o.requestDeadline;
    limits.idleTimeout = std::chrono::seconds(o.keepAliveTimeout);
    limits.bodyMax = o.payloadMax;
    limits.unlimited = o.trustedFronts;
    intake_ = std::make_unique<ConnectionIntake>(limits, o.threads,
                                                 [this](Connection& c) { return serveConnection(c); });
    intake_->start();

    http_ = std::make_unique<IntakeServer>();
    http_->accepted = [this](int fd) { intake_->add(fd); };
    // SO_REUSEADDR only: httplib's default adds SO_REUSEPORT, which would let a
    // second server share the port silently instead of failing to bind.
    http_->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    http_->set_keep_alive_max_count(o.keepAliveMax);
    keepAliveHeader_ = "Keep-Alive: timeout=" + std::to_string(o.keepAliveTimeout) +
                       ", max=" + std::to_string(o.keepAliveMax) + "\r\n";
    http_->set_keep_alive_timeout(o.keepAliveTimeout);
    http_->set_payload_max_length(o.payloadMax);
    http_->set_write_timeout(o.writeTimeout, 0);
    routes();

    bool bound = false;
    if (o.port == 0) {
        port_ = http_->bind_to_any_port(o.host);
        bound = port_ > 0;
    } else {
        bound = http_->bind_to_port(o.host, o.port);
        port_ = o.port;
    }
    if (!bound) {
        http_.reset();
        intake_->stop();
        intake_.reset();
        throw PortInUse(o.port == 0 ? "cannot listen on " + o.host
                                    : "cannot listen on " + o.host + ":" + std::to_string(o.port) +
                                          " (address in use or not available)");
    }
    http_->widenBacklog(1024);
    auto listenerDone = std::make_shared<std::atomic<bool>>(false);
    listener_ = std::thread([this, listenerDone] {
        http_->listen_after_bind();
        *listenerDone = true;
    });
    // stop() only reaches a server that is already running: one stopped before
    // its listener got going would listen on and never be joined. However long
    // a loaded machine takes to schedule the listener, wait for it (or for its
    // end, should it fail at once).
    while (!http_->is_running() && !*listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    {
        std::lock_guard<std::mutex> lock(sweepMutex_);
        stopping_ = false;
    }
    sweeper_ = std::thread([this] { sweep(); });
}

// The encrypted servlet's plain GET and form POST (every request of the
// client), answered without the general parser: the same answer, status line
// and headers as through it. False: not such a request, nothing done.
bool BankServer::serveSimple(Connection& c, ConnectionStream& stream, bool closeConnection, bool& closed)
{
    const std::string_view request(c.bytes.data(), c.requestLength);
    const auto simple = parseSimpleRequest(request);
    if (!simple || simple->path != kMainPath)
        return false;
    auto cipher = soleQueryValue(simple->post ? simple->body : simple->query, "q");
    if (!cipher)
        return false;
    tNote.address = clientAddress(c.peer, simple->realIp, simple->forwardedFor);
    httplib::Response res;
    try {
        answerEncrypted(std::move(*cipher), tNote.address, res);
    } catch (...) {
        res = httplib::Response();
        res.status = 500;
        res.set_content(cp949::fromUtf8(velcor::errorReply(result::kSystemText)), kTextType);
        noteRefusal(tNote.route.empty() ? "-" : tNote.route, "HTTP500");
    }
    if (res.status == -1)
        res.status = 200;  // as the general path does for a handler that set none
    closed = closeConnection || simple->close;
    const char* reason = res.status == 200 ? "OK" : res.status == 400 ? "Bad Request" : "Internal Server Error";
    std::string head;
    head.reserve(160);
    head.append("HTTP/1.1 ").append(std::to_string(res.status)).append(" ").append(reason).append("\r\n");
    if (closed)
        head.append("Connection: close\r\n");
    head.append("Content-Length: ").append(std::to_string(res.body.size())).append("\r\n");
    head.append("Content-Type: ").append(kTextType).append("\r\n");
    if (!closed)
        head.append(keepAliveHeader_);
    head.append("\r\n");
    stream.write(head.data(), head.size());
    stream.write(res.body.data(), res.body.size());
    logRequest(res.status, std::string(), simple->path);
    return true;
}

// Answers the whole request at the front of the connection's bytes; true:
// the connection stays open for its next request.
bool BankServer::serveConnection(Connection& c)
{
    const bool closeConnection = c.served + 1 >= options_.keepAliveMax;
    bool closed = false;
    bool ok = false;
    {
        ConnectionStream stream(c, std::chrono::seconds(options_.writeTimeout));
        tRefusedRequest = false;
        tNote = RequestNote{};  // what httplib refuses before routing is logged without a stale note
        tNote.start = std::chrono::steady_clock::now();
        if (serveSimple(c, stream, closeConnection, closed))
            ok = !tRefusedRequest;
        else
            ok = http_->serve(stream, closeConnection, closed) && !tRefusedRequest;
        ok = stream.flush() && ok;
        stream.consume();
    }
    ++c.served;
    return ok && !closed && !closeConnection;
}

void BankServer::sweep()
{
    std::unique_lock<std::mutex> lock(sweepMutex_);
    while (!sweepWake_.wait_for(lock, options_.sweepInterval, [this] { return stopping_; })) {
        lock.unlock();
        dispatcher_.sessions().purge();
        dispatcher_.rateLimiter().purge();
        for (const std::string& key : gateway_.expireIdle(options_.gatewayIdle))
            dispatcher_.sessions().forget(key);
        if (sweepHook_)
            sweepHook_();
        lock.lock();
    }
}

void BankServer::stop()
{
    if (!http_)
        return;
    {
        std::lock_guard<std::mutex> lock(sweepMutex_);
        stopping_ = true;
    }
    sweepWake_.notify_all();
    if (sweeper_.joinable())
        sweeper_.join();
    http_->stop();
    if (listener_.joinable())
        listener_.join();
    // Requests being answered are finished; every connection is then closed.
    intake_->stop();
    intake_.reset();
    http_.reset();
}

} // namespace bankd
