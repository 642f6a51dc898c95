#include "HttpExchange.h"

#include <curl/curl.h>
#include <dlfcn.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "CQD.h"
#include "DownloadStatus.h"

namespace transport {
namespace {

// libcurl, loaded on the first request rather than with the program: it
// brings its TLS, Kerberos and LDAP libraries along, whose loading and
// set-up would otherwise be paid at every start of the client.
struct Curl {
    CURLcode (*global_init)(long);
    CURL* (*easy_init)();
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    CURLcode (*easy_perform)(CURL*);
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
    void (*easy_cleanup)(CURL*);
    const char* (*easy_strerror)(CURLcode);
    curl_slist* (*slist_append)(curl_slist*, const char*);
    void (*slist_free_all)(curl_slist*);
    CURLU* (*url)();
    void (*url_cleanup)(CURLU*);
    CURLUcode (*url_set)(CURLU*, CURLUPart, const char*, unsigned int);
    CURLUcode (*url_get)(const CURLU*, CURLUPart, char**, unsigned int);
    void (*free)(void*);
};

template <class Fn>
bool resolve(void* lib, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(dlsym(lib, name));
    return fn != nullptr;
}

// The loaded and initialised library, or null when it cannot be loaded.
const Curl* curlLib()
{
    static const Curl* loaded = [] () -> const Curl* {
        void* lib = dlopen(TVPB_CURL_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return nullptr;
        static Curl c;
        const bool all = resolve(lib, "curl_global_init", c.global_init) &&
                         resolve(lib, "curl_easy_init", c.easy_init) &&
                         resolve(lib, "curl_easy_setopt", c.easy_setopt) &&
                         resolve(lib, "curl_easy_perform", c.easy_perform) &&
                         resolve(lib, "curl_easy_getinfo", c.easy_getinfo) &&
                         resolve(lib, "curl_easy_cleanup", c.easy_cleanup) &&
                         resolve(lib, "curl_easy_strerror", c.easy_strerror) &&
                         resolve(lib, "curl_slist_append", c.slist_append) &&
                         resolve(lib, "curl_slist_free_all", c.slist_free_all) &&
                         resolve(lib, "curl_url", c.url) && resolve(lib, "curl_url_cleanup", c.url_cleanup) &&
                         resolve(lib, "curl_url_set", c.url_set) && resolve(lib, "curl_url_get", c.url_get) &&
                         resolve(lib, "curl_free", c.free);
        if (!all || c.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            return nullptr;
        return &c;
    }();
    return loaded;
}

QString cannotLoadText()
{
    return QStringLiteral("Error: 통신 라이브러리(libcurl)를 불러올 수 없습니다.");
}

struct CurlUrlDeleter {
    void operator()(CURLU* h) const { curlLib()->url_cleanup(h); }
};
struct CurlDeleter {
    void operator()(CURL* h) const { curlLib()->easy_cleanup(h); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curlLib()->slist_free_all(l); }
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
        curlLib()->easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &t->status);
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
            curlLib()->easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
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
    QString message = QString::fromUtf8(detail && *detail ? detail : curlLib()->easy_strerror(code));
    return QStringLiteral("Error: %1").arg(message.left(260));
}

} // namespace

QString outOfMemoryText()
{
    return QStringLiteral("Error: 페이지를 로드할 메모리가 부족합니다.");
}

SplitUrl splitUrl(const QString& url)
{
    SplitUrl out;
    out.looksHttp = url.trimmed().startsWith(QLatin1String("http://"), Qt::CaseInsensitive);
    if (!curlLib())
        return out;
    std::unique_ptr<CURLU, CurlUrlDeleter> h(curlLib()->url());
    if (!h)
        return out;
    const QByteArray bytes = url.trimmed().toUtf8();
    if (bytes.contains('\0'))
        return out;
    if (curlLib()->url_set(h.get(), CURLUPART_URL, bytes.constData(), CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE)
        != CURLUE_OK)
        return out;
    char* scheme = nullptr;
    char* host = nullptr;
    const bool hasScheme = curlLib()->url_get(h.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK;
    const bool hasHost = curlLib()->url_get(h.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK && host && *host;
    const bool http = hasScheme && qstrcmp(scheme, "http") == 0;
    curlLib()->free(scheme);
    curlLib()->free(host);
    if (!hasScheme)
        return out;
    if (!http) {
        out.kind = SplitUrl::OtherService;
        return out;
    }
    if (!hasHost)
        return out;
    char* full = nullptr;
    if (curlLib()->url_get(h.get(), CURLUPART_URL, &full, 0) != CURLUE_OK)
        return out;
    out.url = QByteArray(full);
    curlLib()->free(full);
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
    HttpResponse response;
    if (!curlLib()) {
        response.error = cannotLoadText();
        return response;
    }
    std::unique_ptr<CURL, CurlDeleter> curl(curlLib()->easy_init());
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
        curl_slist* head = curlLib()->slist_append(headers.get(), line.constData());
        if (!head) {
            response.error = outOfMemoryText();
            return response;
        }
        if (!headers)
            headers.reset(head);
    }

    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curlLib()->easy_setopt(c, CURLOPT_URL, request.url.constData());
    curlLib()->easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
    curlLib()->easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curlLib()->easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curlLib()->easy_setopt(c, CURLOPT_USERAGENT, "Pda_HttpVelcor");
    curlLib()->easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, CQD::ConnectTimeoutMs());
    if (request.stallTimeoutMs > 0) {
        // At least one byte per second, measured over the stall time.
        curlLib()->easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curlLib()->easy_setopt(c, CURLOPT_LOW_SPEED_TIME, std::max(1L, request.stallTimeoutMs / 1000));
    } else {
        curlLib()->easy_setopt(c, CURLOPT_TIMEOUT_MS, CQD::TotalTimeoutMs());
    }
    curlLib()->easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(request.maxBodyBytes > 0 ? request.maxBodyBytes : CQD::kMaxBodyBytes));
    curlLib()->easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curlLib()->easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curlLib()->easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curlLib()->easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curlLib()->easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curlLib()->easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curlLib()->easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, onOpenSocket);
    curlLib()->easy_setopt(c, CURLOPT_OPENSOCKETDATA, &t);
    curlLib()->easy_setopt(c, CURLOPT_PREREQFUNCTION, onPrereq);
    curlLib()->easy_setopt(c, CURLOPT_PREREQDATA, &t);
    if (request.post) {
        curlLib()->easy_setopt(c, CURLOPT_POST, 1L);
        curlLib()->easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curlLib()->easy_setopt(c, CURLOPT_POSTFIELDS, request.body.constData());
    } else {
        curlLib()->easy_setopt(c, CURLOPT_HTTPGET, 1L);
    }

    reporter.report(InternetStatus::ResolvingName);
    const CURLcode rc = curlLib()->easy_perform(c);
    curlLib()->easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);

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
