#pragma once
// The progress dialog of a dial: shows each link state the dial reports and ends
// with the dial's result (0 connected, 1 failed, 2 timed out, 3 cancelled).
#include <QEvent>
#include <QHash>
#include <functional>
#include "CRasDlgBase.h"

class CColorStatic;
class QLabel;
class QTimer;

class DIALKIT_EXPORT CRasProgressDlg : public CRasDlgBase {
    Q_OBJECT
public:
    // Message that stops the dialog with result 3.
    static constexpr int kCancelMessage = 1823;
    static constexpr QEvent::Type kCancelEvent = static_cast<QEvent::Type>(QEvent::User + kCancelMessage);
    // How long a dial may take, by the platform clock.
    static constexpr int kTimeoutMs = 30000;
    // How long the final status stays up before the dialog closes.
    static constexpr int kFinalPauseMs = 1000;

    explicit CRasProgressDlg(QWidget* parent = nullptr);
    ~CRasProgressDlg() override;

    // Called once when the window first exists (shown); the dial starts there.
    void setReadyHandler(std::function<void()> onReady) { m_onReady = std::move(onReady); }
    // Replaces the status texts of the link states (see CRasEx::SetProgressTexts).
    void setStateTexts(const QHash<int, QString>& texts) { m_texts = texts; m_ownTexts = true; }
    // The text of the status line.
    QString statusText() const;
    // The status line's text for a link state (no error); empty for other states.
    static QString stateText(int state);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void onDialState(int state, int error);
    void checkTimeout();
    void finish(int result, int pauseMs, bool sound);
    void setStatus(const QString& text);

    QLabel* m_caption = nullptr;
    CColorStatic* m_status = nullptr;
    QTimer* m_timer = nullptr;
    qint64 m_started = -1;
    bool m_finishing = false;
    std::function<void()> m_onReady;
    QHash<int, QString> m_texts;
    bool m_ownTexts = false;
};
