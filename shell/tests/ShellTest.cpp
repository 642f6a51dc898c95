// The shell: start-up, module switching and quitting, driven as a user would.
#include <gtest/gtest.h>

#include "CGridCtrl.h"
#include "CTavrinPdaBankingDlg.h"
#include "ClientBank.h"
#include "Demo.h"
#include "ModalScript.h"
#include "ModuleTable.h"
#include "Screenshot.h"

#include <CQV.h>
#include <CRasEx.h>
#include <DeviceFrame.h>
#include <ModuleSwitch.h>
#include <Registry.h>
#include <CUserInfo.h>
#include <Services.h>
#include <TestHome.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QDeadlineTimer>
#include <QTest>

using platform::Registry;
using platform::Root;

namespace {

const QString kProxyKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");

void pump()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

class ShellTest : public ::testing::Test {
protected:
    platform::DeviceFrame frame;
    CTavrinPdaBankingDlg shell{&frame};
    harness::ModalScript modals;
};

} // namespace

TEST(ModuleTableTest, NamesEveryModuleAndNothingElse)
{
    EXPECT_EQ(shell::moduleLibraryName(1100), "tvpb_1100.so");
    EXPECT_EQ(shell::moduleLibraryName(3500), "tvpb_3500.so");
    for (int code : {1100, 1200, 1300, 2100, 2200, 2300, 2400, 3100, 3200, 3300, 3400, 3500})
        EXPECT_TRUE(shell::isModuleCode(code)) << code;
    for (int code : {0, 9999, 1000, 2500, -1}) {
        EXPECT_FALSE(shell::isModuleCode(code)) << code;
        EXPECT_TRUE(shell::moduleLibraryName(code).isEmpty());
    }
}

TEST_F(ShellTest, StartUpShowsTheStartScreenWithoutUserAction)
{
    QString seenId;
    modals.expectDialog(QStringLiteral("CTVPB1100"), [&](QDialog* d) {
        seenId = d->findChild<QLineEdit*>(QStringLiteral("edit1001"))->text();
        EXPECT_EQ(d->parentWidget()->window(), frame.window());
        harness::saveShot(d, QStringLiteral("shell_start"));
        return 0; // the user leaves without choosing anything
    });
    frame.show();
    shell.start();
    pump();
    modals.verify();
    EXPECT_EQ(seenId, QStringLiteral("GUEST"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("타브린은행 PDA 뱅킹"));
    ASSERT_NE(shell.session(), nullptr);
    ASSERT_NE(shell.rasManager(), nullptr);
    ASSERT_NE(shell.userRecord(), nullptr);
    // The session is configured for the bank's gateway on the encrypted servlet.
    EXPECT_TRUE(shell.session()->GetServerProp().endsWith(QStringLiteral("/servlet/TvPdaMain")));
    EXPECT_FALSE(shell.hasQuit());
}

TEST_F(ShellTest, ProxySettingIsRemovedFromBothRoots)
{
    Registry::setNumber(Root::CurrentUser, kProxyKey, QStringLiteral("ProxyEnable"), 1);
    Registry::setNumber(Root::LocalMachine, kProxyKey.toUpper(), QStringLiteral("ProxyEnable"), 1);
    Registry::setText(Root::CurrentUser, kProxyKey, QStringLiteral("ProxyServer"), QStringLiteral("proxy:80"));
    modals.expectDialog(QStringLiteral("CTVPB1100"), 0);
    shell.start();
    pump();
    EXPECT_FALSE(Registry::getNumber(Root::CurrentUser, kProxyKey, QStringLiteral("ProxyEnable")).has_value());
    EXPECT_FALSE(Registry::getNumber(Root::LocalMachine, kProxyKey, QStringLiteral("ProxyEnable")).has_value());
    // Only the switch is removed.
    EXPECT_EQ(Registry::readText(Root::CurrentUser, kProxyKey, QStringLiteral("ProxyServer")), "proxy:80");
}

TEST_F(ShellTest, TapOnTheBareShellWindowQuits)
{
    modals.expectDialog(QStringLiteral("CTVPB1100"), 0);
    frame.show();
    shell.start();
    pump();
    QSignalSpy quitSpy(&shell, &CTavrinPdaBankingDlg::quitRequested);
    QTest::mouseClick(&shell, Qt::LeftButton, {}, QPoint(100, 100));
    pump();
    EXPECT_EQ(quitSpy.count(), 1);
    EXPECT_TRUE(shell.hasQuit());
    // Quitting without a dial-up link still ends normally.
    EXPECT_FALSE(shell.rasManager()->RAS_IsConnected());
}

TEST_F(ShellTest, ExitConfirmedOnTheStartScreenQuitsThroughTheShell)
{
    modals.expectDialog(QStringLiteral("CTVPB1100"), [](QDialog* d) {
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("button1007")), Qt::LeftButton);
        return d->result();
    });
    modals.expectMessage(QStringLiteral("타브린은행 PDA 뱅킹 프로그램을 종료하시겠습니까?"),
                         QStringLiteral("종료 확인"), platform::IDYES);
    QSignalSpy quitSpy(&shell, &CTavrinPdaBankingDlg::quitRequested);
    shell.start();
    pump();
    modals.verify();
    EXPECT_EQ(quitSpy.count(), 1);
}

