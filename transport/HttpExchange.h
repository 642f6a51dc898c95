#pragma once
// One HTTP request over libcurl, as CQD uses it: no automatic redirects, no
// connection kept afterwards, only the http scheme, bounded in time and size.
#include <QByteArray>
#include <QList>
#include <QString>

namespace transport {

class StatusReporter;

// Result of splitting a URL into its parts.
struct SplitUrl {
    enum Kind { Http, OtherService, Invalid } kind = Invalid;
    QByteArray url;      // normalised, percent-encoded where needed (Http only)
    bool looksHttp = false; // the text begins with "http://" (even when Invalid)
};
SplitUrl splitUrl(const QString& url);

struct HttpRequest {
    QByteArray url;
    bool post = false;
    QByteArray body;
    QList<QByteArray> headers; // "Name: value"
    // Which answers have their body read; others stop after the headers.
    bool (*wantBody)(long status) = nullptr;
};

struct HttpResponse {
    bool ok = false;          // an answer with a status line arrived
    long status = 0;
    QByteArray rawHeaders;    // header lines of the final answer, CRLF kept
    QByteArray body;          // read only when wantBody(status)
    QString error;            // "Error: ..." when !ok
};

HttpResponse performHttp(const HttpRequest& request, StatusReporter& reporter);

// The value of the Location header of raw headers; found = false when absent.
QByteArray locationHeader(const QByteArray& rawHeaders, bool* found);

// Korean texts of the failures that CQD reports.
QString outOfMemoryText();

} // namespace transport
