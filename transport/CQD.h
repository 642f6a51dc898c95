#pragma once
// CQD: one HTTP exchange with the bank's server. DownloadData sends a GET,
// DownloadDataEx a form POST. The reply body comes back converted from code
// page 949 to UTF-16; a failure comes back as a text beginning "Error:", and an
// empty text means that no body was received. Nothing is thrown.
#include <QString>
#include "HttpVelcorExport.h"

class QLabel;

class HTTPVELCOR_EXPORT CQD {
public:
    CQD();
    CQD(const CQD& other);
    CQD& operator=(const CQD& other);
    virtual ~CQD();

    // GET url with "Accept: text/*" and "User-Agent: QV"; answers 301/302/303 are
    // followed once by hand, 401 is refused. When status is given, the progress
    // of the exchange is shown on it ("서버 연결중...", ..., "다운로드 완료").
    // statusId stands where the original named the dialog's control; the label
    // itself is the control here, so the id is not needed to reach it.
    QString DownloadData(const QString& url, QLabel* status = nullptr, unsigned statusId = 0);
    // POST form (converted to code page 949) as application/x-www-form-urlencoded.
    QString DownloadDataEx(const QString& url, const QString& form);
    // Non-zero while DownloadData or DownloadDataEx runs.
    int IsInDownloading() const;

    // Time-outs of every exchange, in milliseconds: establishing the connection,
    // and the whole exchange. Process-wide; tests shorten them.
    static constexpr long kDefaultConnectTimeoutMs = 10000;
    static constexpr long kDefaultTotalTimeoutMs = 60000;
    static void SetTimeouts(long connectMs, long totalMs);
    static long ConnectTimeoutMs();
    static long TotalTimeoutMs();

    // A reply body larger than this is refused as out of memory.
    static constexpr long long kMaxBodyBytes = 32LL * 1024 * 1024;

protected:
    int m_nDownloading;
};
