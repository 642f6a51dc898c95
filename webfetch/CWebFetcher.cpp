#include "CWebFetcher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressBar>
#include <QSaveFile>
#include <QWidget>

#include <unistd.h>

#include <DownloadStatus.h>
#include <HttpExchange.h>

namespace {

bool onlyOk(long status)
{
    return status == 200;
}

} // namespace

CWebFetcher::CWebFetcher() = default;
CWebFetcher::~CWebFetcher() = default;

int CWebFetcher::DownloadFile(const QString& url, const QString& localPath, QProgressBar* bar, int)
{
    return fetch(url, localPath, nullptr, bar);
}

int CWebFetcher::DownloadFile(QWidget* window, const QString& url, const QString& localPath, int)
{
    return fetch(url, localPath, window, nullptr);
}

int CWebFetcher::fetch(const QString& url, const QString& localPath, QWidget* window, QProgressBar* bar)
{
    m_status = 0;
    const transport::SplitUrl split = transport::splitUrl(url);
    if (split.kind != transport::SplitUrl::Http || localPath.isEmpty())
        return BadAddress;

    // The body goes to a temporary file beside the local path; only a complete
    // answer replaces the local path (one rename).
    QSaveFile out(localPath);
    if (!out.open(QIODevice::WriteOnly))
        return CannotWrite;

    transport::HttpRequest request;
    request.url = split.url;
    request.wantBody = onlyOk;
    request.maxBodyBytes = m_maxBytes;
    request.stallTimeoutMs = kStallTimeoutMs;
    request.sink = [&out](const char* data, qint64 size) { return out.write(data, size) == size; };
    request.bodyStarts = [window, bar](qint64 total) {
        const qint64 size = total > 0 ? total : 0;
        if (window) {
            CWebFetchEvent ev(CWebFetchEvent::kSizeEvent, size);
            QCoreApplication::sendEvent(window, &ev);
        }
        if (bar) {
            bar->setRange(0, static_cast<int>(qMin<qint64>(size, INT_MAX)));
            bar->setValue(0);
            bar->repaint();
        }
    };
    request.bodyProgress = [window, bar](qint64 received) {
        if (window) {
            CWebFetchEvent ev(CWebFetchEvent::kProgressEvent, received);
            QCoreApplication::sendEvent(window, &ev);
        }
        if (bar && bar->maximum() > 0) {
            bar->setValue(static_cast<int>(qMin<qint64>(received, bar->maximum())));
            bar->repaint();
        }
    };

    transport::StatusReporter quiet;
    const transport::HttpResponse response = transport::performHttp(request, quiet);
    m_status = response.status;

    int result = Ok;
    if (response.tooLarge)
        result = TooLarge;
    else if (response.sinkFailed)
        result = CannotWrite;
    else if (response.truncated)
        result = Truncated;
    else if (response.timedOut)
        result = TimedOut;
    else if (response.cannotConnect)
        result = CannotConnect;
    else if (!response.ok)
        result = Failed;
    else if (response.status != 200)
        result = NotServed;
    if (result != Ok) {
        out.cancelWriting();
        return result;
    }
    // On disk before it takes the local path's place.
    if (!out.flush() || ::fsync(out.handle()) != 0 || !out.commit())
        return CannotWrite;
    return Ok;
}

QString CWebFetcher::GetErrorMessage(int code) const
{
    switch (code) {
    case Ok: return QString();
    case BadAddress: return QStringLiteral("다운로드 주소가 올바르지 않습니다.");
    case CannotConnect: return QStringLiteral("다운로드 서버에 연결할 수 없습니다.");
    case TimedOut: return QStringLiteral("다운로드 서버의 응답 시간이 초과되었습니다.");
    case NotServed:
        return QStringLiteral("다운로드 서버에서 파일을 받을 수 없습니다. (HTTP %1)").arg(m_status);
    case Truncated: return QStringLiteral("파일을 받는 도중 연결이 끊어졌습니다.");
    case TooLarge: return QStringLiteral("파일이 허용된 크기보다 큽니다.");
    case CannotWrite: return QStringLiteral("받은 파일을 저장할 수 없습니다.");
    default: return QStringLiteral("파일을 받지 못했습니다. (오류 %1)").arg(code);
    }
}
