#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>

class CQV;
class CRasEx;
class CUserInfo;

namespace platform {
class DeviceFrame;
class IModule;
} // namespace platform

// The shell window: a bare window over the work area that stays behind every
// screen, owns the three shared objects and runs one module screen after another.
class CTavrinPdaBankingDlg : public QWidget {
    Q_OBJECT
public:
    explicit CTavrinPdaBankingDlg(platform::DeviceFrame* frame);
    ~CTavrinPdaBankingDlg() override;

    // Start-up: shared objects, proxy removal, the first switch to 1100.
    void start();

    CQV* session() const { return session_; }
    CRasEx* rasManager() const { return ras_; }
    CUserInfo* userRecord() const { return user_; }
    // The module whose screen is running, or 0.
    int currentModule() const { return currentCode_; }
    bool hasQuit() const { return quit_; }

signals:
    // A module screen has been constructed and is about to run (tests, screenshots).
    void moduleStarted(int code, QWidget* screen);
    // The shell has ended (code 9999).
    void quitRequested();

protected:
    void customEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void handleSwitch(int code, const QString& text);
    void runModule(int code, const QString& text);
    void quit();

    platform::DeviceFrame* frame_;
    CQV* session_ = nullptr;
    CRasEx* ras_ = nullptr;
    CUserInfo* user_ = nullptr;
    bool firstSwitch_ = true;
    bool switching_ = false;
    bool quit_ = false;
    int currentCode_ = 0;
    // The module that ran last (0 before the first).
    int lastModule_ = 0;
    // Switches that arrived while one was running; handled strictly in order.
    QList<QPair<int, QString>> pending_;
};
