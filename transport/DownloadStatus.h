#pragma once
// Progress texts of a download, shown on a status label while CQD works.
#include <QPointer>
#include <QString>
#include "HttpVelcorExport.h"

class QLabel;

namespace transport {

enum class InternetStatus {
    ResolvingName,
    NameResolved,
    ConnectingToServer,
    ConnectedToServer,
    SendingRequest,
    RequestSent,
    ReceivingResponse,
    ResponseReceived,
    ClosingConnection,
    ConnectionClosed,
    HandleCreated,
    HandleClosing,
    RequestComplete,
    Redirect,
};

// The text shown for a status.
HTTPVELCOR_EXPORT QString internetStatusText(InternetStatus status);

// Writes status texts to a label, if one is given, and repaints it at once (the
// exchange blocks the UI thread, so no event loop would paint it meanwhile).
class HTTPVELCOR_EXPORT StatusReporter {
public:
    explicit StatusReporter(QLabel* label = nullptr);
    bool active() const;
    void report(InternetStatus status);
    void show(const QString& text);

private:
    QPointer<QLabel> m_label;
    bool m_active;
};

} // namespace transport
