#include "DownloadStatus.h"

#include <QLabel>

namespace transport {

QString internetStatusText(InternetStatus status)
{
    switch (status) {
    case InternetStatus::ResolvingName: return QStringLiteral("IP주소 찾는중...");
    case InternetStatus::NameResolved: return QStringLiteral("IP주소 찾음");
    case InternetStatus::ConnectingToServer: return QStringLiteral("서버 연결중...");
    case InternetStatus::ConnectedToServer: return QStringLiteral("서버 연결됨");
    case InternetStatus::SendingRequest: return QStringLiteral("서버에 정보 요청중...");
    case InternetStatus::RequestSent: return QStringLiteral("정보 요청 완료");
    case InternetStatus::ReceivingResponse: return QStringLiteral("응답 대기중...");
    case InternetStatus::ResponseReceived: return QStringLiteral("응답 수신 완료");
    case InternetStatus::ClosingConnection: return QStringLiteral("서버와의 연결 닫는중...");
    case InternetStatus::ConnectionClosed: return QStringLiteral("서버와의 연결 닫힘");
    case InternetStatus::HandleCreated: return QStringLiteral("서버 연결됨");
    case InternetStatus::HandleClosing: return QStringLiteral("서버와의 연결 끊김");
    case InternetStatus::RequestComplete: return QStringLiteral("정보 수신 완료");
    case InternetStatus::Redirect: return QStringLiteral("다른 사이트로 이동중...");
    }
    return {};
}

StatusReporter::StatusReporter(QLabel* label) : m_label(label), m_active(label != nullptr) {}

bool StatusReporter::active() const
{
    return m_active && m_label;
}

void StatusReporter::report(InternetStatus status)
{
    show(internetStatusText(status));
}

void StatusReporter::show(const QString& text)
{
    if (!active())
        return;
    m_label->setText(text);
    if (m_label->isVisible())
        m_label->repaint();
}

} // namespace transport
