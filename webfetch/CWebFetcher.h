#pragma once
// CWebFetcher: fetches one file over HTTP into a local path. Only a complete
// "200 OK" answer within the size limit becomes the file, and it replaces the
// local path in one rename; on any failure the local path is left as it was.
#include <QEvent>
#include <QString>
#include "WebFetchExport.h"

class QProgressBar;
class QWidget;

// The size and progress messages a download sends to its window (synchronously,
// so a window blocked in the download can repaint its bars at once).
class WEBFETCH_EXPORT CWebFetchEvent : public QEvent {
public:
    static constexpr int kSizeMessage = 1992;     // value: total size in bytes (0 when unknown)
    static constexpr int kProgressMessage = 1991; // value: bytes received so far
    static constexpr QEvent::Type kSizeEvent = static_cast<QEvent::Type>(QEvent::User + kSizeMessage);
    static constexpr QEvent::Type kProgressEvent = static_cast<QEvent::Type>(QEvent::User + kProgressMessage);

    CWebFetchEvent(QEvent::Type type, qint64 value) : QEvent(type), m_value(value) {}
    qint64 value() const { return m_value; }

private:
    qint64 m_value;
};

class WEBFETCH_EXPORT CWebFetcher {
public:
    enum Error {
        Ok = 0,
        BadAddress = 1,
        CannotConnect = 2,
        TimedOut = 3,
        NotServed = 4,   // any answer but "200 OK"
        Truncated = 5,   // the connection ended before the file did
        TooLarge = 6,
        CannotWrite = 7,
        Failed = 8,      // any other transfer failure
    };
    // Files larger than this are refused unless the limit is changed.
    static constexpr qint64 kDefaultMaxBytes = 64LL * 1024 * 1024;
    // A download fails when nothing arrives for this long.
    static constexpr long kStallTimeoutMs = 30000;

    CWebFetcher();
    ~CWebFetcher();

    // Fetches `url` into `localPath`, driving `bar` (range 0 to the size, value the
    // bytes received). 0 on success, else an error code.
    int DownloadFile(const QString& url, const QString& localPath, QProgressBar* bar, int flags);
    // Fetches `url` into `localPath`, sending `window` the size message once the
    // file begins and the progress message after every piece.
    int DownloadFile(QWidget* window, const QString& url, const QString& localPath, int flags);
    // The Korean text of an error code of this fetcher's last download.
    QString GetErrorMessage(int code) const;

    void SetMaxBytes(qint64 bytes) { m_maxBytes = bytes > 0 ? bytes : kDefaultMaxBytes; }
    // The HTTP status of the last answer (0 when none arrived).
    long lastStatus() const { return m_status; }

private:
    int fetch(const QString& url, const QString& localPath, QWidget* window, QProgressBar* bar);

    qint64 m_maxBytes = kDefaultMaxBytes;
    long m_status = 0;
};
