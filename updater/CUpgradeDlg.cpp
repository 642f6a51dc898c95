#include "CUpgradeDlg.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSaveFile>
#include <QTimer>

#include <CColorStatic.h>
#include <CRasEx.h>
#include <CWebFetcher.h>
#include <ConnectNetwork.h>
#include <Deploy.h>
#include <DeviceFrame.h>
#include <Modal.h>
#include <NetSettings.h>
#include <Services.h>

#include "CConnectSettingDlg.h"
#include "CInstaller.h"
#include "VersionList.h"

#include <algorithm>
#include <climits>

namespace vup {

const QString CUpgradeDlg::kVersionFile = QStringLiteral("TVPB_Version.info");
const QString CUpgradeDlg::kClientProgram = QStringLiteral("TavrinPdaBanking");

namespace {

const QString kCaption = QStringLiteral("타브린은행 PDA뱅킹 버전업 v1.5");

QLabel* percentLabel(QWidget* parent, const char* name, int y)
{
    auto* label = new QLabel(QStringLiteral("0%"), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(186, y, 42, 20);
    return label;
}

QProgressBar* progressBar(QWidget* parent, const char* name, int y)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setGeometry(12, y, 170, 20);
    return bar;
}

} // namespace

CUpgradeDlg::CUpgradeDlg(CRasEx* ras, const QStringList& clientArgs, QWidget* parent)
    : CRasDlgBase(parent), ras_(ras), clientArgs_(clientArgs)
{
    setObjectName(QStringLiteral("upgradeDlg"));
    setWindowTitle(kCaption);
    startClient_ = [](const QStringList& args) { return platform::startProgram(kClientProgram, args); };

    status_ = new QLabel(QStringLiteral("업그레이드 준비중입니다...\r\n잠시만 기다려주세요..."), this);
    status_->setObjectName(QStringLiteral("statusText"));
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    status_->setGeometry(12, 24, 216, 56);

    fileName_ = makeAccentLabel(QString(), this);
    fileName_->setObjectName(QStringLiteral("fileName"));
    fileName_->setGeometry(12, 96, 216, 24);

    auto* fileCaption = new QLabel(QStringLiteral("현재 파일"), this);
    fileCaption->setGeometry(12, 136, 170, 20);
    fileBar_ = progressBar(this, "fileBar", 158);
    filePercent_ = percentLabel(this, "filePercent", 158);
    auto* totalCaption = new QLabel(QStringLiteral("전체 파일"), this);
    totalCaption->setGeometry(12, 196, 170, 20);
    totalBar_ = progressBar(this, "totalBar", 218);
    totalPercent_ = percentLabel(this, "totalPercent", 218);
}

CUpgradeDlg::~CUpgradeDlg()
{
    hangUpOwnLink();
}

QString CUpgradeDlg::downloadBase()
{
    return QStringLiteral("http://%1/download/compaq/").arg(platform::Deploy::downloadHost());
}

void CUpgradeDlg::showEvent(QShowEvent* e)
{
    CRasDlgBase::showEvent(e);
    if (started_) return;
    started_ = true;
    if (auto* frame = platform::DeviceFrame::instance()) frame->showCaptionInTitleBar(kCaption);
    QTimer::singleShot(0, this, &CUpgradeDlg::connectAndSchedule);
}

void CUpgradeDlg::setStatus(const QString& text)
{
    status_->setText(text);
    status_->repaint();
}

void CUpgradeDlg::setFileName(const QString& name)
{
    fileName_->setText(name);
    fileName_->repaint();
}

void CUpgradeDlg::connectAndSchedule()
{
    // A set that a previous run left half-installed is finished first.
    CInstaller(platform::programFolder()).Recover();
    if (connectNetwork())
        QTimer::singleShot(1000, this, &CUpgradeDlg::runUpgrade);
    else
        startClientAndClose();
}

bool CUpgradeDlg::connectNetwork()
{
    switch (netsettings::ReadEqualVUP()) {
    case 0: {
        CConnectSettingDlg settings(ras_, this);
        const bool ok = platform::execModal(&settings) == QDialog::Accepted;
        dialled_ = settings.dialled();
        return ok;
    }
    case 1:
        switch (netsettings::ReadNetworkConnectOption()) {
        case 0: return true;
        case 1:
            if (ras_->RAS_IsConnected()) return true;
            if (ras_->RAS_Connect(netsettings::ReadConnectModem())) {
                dialled_ = true;
                return true;
            }
            netsettings::ReportDialFailure(this, ras_);
            return false;
        default: return false;
        }
    default: return false;
    }
}

void CUpgradeDlg::runUpgrade()
{
    const QDir program(platform::programFolder());
    CInstaller installer(program.path());
    if (!installer.BeginStaging()) {
        endWith(QStringLiteral("업그레이드 정보 파일을 읽는 도중 에러가 발생했습니다."));
        return;
    }

    setStatus(QStringLiteral("업그레이드 정보 파일을 받고 있습니다..."));
    setFileName(kVersionFile);
    const QString stagedList = installer.stagedPath(kVersionFile);
    {
        CWebFetcher fetcher;
        fetcher.SetMaxBytes(1024 * 1024);
        const int rc = fetcher.DownloadFile(downloadBase() + kVersionFile, stagedList, fileBar_, 0);
        if (rc != 0) {
            installer.DiscardStaging();
            endWith(fetcher.GetErrorMessage(rc));
            return;
        }
    }

    setStatus(QStringLiteral("업그레이드 정보 파일을 읽고 있습니다..."));
    QFile listFile(stagedList);
    if (!listFile.open(QIODevice::ReadOnly)) {
        installer.DiscardStaging();
        endWith(QStringLiteral("업그레이드 정보 파일을 읽는 도중 에러가 발생했습니다."));
        return;
    }
    const QByteArray listBytes = listFile.readAll();
    listFile.close();
    const SignedList list = CheckSignedList(listBytes, PinnedUpdateKey());
    if (!list.ok) {
        // Nothing of an unsigned or malformed list is installed.
        qWarning("TVPB_VUP: upgrade list refused: %s", qPrintable(list.why));
        installer.DiscardStaging();
        endWith(QStringLiteral("업그레이드 정보 파일을 확인할 수 없습니다.\r\n현재 버전으로 실행합니다."));
        return;
    }
    QSaveFile kept(program.filePath(kVersionFile));
    if (kept.open(QIODevice::WriteOnly)) {
        kept.write(listBytes);
        kept.commit();
    }

    setStatus(QStringLiteral("업그레이드된 파일을 찾고 있습니다..."));
    QList<VersionEntry> updates;
    for (const VersionEntry& e : list.entries)
        if (NeedsUpdate(platform::fileVersion(program.filePath(e.name)), e.version)) updates.append(e);
    if (updates.isEmpty()) {
        installer.DiscardStaging();
        endWith(QStringLiteral("업그레이드가 필요한 파일이 없습니다."));
        return;
    }

    setStatus(QStringLiteral("업그레이드된 파일을 받고 있습니다.\r\n잠시만 기다려 주세요..."));
    totalBar_->setRange(0, 100 * int(updates.size()));
    totalBar_->setValue(0);
    QStringList names;
    for (int i = 0; i < updates.size(); ++i) {
        const VersionEntry& e = updates[i];
        current_ = i + 1;
        fileTotal_ = 0;
        setFileName(e.name);
        CWebFetcher fetcher;
        const int rc = fetcher.DownloadFile(this, downloadBase() + e.name, installer.stagedPath(e.name), 0);
        if (rc != 0) {
            installer.DiscardStaging();
            endWith(fetcher.GetErrorMessage(rc));
            return;
        }
        QString why;
        if (!installer.CheckStaged(e.name, list.sha256.value(e.name), e.version, &why)) {
            qWarning("TVPB_VUP: %s", qPrintable(why));
            installer.DiscardStaging();
            endWith(QStringLiteral("받은 파일이 올바르지 않습니다.\r\n현재 버전으로 실행합니다."));
            return;
        }
        names << e.name;
    }
    if (!installer.Install(names)) {
        endWith(QStringLiteral("파일을 설치하지 못했습니다.\r\n현재 버전으로 실행합니다."));
        return;
    }
    setFileName(QString());
    setStatus(QStringLiteral("업그레이드 작업이 성공적으로 완료되었습니다."));
    platform::playSound(QStringLiteral("Alarm3"));
    platform::sleepMs(1000);
    startClientAndClose();
}

void CUpgradeDlg::endWith(const QString& status)
{
    setFileName(QString());
    setStatus(status);
    platform::sleepMs(1000);
    startClientAndClose();
}

void CUpgradeDlg::hangUpOwnLink()
{
    // Only a link this program dialled: one that was up before stays up.
    if (dialled_ && ras_->RAS_IsConnected()) ras_->RAS_Disconnect();
    dialled_ = false;
}

void CUpgradeDlg::startClientAndClose()
{
    // Hung up before the client starts, so the client's own dial does not race it.
    hangUpOwnLink();
    if (!startClient_(clientArgs_))
        platform::messageBox(this,
                             QStringLiteral(" PDA뱅킹 실행에 필요한 일부 파일이 없습니다.\r\n 재설치하시거나 자동 "
                                            "업그레이드를 받으세요."),
                             QStringLiteral("File Error"), platform::MB_OK | platform::MB_ICONERROR);
    accept();
}

bool CUpgradeDlg::event(QEvent* e)
{
    if (e->type() == CWebFetchEvent::kSizeEvent) {
        onSize(static_cast<CWebFetchEvent*>(e)->value());
        return true;
    }
    if (e->type() == CWebFetchEvent::kProgressEvent) {
        onProgress(static_cast<CWebFetchEvent*>(e)->value());
        return true;
    }
    return CRasDlgBase::event(e);
}

void CUpgradeDlg::onSize(qint64 total)
{
    fileTotal_ = std::clamp<qint64>(total, 0, INT_MAX);
    // A zero size keeps a range of one, so the bar never turns into a busy bar.
    fileBar_->setRange(0, int(qMax<qint64>(1, fileTotal_)));
    fileBar_->setValue(0);
    fileBar_->repaint();
}

void CUpgradeDlg::onProgress(qint64 received)
{
    const int position = int(std::clamp<qint64>(received, 0, fileBar_->maximum()));
    fileBar_->setValue(position);
    const int filePercent = fileTotal_ > 0 ? int(qint64(position) * 100 / fileTotal_) : 0;
    filePercent_->setText(QStringLiteral("%1%").arg(filePercent));
    totalBar_->setValue(qMin(totalBar_->maximum(), filePercent + 100 * (current_ - 1)));
    const int totalPercent = totalBar_->maximum() > 0 ? int(qint64(totalBar_->value()) * 100 / totalBar_->maximum()) : 0;
    totalPercent_->setText(QStringLiteral("%1%").arg(totalPercent));
    fileBar_->repaint();
    filePercent_->repaint();
    totalBar_->repaint();
    totalPercent_->repaint();
    emit progressShown(current_, received);
}

} // namespace vup
