#pragma once
// The upgrade window: connects as the settings say, fetches the signed list of
// program files, stages and checks every newer file, installs the set all or
// nothing, then starts the banking client (with the old or the new set).
#include <CRasDlgBase.h>
#include <QStringList>
#include <functional>

class CColorStatic;
class CRasEx;
class QLabel;
class QProgressBar;

namespace vup {

class CUpgradeDlg : public CRasDlgBase {
    Q_OBJECT
public:
    static const QString kVersionFile; // "TVPB_Version.info"
    static const QString kClientProgram;

    // clientArgs are passed on to the client when it starts.
    CUpgradeDlg(CRasEx* ras, const QStringList& clientArgs = {}, QWidget* parent = nullptr);
    ~CUpgradeDlg() override;

    // Starts the client; FALSE when it cannot start. Tests replace it.
    void setClientStarter(std::function<bool(const QStringList& args)> starter) { startClient_ = std::move(starter); }
    // The download base address: http://<download host>/download/compaq/
    static QString downloadBase();

signals:
    // After each progress message has been shown (file number from 1).
    void progressShown(int fileNumber, qint64 received);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void connectAndSchedule();
    bool connectNetwork();
    void runUpgrade();
    // Shows a final status for a second, then starts the client and closes.
    void endWith(const QString& status);
    void startClientAndClose();
    void hangUpOwnLink();
    void setStatus(const QString& text);
    void setFileName(const QString& name);
    void onSize(qint64 total);
    void onProgress(qint64 received);

    CRasEx* ras_;
    QStringList clientArgs_;
    std::function<bool(const QStringList&)> startClient_;
    QLabel* status_ = nullptr;
    CColorStatic* fileName_ = nullptr;
    QProgressBar* fileBar_ = nullptr;
    QLabel* filePercent_ = nullptr;
    QProgressBar* totalBar_ = nullptr;
    QLabel* totalPercent_ = nullptr;
    qint64 fileTotal_ = 0;
    int current_ = 0; // 1-based number of the file being fetched
    bool started_ = false;
    bool dialled_ = false;
};

} // namespace vup
