#include "HttpExchange.h"

#include <curl/curl.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "CQD.h"
#include "DownloadStatus.h"

namespace transport {
namespace {

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlUrlDeleter {
    void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
struct CurlDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

struct Transfer {
    CURL* easy = nullptr;
    const HttpRequest* request = nullptr;
    StatusReporter* reporter = nullptr;
    HttpResponse* response = nullptr;
    long status = 0;
    bool headersSeen = false;
    bool bodyRefused = false; // status whose body is not wanted: stopped on purpose
    bool tooLarge = false;
    bool sinkFailed = false;
    bool started = false;
    qint64 received = 0;
};

size_t onHeader(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    QByteArray line(data, static_cast<qsizetype>(n));
    if (!t->headersSeen) {
        t->headersSeen = true;
        t->reporter->report(InternetStatus::RequestSent);
        t->reporter->report(InternetStatus::ReceivingResponse);
    }
    if (line.startsWith("HTTP/"))
        t->response->rawHeaders.clear(); // a new answer (after 100 Continue)
    if (t->response->rawHeaders.size() + line.size() > 1024 * 1024)
        return 0; // hostile header flood
    t->response->rawHeaders += line;
    return n;
}

size_t onBody(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->status == 0) // first body bytes: the status line is complete by now
        curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &t->status);
    if (t->bodyRefused)
        return 0;
    if (t->request->wantBody && !t->request->wantBody(t->status)) {
        t->bodyRefused = true;
        return 0;
    }
    const qint64 limit = t->request->maxBodyBytes > 0 ? t->request->maxBodyBytes : CQD::kMaxBodyBytes;
    if (t->received + static_cast<qint64>(n) > limit) {
        t->tooLarge = true;
        return 0;
    }
    if (!t->started) {
        t->started = true;
        if (t->request->bodyStarts) {
            curl_off_t length = -1;
            curl_easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            t->request->bodyStarts(length);
        }
    }
    t->received += static_cast<qint64>(n);
    if (t->request->sink) {
        if (!t->request->sink(data, static_cast<qint64>(n))) {
            t->sinkFailed = true;
            return 0;
        }
    } else {
        t->response->body.append(data, static_cast<qsizetype>(n));
    }
    if (t->request->bodyProgress)
        t->request->bodyProgress(t->received);
    return n;
}

curl_socket_t onOpenSocket(void* user, curlsocktype, curl_sockaddr* addr)
{
    auto* t = static_cast<Transfer*>(user);
    t->reporter->report(InternetStatus::NameResolved);
    t->reporter->report(InternetStatus::ConnectingToServer);
    return socket(addr->family, addr->socktype | SOCK_CLOEXEC, addr->protocol);
}

int onPrereq(void* user, char*, char*, int, int)
{
    auto* t = static_cast<Transfer*>(user);
    t->reporter->report(InternetStatus::ConnectedToServer);
    t->reporter->report(InternetStatus::SendingRequest);
    return CURL_PREREQFUNC_OK;
}

QString errorTextFor(CURLcode code, const char* detail)
{
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("Error: 서버와의 통신 시간이 초과되었습니다.");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Error: 서버에 연결할 수 없습니다.");
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("Error: 서버의 IP주소를 찾을 수 없습니다.");
    case CURLE_GOT_NOTHING:
        return QStringLiteral("Error: 서버로부터 응답이 없습니다.");
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("Error: 서버와의 연결이 끊어졌습니다.");
    case CURLE_OUT_OF_MEMORY:
    case CURLE_FILESIZE_EXCEEDED:
        return outOfMemoryText();
    default:
        break;
    }
    QString message = QString::fromUtf8(detail && *detail ? detail : curl_easy_strerror(code));
    return QStringLiteral("Error: %1").arg(message.left(260));
}

} // namespace

QString outOfMemoryText()
{
    return QStringLiteral("Error: 페이지를 로드할 메모리가 부족합니다.");
}

