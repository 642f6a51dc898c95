#pragma once
// One HTTP request over libcurl, as CQD and the downloader use it: no automatic
// redirects, no connection kept afterwards, only the http scheme, bounded in
// time and size.
#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include "HttpVelcorExport.h"

namespace transport {

class StatusReporter;

// Result of splitting a URL into its parts.
struct SplitUrl {
    enum Kind { Http, OtherService, Invalid } kind = Invalid;
    QByteArray url;      // normalised, percent-encoded where needed (Http only)
    bool looksHttp = false; // the text begins with "http://" (even when Invalid)
};
HTTPVELCOR_EXPORT SplitUrl splitUrl(const QString& url);

struct HttpRequest {
    QByteArray url;
    bool post = false;
    QByteArray body;
    QList<QByteArray> headers; // "Name: value"
    // Which answers have their body read; others stop after the headers.
    bool (*wantBody)(long status) = nullptr;
    // Where a wanted body goes instead of HttpResponse::body; false stops the
    // transfer (the answer then fails with the sink's own error).
    std::function<bool(const char* data, qint64 size)> sink;
    // Called once as the wanted body begins (total from Content-Length, -1 when
    // not given), then after every piece with the bytes received so far.
    std::function<void(qint64 total)> bodyStarts;
    std::function<void(qint64 received)> bodyProgress;
    // Largest body accepted; 0: CQD's limit.
    qint64 maxBodyBytes = 0;
    // A long download has no total time limit; it fails when nothing arrives for
    // this long instead (0: CQD's total time limit applies).
    long stallTimeoutMs = 0;
};

struct HttpResponse {
    bool ok = false;          // an answer with a status line arrived
    long status = 0;
    QByteArray rawHeaders;    // header lines of the final answer, CRLF kept
    QByteArray body;          // read only when wantBody(status)
    QString error;            // "Error: ..." when !ok
    bool tooLarge = false;    // the body was over the limit
    bool truncated = false;   // the connection ended before the announced body did
    bool sinkFailed = false;  // the sink refused a piece
    bool timedOut = false;
    bool cannotConnect = false; // no connection to the host (refused, or its name not found)
};

HTTPVELCOR_EXPORT HttpResponse performHttp(const HttpRequest& request, StatusReporter& reporter);

// The value of the Location header of raw headers; found = false when absent.
QByteArray locationHeader(const QByteArray& rawHeaders, bool* found);

// Korean texts of the failures that CQD reports.
QString outOfMemoryText();

} // namespace transport
