// The login-free notices screen: what the settings make it do before the list
// (LAN, modem with a link up, a dial, no setting, no modem, a failed dial), its
// own buttons and detail caption, and the way back to the start screen.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QDeadlineTimer>
#include <QTest>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CNoticeBoard.h"
#include "CNoticeDetailDlg.h"
#include "CRasEx.h"
#include "CTVPB3500.h"
#include "ModalScript.h"
#include "ModuleBankTest.h"
#include "NetSettings.h"
#include "Registry.h"
#include "Screenshot.h"
#include "Services.h"
#include "TestHome.h"

using harness::ModalScript;
using platform::Registry;
using platform::Root;

namespace {

const QString kBook = QStringLiteral(
    "[device:AnyCell CDMA]\ntype=modem\n"
    "[entry:KTF 모뎀 전용회선]\ndevice=AnyCell CDMA\ndelay=500\n"
    "[entry:통화중]\ndevice=AnyCell CDMA\noutcome=fail\nerror=676\nat=connectdevice\ndelay=500\n");

class OpenNotices : public harness::ModuleBankTest {
protected:
    OpenNotices() : harness::ModuleBankTest("gate-3500")
    {
        platform::setClock([] { return harness::moduleTestNow(); }, [this] { return ticks; },
                           [this](int ms) { ticks += ms; });
        QFile f(QDir(harness::testHome()).filePath(QStringLiteral("rasbook.ini")));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(kBook.toUtf8());
        f.close();
        for (const char* entry : {"KTF 모뎀 전용회선", "통화중"})
            Registry::setText(Root::CurrentUser, QStringLiteral("Comm\\RasBook\\") + QString::fromUtf8(entry),
                              QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    }
    ~OpenNotices() override
    {
        screen.reset();
        if (ras.RAS_IsConnected())
            ras.RAS_Disconnect();
    }

    // Built as the shell builds it: its start (and any dial) runs when shown.
    CTVPB3500* open()
    {
        if (!shell)
            shell = std::make_unique<QWidget>();
        screen = std::make_unique<CTVPB3500>(shell.get());
        screen->SetCommonVar(&session, &ras, &user);
        screen->show();
        return screen.get();
    }
    // Runs the dial's progress window by the injected clock until it closes.
    harness::ModalScript::DialogDriver dial()
    {
        return [this](QDialog* d) {
            // The dial's steps run on real timers: a loaded machine gets the real time it needs.
            QDeadlineTimer deadline(60000);
            while (d->isVisible() && !deadline.hasExpired()) {
                ticks += 100;
                QTest::qWait(2);
            }
            return d->result();
        };
    }
    CBmpButton* button(const char* name) const { return screen->findChild<CBmpButton*>(QLatin1String(name)); }
    CGridCtrl* grid() const { return screen->findChild<CGridCtrl*>(QStringLiteral("noticeGrid")); }
    QString timeText() const { return screen->findChild<CColorStatic*>(QStringLiteral("noticeTime"))->GetWindowText(); }
    // The screen stays empty and usable only to leave.
    void expectEmptyAndLeave()
    {
        EXPECT_FALSE(screen->IsConnected());
        EXPECT_EQ(grid()->GetRowCount(), 1);
        EXPECT_EQ(grid()->GetItemText(0, 0), QString());
        EXPECT_EQ(timeText(), QString());
        EXPECT_FALSE(button("btnDetail")->isEnabled());
        EXPECT_FALSE(button("btnFirst")->isEnabled());
        EXPECT_FALSE(screen->IsInitialising());
        button("btnClose")->click();
        EXPECT_EQ(screen->GetNextModule(), 1100);
        EXPECT_FALSE(screen->isVisible());
    }

    qint64 ticks = 1000000;
    CRasEx ras;
    std::unique_ptr<CTVPB3500> screen;
};

} // namespace

TEST_F(OpenNotices, LanListsAtOnceWithTheScreensOwnButtonsAndDetail)
{
    ModalScript modals;
    netsettings::WriteNetworkConnectOption(0);
    bank.addNotices(13);
    open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("공지사항"));
    // However the screen closes, the next module is the start screen.
    EXPECT_EQ(screen->GetNextModule(), 1100);
    EXPECT_TRUE(screen->IsConnected());
    EXPECT_FALSE(ras.RAS_IsConnected());
    EXPECT_EQ(timeText(), QStringLiteral("11/05 14:32"));
    EXPECT_EQ(grid()->GetRowCount(), 10);
    EXPECT_EQ(grid()->GetItemText(0, 0), QStringLiteral("> 공지 13"));
    // No top bar: the buttons sit at the screen's own places and sizes.
    EXPECT_EQ(button("btnForward")->geometry(), QRect(140, 2, 32, 24));
    EXPECT_EQ(button("btnNext")->geometry(), QRect(172, 2, 32, 24));
    EXPECT_EQ(button("btnFirst")->geometry(), QRect(204, 2, 32, 24));
    EXPECT_EQ(button("btnDetail")->geometry(), QRect(146, 27, 45, 24));
    EXPECT_EQ(button("btnClose")->geometry(), QRect(191, 27, 45, 24));
    EXPECT_FALSE(button("btnForward")->isVisible());
    EXPECT_TRUE(button("btnNext")->isVisible());
    EXPECT_TRUE(button("btnDetail")->isEnabled());
    EXPECT_TRUE(button("btnFirst")->isEnabled());
    harness::saveShot(screen.get(), QStringLiteral("3500_list"));