TEST_F(ShellTest, CodesNotInTheTableAreIgnored)
{
    modals.expectDialog(QStringLiteral("CTVPB1100"), 0);
    shell.start();
    pump();
    QSignalSpy started(&shell, &CTavrinPdaBankingDlg::moduleStarted);
    platform::postModuleSwitch(&shell, 4242);
    platform::postModuleSwitch(&shell, 0);
    pump();
    EXPECT_EQ(started.count(), 0);
    EXPECT_FALSE(shell.hasQuit());
}

TEST_F(ShellTest, AModuleThatIsNotInstalledIsReportedAndTheUserGoesBack)
{
    modals.expectDialog(QStringLiteral("CTVPB1100"), 0);
    shell.start();
    pump();
    // From now on the program folder holds the start screen only.
    const QByteArray saved = qgetenv("TVPB_PROGRAM_DIR");
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::link(platform::programFile(QStringLiteral("tvpb_1100.so")),
                            QDir(folder.path()).filePath(QStringLiteral("tvpb_1100.so"))));
    qputenv("TVPB_PROGRAM_DIR", folder.path().toUtf8());
    QList<int> started;
    QObject::connect(&shell, &CTavrinPdaBankingDlg::moduleStarted, [&](int code, QWidget*) { started << code; });
    modals.expectMessage(QStringLiteral("선택하신 메뉴가 설치되어 있지 않습니다.\r\n프로그램을 다시 설치해 주십시오."),
                         QStringLiteral("오류"));
    modals.expectDialog(QStringLiteral("CTVPB1100"), 0);
    platform::postModuleSwitch(&shell, 2100);
    pump();
    qputenv("TVPB_PROGRAM_DIR", saved);
    modals.verify();
    EXPECT_EQ(started, (QList<int>{1100})); // back where the user was, not a bare window
    EXPECT_FALSE(shell.hasQuit());
}

TEST_F(ShellTest, FreshDeviceReachesTheLoginFreeNoticesAndComesBack)
{
    if (!QFile::exists(platform::programFile(QStringLiteral("tvpb_3500.so"))))
        GTEST_SKIP() << "tvpb_3500.so is not built";
    QList<int> started;
    QObject::connect(&shell, &CTavrinPdaBankingDlg::moduleStarted, [&](int code, QWidget*) { started << code; });
    modals.expectDialog(QStringLiteral("CTVPB1100"), [](QDialog* d) {
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("button1024")), Qt::LeftButton);
        return d->result();
    });
    // No network setting yet: the notices screen says why and stays empty.
    modals.expectMessage(QStringLiteral("먼저 환경설정에서 네트워크 연결 방식을 선택하세요."), QStringLiteral("메시지"));
    modals.expectDialog(QStringLiteral("CTVPB3500"), [](QDialog* d) {
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("btnClose")), Qt::LeftButton);
        return d->result();
    });
    modals.expectDialog(QStringLiteral("CTVPB1100"), 0);
    shell.start();
    pump();
    modals.verify();
    EXPECT_EQ(started, (QList<int>{1100, 3500, 1100}));
    EXPECT_FALSE(shell.hasQuit());
}

