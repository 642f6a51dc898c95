// The upgrade window in this process, against bankd's download host: progress
// arithmetic, the connection settings window, the dial-up link, failures.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QDeadlineTimer>
#include <QTest>

#include <httplib.h>

#include <CRasEx.h>
#include <CUpgradeDlg.h>
#include <Deploy.h>
#include <DeviceFrame.h>
#include <ModalScript.h>
#include <NetSettings.h>
#include <Registry.h>
#include <Screenshot.h>
#include <Services.h>
#include <TestHome.h>
#include <TestServer.h>

#include "DialTexts.h"
#include "ReleaseFixture.h"

namespace {

class UpgradeDlgTest : public vuptest::ReleaseFixture {
protected:
    void SetUp() override
    {
        vuptest::ReleaseFixture::SetUp();
        qputenv("TVPB_PROGRAM_DIR", programDir.toLocal8Bit());
        qputenv("TVPB_DEPLOY", prog(QStringLiteral("deploy.ini")).toLocal8Bit());
        platform::Deploy::reload();
        ras.SetProgressTexts(vup::DialTexts());
        platform::clearSoundsPlayed();
    }
    void TearDown() override
    {
        if (ras.RAS_IsConnected()) ras.RAS_Disconnect();
        qputenv("TVPB_PROGRAM_DIR", qgetenv("TVPB_BIN"));
        qunsetenv("TVPB_DEPLOY");
        platform::Deploy::reload();
        vuptest::ReleaseFixture::TearDown();
    }

