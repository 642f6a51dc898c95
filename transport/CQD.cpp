#include "CQD.h"

#include <atomic>

#include "CodePage949Qt.h"
#include "DownloadStatus.h"
#include "HttpExchange.h"

using transport::HttpRequest;
using transport::HttpResponse;
using transport::InternetStatus;
using transport::SplitUrl;
using transport::StatusReporter;

namespace {

std::atomic<long> g_connectTimeoutMs{CQD::kDefaultConnectTimeoutMs};
std::atomic<long> g_totalTimeoutMs{CQD::kDefaultTotalTimeoutMs};

const QList<QByteArray>& getHeaders()
{
    static const QList<QByteArray> headers{QByteArrayLiteral("Accept: text/*"), QByteArrayLiteral("User-Agent: QV")};
    return headers;
}

const QList<QByteArray>& postHeaders()
{
    static const QList<QByteArray> headers{QByteArrayLiteral("Content-Type: application/x-www-form-urlencoded")};
    return headers;
}

bool isRedirect(long status)
{
    return status == 301 || status == 302 || status == 303;
}

// The first answer's body is read unless it is refused or redirected.
bool firstAnswerHasBody(long status)
{
    return status != 401 && !isRedirect(status);
}

// After a redirect only a 200 answer counts.
bool redirectAnswerHasBody(long status)
{
    return status == 200;
}

// Sets the downloading flag for the duration of one call.
class BusyGuard {
public:
    explicit BusyGuard(int& flag) : m_flag(flag) { m_flag = 1; }
    ~BusyGuard() { m_flag = 0; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    int& m_flag;
};

// How one exchange ended: a text to return, and whether it was an error.
struct Outcome {
    QString text;
    bool error = false;
};

Outcome fail(const QString& text)
{
    return {text, true};
}

QString badStartText()
{
    return QStringLiteral("Error: 사이트 주소는 \"http://\"로 시작해야 합니다.");
}

Outcome checkSplit(const SplitUrl& split)
{
    if (split.kind == SplitUrl::Http)
        return {};
    if (split.kind == SplitUrl::Invalid && split.looksHttp)
        return fail(QStringLiteral("Error: 알려지지않은(Unknown) 에러입니다."));
    return fail(badStartText());
}

// Runs the first request and, for 301/302/303, one GET to the new address.
// Returns the body bytes in `body` when there is one.
Outcome exchange(const HttpRequest& first, const QList<QByteArray>& redirectHeaders, StatusReporter& reporter,
                 QByteArray& body)
{
    const HttpResponse answer = transport::performHttp(first, reporter);
    if (!answer.ok)
        return fail(answer.error);
    if (answer.status == 401)
        return fail(QStringLiteral("Error: 'secured http'사이트는 접속할 수 없습니다."));
    if (!isRedirect(answer.status)) {
        body = answer.body;
        return {};
    }

    bool found = false;
    const QString location = QString::fromUtf8(transport::locationHeader(answer.rawHeaders, &found));
    if (!found)
        return fail(QStringLiteral("Error: 재이동할 사이트 주소가 없습니다."));
    reporter.report(InternetStatus::Redirect);
    reporter.show(QStringLiteral("참고: %1 사이트로 재이동중...").arg(location));

    const SplitUrl target = transport::splitUrl(location);
    if (target.kind == SplitUrl::Invalid)
        return fail(QStringLiteral("Error: 재이동할 사이트의 주소를 해석할 수 없습니다."));
    if (target.kind != SplitUrl::Http)
        return fail(QStringLiteral("Error: 재이동할 사이트의 주소가 'http'서비스를 하지 않습니다."));

    HttpRequest second;
    second.url = target.url;
    second.headers = redirectHeaders;
    second.wantBody = redirectAnswerHasBody;
    const HttpResponse moved = transport::performHttp(second, reporter);
    if (!moved.ok)
        return fail(moved.error);
    if (moved.status == 200)
        body = moved.body;
    return {};
}

} // namespace

CQD::CQD() : m_nDownloading(0) {}

CQD::CQD(const CQD& other) : m_nDownloading(other.m_nDownloading) {}

CQD& CQD::operator=(const CQD& other)
{
    m_nDownloading = other.m_nDownloading;
    return *this;
}

CQD::~CQD() = default;

int CQD::IsInDownloading() const
{
    return m_nDownloading;
}

void CQD::SetTimeouts(long connectMs, long totalMs)
{
    g_connectTimeoutMs = connectMs > 0 ? connectMs : kDefaultConnectTimeoutMs;
    g_totalTimeoutMs = totalMs > 0 ? totalMs : kDefaultTotalTimeoutMs;
}

long CQD::ConnectTimeoutMs()
{
    return g_connectTimeoutMs;
}

long CQD::TotalTimeoutMs()
{
    return g_totalTimeoutMs;
}

QString CQD::DownloadData(const QString& url, QLabel* status, unsigned statusId)
{
    Q_UNUSED(statusId);
    BusyGuard busy(m_nDownloading);
    StatusReporter reporter(status);

    const SplitUrl split = transport::splitUrl(url);
    Outcome outcome = checkSplit(split);
    QByteArray body;
    if (!outcome.error) {
        HttpRequest request;
        request.url = split.url;
        request.headers = getHeaders();
        request.wantBody = firstAnswerHasBody;
        outcome = exchange(request, getHeaders(), reporter, body);
    }
    if (outcome.error)
        return outcome.text;
    reporter.show(QStringLiteral("다운로드 완료"));
    return cp949::decode(body);
}

QString CQD::DownloadDataEx(const QString& url, const QString& form)
{
    BusyGuard busy(m_nDownloading);
    StatusReporter reporter; // a POST reports to no status control

    const SplitUrl split = transport::splitUrl(url);
    Outcome outcome = checkSplit(split);
    QByteArray body;
    if (!outcome.error) {
        HttpRequest request;
        request.url = split.url;
        request.post = true;
        request.body = cp949::encode(form);
        request.headers = postHeaders();
        request.wantBody = firstAnswerHasBody;
        outcome = exchange(request, postHeaders(), reporter, body);
    }
    if (outcome.error)
        return outcome.text;
    return cp949::decode(body);
}