TEST_F(ShellTest, SwitchTextPrefillsTheLoginId)
{
    modals.expectDialog(QStringLiteral("CTVPB1100"), 0);
    shell.start();
    pump();
    QString seenId;
    modals.expectDialog(QStringLiteral("CTVPB1100"), [&](QDialog* d) {
        seenId = d->findChild<QLineEdit*>(QStringLiteral("edit1001"))->text();
        return 0;
    });
    {
        QString text = QStringLiteral("NEWUSER");
        platform::postModuleSwitch(&shell, 1100, text);
        text = QStringLiteral("CHANGED"); // the shell copied the text at once
    }
    pump();
    modals.verify();
    EXPECT_EQ(seenId, QStringLiteral("NEWUSER"));

    // An empty text leaves the stored ID.
    modals.expectDialog(QStringLiteral("CTVPB1100"), [&](QDialog* d) {
        seenId = d->findChild<QLineEdit*>(QStringLiteral("edit1001"))->text();
        return 0;
    });
    platform::postModuleSwitch(&shell, 1100, QString());
    pump();
    EXPECT_EQ(seenId, QStringLiteral("GUEST"));
}

TEST_F(ShellTest, SwitchesArrivingDuringASwitchRunOneAfterAnother)
{
    // While the start screen runs, two more switches arrive; each starts only
    // after the previous one has completely finished.
    QList<int> order;
    QObject::connect(&shell, &CTavrinPdaBankingDlg::moduleStarted, [&](int code, QWidget*) { order << code; });
    int depth = 0, maxDepth = 0;
    auto driver = [&](QDialog*) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (order.size() == 1) {
            platform::postModuleSwitch(&shell, 1100);
            platform::postModuleSwitch(&shell, 9999);
            pump(); // events delivered while this screen still runs
        }
        --depth;
        return 0;
    };
    modals.expectDialog(QStringLiteral("CTVPB1100"), driver);
    modals.expectDialog(QStringLiteral("CTVPB1100"), driver);
    shell.start();
    pump();
    modals.verify();
    EXPECT_EQ(order, (QList<int>{1100, 1100}));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_TRUE(shell.hasQuit());
}