    button("btnNext")->click();
    EXPECT_EQ(grid()->GetRowCount(), 3);
    EXPECT_EQ(screen->Board()->ListPosition(), QStringLiteral("1"));
    EXPECT_FALSE(button("btnNext")->isVisible());
    button("btnFirst")->click();
    EXPECT_EQ(grid()->GetRowCount(), 10);
    EXPECT_TRUE(button("btnNext")->isVisible());

    // The detail window has this module's caption.
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, grid()->cellRect(2, 0).center());
    modals.expectDialog(QStringLiteral("CNoticeDetailDlg"), [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("공지사항 상세"));
        EXPECT_EQ(static_cast<CNoticeDetailDlg*>(d)->ShownText(), QStringLiteral("[공지 11]\n본문 11"));
        harness::saveShot(d, QStringLiteral("3500_detail"));
        return QDialog::Accepted;
    });
    button("btnDetail")->click();
    modals.verify();

    // 닫기 leads back to the start screen.
    button("btnClose")->click();
    EXPECT_EQ(screen->GetNextModule(), 1100);
    EXPECT_FALSE(screen->isVisible());
}

TEST_F(OpenNotices, FreshDeviceSaysWhyAndLetsTheUserLeave)
{
    ModalScript modals;
    bank.addNotices(3);
    modals.expectMessage(QStringLiteral("먼저 환경설정에서 네트워크 연결 방식을 선택하세요."), QStringLiteral("메시지"));
    open();
    modals.verify();
    harness::saveShot(screen.get(), QStringLiteral("3500_not_connected"));
    // The dimmed buttons do nothing.
    button("btnFirst")->click();
    button("btnDetail")->click();
    EXPECT_EQ(modals.seen().size(), 1);
    expectEmptyAndLeave();
}

TEST_F(OpenNotices, ModemWithoutAnEntryOrWithAFailedDialStaysEmpty)
{
    bank.addNotices(3);
    netsettings::WriteNetworkConnectOption(1);
    {
        // Stored as an empty text.
        ModalScript modals;
        netsettings::WriteConnectModem(QString());
        modals.expectMessage(QStringLiteral("먼저 환경설정에서 연결하고자하는 모뎀을 선택하세요."),
                             QStringLiteral("모뎀 확인"));
        open();
        modals.verify();
        expectEmptyAndLeave();
    }
    {
        // A value that cannot be read as a name counts as empty.
        ModalScript modals;
        Registry::setNumber(Root::LocalMachine, netsettings::kSettingsKey, QStringLiteral("Connect_Modem"), 7);
        modals.expectMessage(QStringLiteral("먼저 환경설정에서 연결하고자하는 모뎀을 선택하세요."),
                             QStringLiteral("모뎀 확인"));
        open();
        modals.verify();
        expectEmptyAndLeave();
    }
    {
        ModalScript modals;
        netsettings::WriteConnectModem(QStringLiteral("통화중"));
        modals.expectDialog(QStringLiteral("CRasProgressDlg"), dial());
        modals.expectMessage(QStringLiteral("연결에 실패했습니다."), QStringLiteral("메시지"));
        open();
        modals.verify();
        EXPECT_FALSE(ras.RAS_IsConnected());
        expectEmptyAndLeave();
    }
}

TEST_F(OpenNotices, ModemDialsTheWholeEntryNameOnceThenUsesTheLink)
{
    bank.addNotices(2);
    netsettings::WriteNetworkConnectOption(1);
    // A name longer than four characters is dialled as it is.
    netsettings::WriteConnectModem(QStringLiteral("KTF 모뎀 전용회선"));
    {
        ModalScript modals;
        modals.expectDialog(QStringLiteral("CRasProgressDlg"), dial());
        open();
        modals.verify();
        EXPECT_TRUE(ras.RAS_IsConnected());
        EXPECT_TRUE(screen->IsConnected());
        EXPECT_EQ(grid()->GetRowCount(), 2);
        button("btnClose")->click();
        EXPECT_EQ(screen->GetNextModule(), 1100);
    }
    // The link stays up after the screen closed: the next visit does not dial.
    ModalScript modals;
    open();
    EXPECT_EQ(modals.seen().size(), 0);
    EXPECT_EQ(grid()->GetRowCount(), 2);
    EXPECT_TRUE(screen->IsConnected());
}