SplitUrl splitUrl(const QString& url)
{
    initCurlOnce();
    SplitUrl out;
    out.looksHttp = url.trimmed().startsWith(QLatin1String("http://"), Qt::CaseInsensitive);
    std::unique_ptr<CURLU, CurlUrlDeleter> h(curl_url());
    if (!h)
        return out;
    const QByteArray bytes = url.trimmed().toUtf8();
    if (bytes.contains('\0'))
        return out;
    if (curl_url_set(h.get(), CURLUPART_URL, bytes.constData(), CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE)
        != CURLUE_OK)
        return out;
    char* scheme = nullptr;
    char* host = nullptr;
    const bool hasScheme = curl_url_get(h.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK;
    const bool hasHost = curl_url_get(h.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK && host && *host;
    const bool http = hasScheme && qstrcmp(scheme, "http") == 0;
    curl_free(scheme);
    curl_free(host);
    if (!hasScheme)
        return out;
    if (!http) {
        out.kind = SplitUrl::OtherService;
        return out;
    }
    if (!hasHost)
        return out;
    char* full = nullptr;
    if (curl_url_get(h.get(), CURLUPART_URL, &full, 0) != CURLUE_OK)
        return out;
    out.url = QByteArray(full);
    curl_free(full);
    out.kind = SplitUrl::Http;
    return out;
}

QByteArray locationHeader(const QByteArray& rawHeaders, bool* found)
{
    *found = false;
    for (const QByteArray& line : rawHeaders.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        if (line.left(colon).trimmed().toLower() != "location")
            continue;
        *found = true;
        return line.mid(colon + 1).trimmed();
    }
    return {};
}

HttpResponse performHttp(const HttpRequest& request, StatusReporter& reporter)
{
    initCurlOnce();
    HttpResponse response;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        response.error = outOfMemoryText();
        return response;
    }
    reporter.report(InternetStatus::HandleCreated);

    Transfer t;
    t.easy = curl.get();
    t.request = &request;
    t.reporter = &reporter;
    t.response = &response;

    QList<QByteArray> lines = request.headers;
    if (request.post)
        lines += QByteArrayLiteral("Expect:"); // no "Expect: 100-continue" round trip
    std::unique_ptr<curl_slist, SlistDeleter> headers;
    for (const QByteArray& line : lines) {
        curl_slist* head = curl_slist_append(headers.get(), line.constData());
        if (!head) {
            response.error = outOfMemoryText();
            return response;
        }
        if (!headers)
            headers.reset(head);
    }

    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, request.url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Pda_HttpVelcor");
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, CQD::ConnectTimeoutMs());
    if (request.stallTimeoutMs > 0) {
        // At least one byte per second, measured over the stall time.
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, std::max(1L, request.stallTimeoutMs / 1000));
    } else {
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, CQD::TotalTimeoutMs());
    }
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(request.maxBodyBytes > 0 ? request.maxBodyBytes : CQD::kMaxBodyBytes));
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, onOpenSocket);
    curl_easy_setopt(c, CURLOPT_OPENSOCKETDATA, &t);
    curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, onPrereq);
    curl_easy_setopt(c, CURLOPT_PREREQDATA, &t);
    if (request.post) {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.constData());
    } else {
        curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    }

    reporter.report(InternetStatus::ResolvingName);
    const CURLcode rc = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);

    response.tooLarge = t.tooLarge || rc == CURLE_FILESIZE_EXCEEDED;
    response.truncated = rc == CURLE_PARTIAL_FILE;
    response.sinkFailed = t.sinkFailed;
    response.timedOut = rc == CURLE_OPERATION_TIMEDOUT;
    response.cannotConnect = rc == CURLE_COULDNT_CONNECT || rc == CURLE_COULDNT_RESOLVE_HOST;
    if (t.tooLarge) {
        response.error = outOfMemoryText();
    } else if (rc == CURLE_OK || (rc == CURLE_WRITE_ERROR && t.bodyRefused)) {
        response.ok = response.status != 0;
        if (!response.ok)
            response.error = errorTextFor(CURLE_GOT_NOTHING, nullptr);
        else
            reporter.report(InternetStatus::ResponseReceived);
    } else {
        response.error = errorTextFor(rc, errorBuffer);
    }
    if (!response.ok)
        response.body.clear();

    reporter.report(InternetStatus::ClosingConnection);
    curl.reset();
    reporter.report(InternetStatus::ConnectionClosed);
    if (response.ok)
        reporter.report(InternetStatus::RequestComplete);
    return response;
}

} // namespace transport