// ---- Against a real bank -------------------------------------------------------------
namespace {

class ShellBankTest : public ::testing::Test {
protected:
    harness::ClientBank bank; // first: the shell reads the bank's address at start-up
    platform::DeviceFrame frame;
    CTavrinPdaBankingDlg shell{&frame};
    harness::ModalScript modals;
};

void writeBook(const QString& body)
{
    QFile f(QDir(harness::testHome()).filePath(QStringLiteral("rasbook.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(body.toUtf8());
}

} // namespace

TEST_F(ShellBankTest, QuitEndsTheGatewaySessionAndHangsUp)
{
    bank.addCustomer("ABC", "PW12");
    const QString key = QStringLiteral("SOFTWARE\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100");
    Registry::setNumber(Root::LocalMachine, key, QStringLiteral("Network_Connect_Option"), 1);
    Registry::setText(Root::LocalMachine, key, QStringLiteral("Connect_Modem"), QStringLiteral("KTF 모뎀"));
    Registry::setText(Root::CurrentUser, QStringLiteral("Comm\\RasBook\\KTF 모뎀"), QStringLiteral("TELECOM"),
                      QStringLiteral("KTF"));
    writeBook(QStringLiteral("[device:AnyCell CDMA]\ntype=modem\n[entry:KTF 모뎀]\ndevice=AnyCell CDMA\ndelay=500\n"));
    qint64 ticks = 1000000;
    platform::setClock({}, [&] { return ticks; }, [&](int ms) { ticks += ms; });

    modals.expectDialog(QStringLiteral("CTVPB1100"), [&](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("edit1001"))->setText(QStringLiteral("ABC"));
        d->findChild<QLineEdit*>(QStringLiteral("edit1002"))->setText(QStringLiteral("PW12"));
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("button1006")), Qt::LeftButton);
        return d->result();
    });
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), [&](QDialog* d) {
        QDeadlineTimer deadline(60000);
        while (d->isVisible() && !deadline.hasExpired()) {
            ticks += 100;
            QTest::qWait(5);
        }
        return d->result();
    });
    const bool has2100 = QFile::exists(platform::programFile(QStringLiteral("tvpb_2100.so")));
    if (has2100) {
        // The account inquiry comes up after the login; the user quits from there.
        modals.expectDialog(QStringLiteral("CTVPB2100"), [&](QDialog* d) {
            EXPECT_EQ(bank.gateway().sessionCount(), 1u);
            EXPECT_TRUE(shell.rasManager()->RAS_IsConnected());
            platform::postModuleSwitch(&shell, 9999);
            d->reject();
            return int(QDialog::Rejected);
        });
    }
    QSignalSpy quitSpy(&shell, &CTavrinPdaBankingDlg::quitRequested);
    shell.start();
    pump();
    ASSERT_EQ(shell.userRecord()->GetUserID(), QStringLiteral("ABC"));
    if (!has2100) {
        ASSERT_TRUE(shell.rasManager()->RAS_IsConnected());
        EXPECT_EQ(bank.gateway().sessionCount(), 1u);
        QTest::mouseClick(&shell, Qt::LeftButton, {}, QPoint(50, 50)); // the bare shell: a tap quits
    }
    pump();
    modals.verify();
    EXPECT_EQ(quitSpy.count(), 1);
    // The gateway forgot the session and the link is down.
    EXPECT_EQ(bank.gateway().sessionCount(), 0u);
    EXPECT_FALSE(shell.rasManager()->RAS_IsConnected());
    EXPECT_TRUE(shell.session()->GetXSessionKey().isEmpty());
}

TEST_F(ShellBankTest, TheLoanButtonOfTheTopBarLeadsToTheDemoCustomersLoans)
{
    if (!QFile::exists(platform::programFile(QStringLiteral("tvpb_2100.so"))) ||
        !QFile::exists(platform::programFile(QStringLiteral("tvpb_2300.so"))))
        GTEST_SKIP() << "modules 2100 and 2300 are not built";
    bankd::DemoOptions options;
    options.home = harness::testHome().toStdString();
    options.fastCertificates = true;
    bankd::populateDemo(bank.store(), options);
    const QString key = QStringLiteral("SOFTWARE\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100");
    Registry::setNumber(Root::LocalMachine, key, QStringLiteral("Network_Connect_Option"), 0);

    modals.expectDialog(QStringLiteral("CTVPB1100"), [&](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("edit1001"))->setText(QStringLiteral("DEMOS"));
        d->findChild<QLineEdit*>(QStringLiteral("edit1002"))->setText(QStringLiteral("1111"));
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("button1006")), Qt::LeftButton);
        return d->result();
    });
    modals.expectDialog(QStringLiteral("CTVPB2100"), [&](QDialog* d) {
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("topbar_2300")), Qt::LeftButton);
        return d->result();
    });
    modals.expectDialog(QStringLiteral("CTVPB2300"), [&](QDialog* d) {
        // The general loans of DEMOS, listed as the module opened.
        QWidget* page = d->findChild<QWidget*>(QStringLiteral("page130"));
        auto* grid = page ? page->findChild<CGridCtrl*>(QStringLiteral("loanGrid")) : nullptr;
        EXPECT_TRUE(grid);
        if (grid) {
            EXPECT_EQ(grid->GetRowCount(), 4);
            EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("770-01-0012345"));
        }
        harness::saveShot(d, QStringLiteral("shell_2300"));
        platform::postModuleSwitch(&shell, 9999);
        d->reject();
        return int(QDialog::Rejected);
    });
    shell.start();
    pump();
    pump();
    modals.verify();
    EXPECT_TRUE(shell.hasQuit());
}