    // Runs the window modally until it closes; `starts` records each client start.
    // `inside` adds the modals expected while the window runs.
    void runWindow(const std::function<void(harness::ModalScript&)>& inside = {},
                   const std::function<void(vup::CUpgradeDlg&)>& setUp = {})
    {
        vup::CUpgradeDlg dlg(&ras, {QStringLiteral("--demo")}, &frame);
        dlg.setClientStarter([this, &dlg](const QStringList& args) {
            starts << args.join(' ');
            linkUpAtStart = ras.RAS_IsConnected();
            finalStatus = dlg.findChild<QLabel*>(QStringLiteral("statusText"))->text();
            finalShot = harness::shotImage(&dlg);
            return true;
        });
        if (setUp) setUp(dlg);
        harness::ModalScript modals;
        modals.expectDialog(QStringLiteral("upgradeDlg"), [](QDialog* d) {
            EXPECT_TRUE(QTest::qWaitFor([d] { return !d->isVisible(); }, 60000)) << "the window did not close";
            return d->result();
        });
        if (inside) inside(modals);
        platform::execModal(&dlg);
        modals.verify();
    }
    // Writes the simulated phone book: two entries, the KTF one dials without asking.
    void writeBook()
    {
        QFile f(QDir(harness::testHome()).filePath(QStringLiteral("rasbook.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[device:AnyCell CDMA]\ntype=modem\n"
                               "[entry:SKT 무선모뎀]\ndevice=AnyCell CDMA\ndelay=300\n"
                               "[entry:KTF 모뎀]\ndevice=AnyCell CDMA\ndelay=300\n")
                    .toUtf8());
        platform::Registry::createKey(platform::Root::CurrentUser, QStringLiteral("Comm\\RasBook\\KTF 모뎀"));
        platform::Registry::setText(platform::Root::CurrentUser, QStringLiteral("Comm\\RasBook\\KTF 모뎀"),
                                    QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    }
    // Drives the progress dialog of a dial, noting its status lines.
    // Every text the status line paints is noted as it is painted: states that
    // arrive together are each drawn once, between two polls of a test loop.
    harness::ModalScript::DialogDriver dialProgress()
    {
        return [this](QDialog* d) {
            auto* status = d->findChild<QLabel*>(QStringLiteral("statusLine"));
            EXPECT_NE(status, nullptr);
            PaintedTexts painted(status, &dialStatuses);
            QDeadlineTimer deadline(60000);
            while (d->isVisible() && !deadline.hasExpired()) QTest::qWait(5);
            return d->result();
        };
    }
    class PaintedTexts : public QObject {
    public:
        PaintedTexts(QLabel* label, QStringList* out) : label_(label), out_(out)
        {
            if (label_) label_->installEventFilter(this);
        }
        ~PaintedTexts() override
        {
            if (label_) label_->removeEventFilter(this);
        }
        bool eventFilter(QObject* watched, QEvent* e) override
        {
            if (watched == label_ && e->type() == QEvent::Paint) {
                const QString text = label_->text();
                if (!text.isEmpty() && (out_->isEmpty() || out_->last() != text)) *out_ << text;
            }
            return false;
        }

    private:
        QPointer<QLabel> label_;
        QStringList* out_;
    };
    void saveShot(const QImage& image, const QString& name)
    {
        const QString dir = qEnvironmentVariable("TVPB_SHOTS");
        if (dir.isEmpty()) return;
        QDir().mkpath(dir);
        EXPECT_TRUE(image.save(QDir(dir).filePath(name + QStringLiteral(".png"))));
    }

    platform::DeviceFrame frame;
    CRasEx ras;
    QStringList starts;
    QStringList dialStatuses;
    bool linkUpAtStart = false;
    QString finalStatus;
    QImage finalShot;
};

QByteArray bigFile(int size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) b[i] = char(seed + i * 31 + i / 1000);
    return b;
}

TEST_F(UpgradeDlgTest, ThreeFilesRunTheLowerBarToThreeHundredAndInstallAllOrNothing)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) {
        QFile f(scratch(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bigFile(2 * 1024 * 1024, name[0]));
        f.close();
        ASSERT_EQ(publish(f.fileName(), QString()), 0); // an empty version: always fetched
    }
    updateOverLan();
    struct Seen { int file; qint64 received; int upper; QString upperLabel; int lower; QString lowerLabel; };
    QList<Seen> seen;
    QImage duringDownload;
    runWindow({}, [&](vup::CUpgradeDlg& dlg) {
        QObject::connect(&dlg, &vup::CUpgradeDlg::progressShown, [&](int file, qint64 received) {
            auto* lower = dlg.findChild<QProgressBar*>(QStringLiteral("totalBar"));
            auto* upper = dlg.findChild<QProgressBar*>(QStringLiteral("fileBar"));
            seen.append({file, received, upper->maximum(), dlg.findChild<QLabel*>(QStringLiteral("filePercent"))->text(),
                         lower->value(), dlg.findChild<QLabel*>(QStringLiteral("totalPercent"))->text()});
            EXPECT_EQ(lower->maximum(), 300);
            if (file == 2 && duringDownload.isNull() && received * 2 >= upper->maximum())
                duringDownload = harness::shotImage(&dlg);
        });
    });
    ASSERT_FALSE(seen.isEmpty());
    bool sawHalfOfTheSecond = false;
    for (const Seen& s : seen) {
        const int percent = int(s.received * 100 / s.upper);
        EXPECT_EQ(s.upper, 2 * 1024 * 1024);
        EXPECT_EQ(s.upperLabel, QStringLiteral("%1%").arg(percent));
        EXPECT_EQ(s.lower, percent + 100 * (s.file - 1));
        EXPECT_EQ(s.lowerLabel, QStringLiteral("%1%").arg(s.lower * 100 / 300));
        if (s.file == 2 && percent == 50) {
            sawHalfOfTheSecond = true;
            EXPECT_EQ(s.lower, 150);
            EXPECT_EQ(s.lowerLabel, QStringLiteral("50%"));
        }
    }
    EXPECT_TRUE(sawHalfOfTheSecond);
    EXPECT_EQ(seen.last().lower, 300);
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        EXPECT_EQ(vuptest::fileBytes(prog(QString::fromLatin1(name))), vuptest::fileBytes(download(QString::fromLatin1(name))));
    EXPECT_EQ(finalStatus, QStringLiteral("업그레이드 작업이 성공적으로 완료되었습니다."));
    EXPECT_TRUE(platform::soundsPlayed().contains(QStringLiteral("Alarm3")));
    EXPECT_EQ(starts, QStringList{QStringLiteral("--demo")});
    saveShot(duringDownload, QStringLiteral("updater-download"));
}

TEST_F(UpgradeDlgTest, ConnectionSettingsDialWithTheUpdatersTextsAndHangUpBeforeTheClient)
{
    writeBook();
    netsettings::WriteEqualVUP(0);
    netsettings::WriteVUPModem(QStringLiteral("KTF 모뎀"));
    runWindow([this](harness::ModalScript& modals) {
        modals.expectDialog(QStringLiteral("connectSettingDlg"), [this](QDialog* d) {
            auto* list = d->findChild<QComboBox*>(QStringLiteral("entryList"));
            EXPECT_EQ(list->currentText(), QStringLiteral("KTF 모뎀")); // the last one dialled
            EXPECT_TRUE(d->findChild<QRadioButton*>(QStringLiteral("modemRadio"))->isChecked());
            EXPECT_TRUE(list->isVisible());
            saveShot(harness::shotImage(d), QStringLiteral("updater-connection-settings"));
            QTest::mouseClick(d->findChild<QRadioButton*>(QStringLiteral("lanRadio")), Qt::LeftButton);
            EXPECT_FALSE(list->isVisible());
            QTest::mouseClick(d->findChild<QRadioButton*>(QStringLiteral("modemRadio")), Qt::LeftButton);
            list->setCurrentIndex(list->findText(QStringLiteral("SKT 무선모뎀")));
            list->setCurrentIndex(list->findText(QStringLiteral("KTF 모뎀")));
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
            return d->result();
        });
        modals.expectDialog(QStringLiteral("CRasProgressDlg"), dialProgress());
    });
    EXPECT_TRUE(dialStatuses.contains(QStringLiteral("전화를 거는중입니다...")));
    EXPECT_EQ(dialStatuses.value(dialStatuses.size() - 1), QStringLiteral("인터넷에 연결되었습니다."));
    EXPECT_EQ(netsettings::ReadVUPModem(), QStringLiteral("KTF 모뎀"));
    EXPECT_EQ(finalStatus, QStringLiteral("업그레이드가 필요한 파일이 없습니다."));
    ASSERT_EQ(starts.size(), 1);
    EXPECT_FALSE(linkUpAtStart); // its own link is down before the client dials
}

TEST_F(UpgradeDlgTest, ALinkThatWasUpStaysUp)
{
    writeBook();
    netsettings::WriteEqualVUP(1);
    netsettings::WriteNetworkConnectOption(1);
    netsettings::WriteConnectModem(QStringLiteral("KTF 모뎀"));
    {
        harness::ModalScript modals;
        modals.expectDialog(QStringLiteral("CRasProgressDlg"), dialProgress());
        ASSERT_TRUE(ras.RAS_Connect(QStringLiteral("KTF 모뎀")));
    }
    runWindow(); // no second dial
    EXPECT_TRUE(linkUpAtStart);
    EXPECT_TRUE(ras.RAS_IsConnected());
    EXPECT_EQ(starts.size(), 1);
}

TEST_F(UpgradeDlgTest, WithoutAModemOnlyLanIsOfferedAndCancelStartsTheClient)
{
    netsettings::WriteEqualVUP(0);
    runWindow([](harness::ModalScript& modals) {
        modals.expectDialog(QStringLiteral("connectSettingDlg"), [&modals](QDialog* d) {
            // The notice comes once the window is up: wait for it to be answered.
            EXPECT_TRUE(QTest::qWaitFor([&modals] { return modals.pending() == 0; }, 30000));
            EXPECT_TRUE(d->findChild<QRadioButton*>(QStringLiteral("lanRadio"))->isChecked());
            EXPECT_FALSE(d->findChild<QRadioButton*>(QStringLiteral("modemRadio"))->isEnabled());
            EXPECT_FALSE(d->findChild<QComboBox*>(QStringLiteral("entryList"))->isVisible());
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
            return d->result();
        });
        modals.expectMessage(QStringLiteral("PDA에 설치된 무선모뎀이 없습니다.\r\n설치된 무선모뎀이 없을경우 'LAN'연결만 "
                                            "가능합니다."),
                             QStringLiteral("메시지"));
    });
    EXPECT_EQ(starts.size(), 1);
    EXPECT_FALSE(QFile::exists(prog(QStringLiteral("TVPB_Version.info")))); // nothing fetched
}

TEST_F(UpgradeDlgTest, DownloadCutHalfWayKeepsTheOldSetAndStartsIt)
{
    QString out;
    ASSERT_EQ(publish(withVersion(QStringLiteral("tvpb_2100.so"), QStringLiteral("1.0.0.9")),
                      QStringLiteral("1.0.0.9"), &out),
              0)
        << out.toStdString();
    // A download host that serves the bank's list and cuts the module half-way.
    const std::string list = vuptest::fileBytes(download(QStringLiteral("TVPB_Version.info"))).toStdString();
    const std::string module = vuptest::fileBytes(download(QStringLiteral("tvpb_2100.so"))).toStdString();
    transporttest::TestServer cutting;
    cutting.onGet("/download/compaq/TVPB_Version.info", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(list, "application/octet-stream");
    });
    cutting.onGet("/download/compaq/tvpb_2100.so", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(module.size(), "application/octet-stream",
                                 [&](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset >= module.size() / 2) return false; // the line drops
                                     sink.write(module.data() + offset, module.size() / 2 - offset);
                                     return true;
                                 });
    });
    cutting.start();
    QFile deploy(prog(QStringLiteral("deploy.ini")));
    ASSERT_TRUE(deploy.open(QIODevice::Append));
    deploy.write(QStringLiteral("\n[download]\nhost=%1\n").arg(cutting.host()).toUtf8());
    deploy.close();
    platform::Deploy::reload();
    ASSERT_EQ(platform::Deploy::downloadHost(), cutting.host());

    updateOverLan();
    runWindow();
    EXPECT_EQ(finalStatus, QStringLiteral("파일을 받는 도중 연결이 끊어졌습니다."));
    EXPECT_EQ(platform::fileVersion(prog(QStringLiteral("tvpb_2100.so"))), QStringLiteral("1.0.0.1"));
    EXPECT_FALSE(QDir(prog(QStringLiteral(".vup-stage"))).exists());
    EXPECT_EQ(starts.size(), 1); // the client starts with its complete old set
    saveShot(finalShot, QStringLiteral("updater-failure"));
}

} // namespace
