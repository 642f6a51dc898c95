#include "CRasProgressDlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

#include "CColorStatic.h"
#include "CRasEx.h"
#include "RasService.h"
#include "Services.h"

using platform::RasConnState;

namespace {
// The 30-second limit is measured on the platform clock, checked this often.
constexpr int kTimeoutPollMs = 50;
} // namespace

CRasProgressDlg::CRasProgressDlg(QWidget* parent) : CRasDlgBase(parent) {
    setObjectName(QStringLiteral("rasProgressDlg"));

    m_caption = new QLabel(QStringLiteral("연결 진행 상태 :"), this);
    m_caption->setObjectName(QStringLiteral("progressLabel"));
    m_caption->setGeometry(14, 104, 212, 22);

    m_status = makeAccentLabel(QString(), this);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setGeometry(14, 130, 212, 26);

    m_timer = new QTimer(this);
    m_timer->setInterval(kTimeoutPollMs);
    connect(m_timer, &QTimer::timeout, this, &CRasProgressDlg::checkTimeout);
}

CRasProgressDlg::~CRasProgressDlg() {
    m_timer->stop();
}

QString CRasProgressDlg::statusText() const {
    return m_status->text();
}

QString CRasProgressDlg::stateText(int state) {
    switch (static_cast<RasConnState>(state)) {
    case RasConnState::OpenPort: return QStringLiteral("연결 준비중...");
    case RasConnState::PortOpened: return QStringLiteral("전화 거는중...");
    case RasConnState::ConnectDevice: return QStringLiteral("장치 연결중...");
    case RasConnState::DeviceConnected: return QStringLiteral("장치 연결됨");
    case RasConnState::Authenticate: return QStringLiteral("인증 시작");
    case RasConnState::AuthNotify: return QStringLiteral("인증 작업중...");
    case RasConnState::Authenticated: return QStringLiteral("인증됨");
    case RasConnState::PasswordExpired: return QStringLiteral("암호 기간 만료");
    case RasConnState::Connected: return QStringLiteral("연결됨");
    case RasConnState::Disconnected: return QStringLiteral("연결 끊김");
    default: return QString();
    }
}

void CRasProgressDlg::showEvent(QShowEvent* e) {
    CRasDlgBase::showEvent(e);
    if (m_started >= 0)
        return;
    m_started = platform::tickCount();
    m_timer->start();
    if (m_onReady)
        m_onReady();
}

void CRasProgressDlg::closeEvent(QCloseEvent* e) {
    // Only the dial's outcome (or a cancel) closes the dialog.
    e->ignore();
}

bool CRasProgressDlg::event(QEvent* e) {
    if (e->type() == platform::kRasDialEvent) {
        auto* ev = static_cast<platform::RasDialEvent*>(e);
        onDialState(static_cast<int>(ev->state()), ev->error());
        return true;
    }
    if (e->type() == kCancelEvent) {
        if (!m_finishing)
            finish(CRasEx::Cancelled, 0, false);
        return true;
    }
    return CRasDlgBase::event(e);
}

void CRasProgressDlg::onDialState(int state, int error) {
    if (m_finishing)
        return;
    if (error != 0) {
        setStatus(CRasEx::RAS_GetLastErrorString(error));
        finish(CRasEx::Failed, kFinalPauseMs, false);
        return;
    }
    setStatus(m_ownTexts ? m_texts.value(state) : stateText(state));
    if (state == static_cast<int>(RasConnState::Connected))
        finish(CRasEx::Connected, kFinalPauseMs, true);
    else if (state == static_cast<int>(RasConnState::Disconnected))
        finish(CRasEx::Failed, kFinalPauseMs, false);
}

void CRasProgressDlg::checkTimeout() {
    if (m_finishing || m_started < 0)
        return;
    if (platform::tickCount() - m_started >= kTimeoutMs) {
        setStatus(QStringLiteral("시간 초과"));
        finish(CRasEx::TimedOut, kFinalPauseMs, false);
    }
}

void CRasProgressDlg::finish(int result, int pauseMs, bool sound) {
    m_finishing = true;
    m_timer->stop();
    if (sound)
        platform::playSound(QStringLiteral("InfBeg"));
    if (pauseMs > 0)
        platform::sleepMs(pauseMs);
    done(result);
}

void CRasProgressDlg::setStatus(const QString& text) {
    m_status->setText(text);
    m_status->repaint();
}
