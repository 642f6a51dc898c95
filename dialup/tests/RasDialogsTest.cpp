// The carrier login dialog and the progress dialog as the user sees them.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "CRasLoginDlg.h"
#include "CRasProgressDlg.h"
#include "DeviceFrame.h"
#include "DialTestSupport.h"
#include "ModalScript.h"
#include "RasService.h"
#include "Services.h"

namespace {

// Text drawn in white on the blue background: some pixel near white (glyph
// edges are smoothed, so the test does not insist on pure white).
bool hasWhiteText(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200)
                return true;
        }
    return false;
}

class RasDialogsTest : public dialtest::DialTest {
protected:
    struct Login {
        QLabel* title;
        QComboBox* combo;
        QCheckBox* save;
        QLabel* phoneLabel;
        QLineEdit* phone;
        QPushButton* ok;
    };
    static Login parts(QDialog* d) {
        Login l{d->findChild<QLabel*>(QStringLiteral("titleLabel")), d->findChild<QComboBox*>(QStringLiteral("carrierCombo")),
                d->findChild<QCheckBox*>(QStringLiteral("saveCheck")), d->findChild<QLabel*>(QStringLiteral("phoneLabel")),
                d->findChild<QLineEdit*>(QStringLiteral("phoneEdit")), d->findChild<QPushButton*>(QStringLiteral("okButton"))};
        EXPECT_TRUE(l.title && l.combo && l.save && l.phoneLabel && l.phone && l.ok);
        return l;
    }
};

TEST_F(RasDialogsTest, LoginDialogStartsEmptyAndShowsThePhoneOnlyForLgt) {
    CRasLoginDlg dlg(QStringLiteral("'내 모뎀' 접속 정보"));
    dlg.show();
    const Login l = parts(&dlg);
    EXPECT_EQ(l.title->text(), QStringLiteral("'내 모뎀' 접속 정보"));
    EXPECT_EQ(l.combo->count(), 3);
    EXPECT_EQ(l.combo->itemText(0), QStringLiteral("SKT"));
    EXPECT_EQ(l.combo->itemText(1), QStringLiteral("KTF"));
    EXPECT_EQ(l.combo->itemText(2), QStringLiteral("LGT"));
    EXPECT_EQ(l.combo->currentIndex(), -1);
    EXPECT_TRUE(l.save->isChecked());
    EXPECT_EQ(l.save->text(), QStringLiteral("정보저장"));
    EXPECT_EQ(l.ok->text(), QStringLiteral("확인"));
    EXPECT_FALSE(l.phone->isVisible());
    EXPECT_FALSE(l.phoneLabel->isVisible());
    l.combo->setCurrentIndex(2);
    EXPECT_TRUE(l.phone->isVisible());
    EXPECT_TRUE(l.phoneLabel->isVisible());
    EXPECT_EQ(l.phoneLabel->text(), QStringLiteral("모뎀 전화번호:"));
    l.combo->setCurrentIndex(0);
    EXPECT_FALSE(l.phone->isVisible());
    // Colours: the title white on blue, the body black on light blue.
    const QImage title = l.title->grab().toImage();
    EXPECT_EQ(title.pixelColor(1, 1), QColor(0, 0, 192));
    EXPECT_TRUE(hasWhiteText(title)) << "no white title text";
    EXPECT_EQ(dlg.palette().color(QPalette::Window), QColor(176, 176, 255));
    EXPECT_EQ(dlg.palette().color(QPalette::WindowText), QColor(Qt::black));
    const QImage img = dlg.grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 0, 128));
    EXPECT_EQ(img.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() - 20), QColor(176, 176, 255));
}

TEST_F(RasDialogsTest, LoginDialogValidatesAndIgnoresEnter) {
    CRasLoginDlg dlg(QStringLiteral("'x' 접속 정보"));
    dlg.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    const Login l = parts(&dlg);
    harness::ModalScript modals;
    modals.expectMessage(QStringLiteral("통신망을 선택해 주십시요."), QStringLiteral("선택 오류"));
    QTest::mouseClick(l.ok, Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(modals.seen().value(0).flags & 0xF0u, unsigned(platform::MB_ICONINFORMATION));
    EXPECT_TRUE(l.combo->hasFocus());

    l.combo->setCurrentIndex(2);
    QTest::keyClicks(l.phone, QStringLiteral("   "));
    modals.expectMessage(QStringLiteral("무선모뎀의 전화번호를 입력해 주십시요."), QStringLiteral("입력 오류"));
    QTest::mouseClick(l.ok, Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(l.phone->hasFocus());

    QTest::keyClick(&dlg, Qt::Key_Return);
    QTest::keyClick(l.phone, Qt::Key_Enter);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible()) << "Enter or Escape closed the login dialog";

    l.phone->clear();
    QTest::keyClicks(l.phone, QStringLiteral(" 0167778888 "));
    QTest::mouseClick(l.ok, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(dlg.carrier(), QStringLiteral("LGT"));
    EXPECT_EQ(dlg.phoneNumber(), QStringLiteral("0167778888"));
    EXPECT_EQ(dlg.saveFlag(), 1);
    EXPECT_EQ(modals.pending(), 0);
}

TEST_F(RasDialogsTest, PhoneFieldBringsUpTheInputPanel) {
    CRasLoginDlg dlg(QStringLiteral("'x' 접속 정보"));
    dlg.show();
    dlg.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
    const Login l = parts(&dlg);
    l.combo->setCurrentIndex(2);
    EXPECT_FALSE(platform::inputPanelVisible());
    l.phone->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    EXPECT_TRUE(platform::inputPanelVisible());
    l.combo->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(platform::inputPanelVisible());
}

TEST_F(RasDialogsTest, ProgressDialogTextsAndTimeout) {
    EXPECT_EQ(CRasProgressDlg::stateText(int(platform::RasConnState::OpenPort)), QStringLiteral("연결 준비중..."));
    EXPECT_EQ(CRasProgressDlg::stateText(int(platform::RasConnState::PasswordExpired)), QStringLiteral("암호 기간 만료"));
    EXPECT_EQ(CRasProgressDlg::stateText(int(platform::RasConnState::Projected)), QString());

    CRasProgressDlg dlg;
    int ready = 0;
    dlg.setReadyHandler([&ready] { ++ready; });
    dlg.show();
    EXPECT_EQ(ready, 1);
    auto* label = dlg.findChild<QLabel*>(QStringLiteral("progressLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("연결 진행 상태 :"));
    auto* status = dlg.findChild<QLabel*>(QStringLiteral("statusLine"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->grab().toImage().pixelColor(1, 1), QColor(0, 0, 192));

    QCoreApplication::postEvent(&dlg, new platform::RasDialEvent(1, platform::RasConnState::PasswordExpired, 0));
    QCoreApplication::sendPostedEvents(&dlg);
    EXPECT_EQ(dlg.statusText(), QStringLiteral("암호 기간 만료"));
    EXPECT_TRUE(hasWhiteText(status->grab().toImage())) << "no white status text";
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());

    // 29.9 s of clock: still waiting; at 30 s it gives up.
    ticks += 29900;
    QTest::qWait(120);
    EXPECT_TRUE(dlg.isVisible());
    ticks += 100;
    // The limit is checked on a real timer: wait for its tick, however late.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg.isVisible(); }, 30000));
    EXPECT_EQ(dlg.result(), 2);
    EXPECT_EQ(dlg.statusText(), QStringLiteral("시간 초과"));
}

TEST_F(RasDialogsTest, ProgressDialogIgnoresNotificationsOnceFinished) {
    CRasProgressDlg dlg;
    dlg.show();
    QCoreApplication::postEvent(&dlg, new platform::RasDialEvent(1, platform::RasConnState::ConnectDevice, 680));
    QCoreApplication::postEvent(&dlg, new platform::RasDialEvent(1, platform::RasConnState::Connected, 0));
    QCoreApplication::postEvent(&dlg, new QEvent(CRasProgressDlg::kCancelEvent));
    QCoreApplication::sendPostedEvents(&dlg);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 1);
    EXPECT_EQ(dlg.statusText(), QStringLiteral("No dialtone"));
    EXPECT_FALSE(platform::soundsPlayed().contains(QStringLiteral("InfBeg")));
}

TEST_F(RasDialogsTest, Screenshots) {
    platform::DeviceFrame frame;
    frame.show();
    writeBook(QStringLiteral("[device:AnyCell CDMA]\n[entry:LGT 무선모뎀]\ndevice=AnyCell CDMA\ndelay=3000\n"));
    CRasEx ras;
    QString loginShot, progressShot;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasLoginDlg"), [&](QDialog* d) {
        const Login l = parts(d);
        l.combo->setCurrentIndex(2);
        QTest::keyClicks(l.phone, QStringLiteral("0101234567"));
        loginShot = shoot(d, QStringLiteral("dialup_login"));
        QTest::mouseClick(l.ok, Qt::LeftButton);
        return d->result();
    });
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), [&](QDialog* d) {
        return driveProgress(d, 100, [&] {
            // Stop half-way through authentication for the picture.
            ticks += 2000;
            QTest::qWait(60);
            progressShot = shoot(d, QStringLiteral("dialup_progress"));
        });
    });
    EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("LGT 무선모뎀")));
    EXPECT_FALSE(loginShot.isEmpty());
    EXPECT_FALSE(progressShot.isEmpty());
    std::printf("screenshots: %s %s\n", qPrintable(loginShot), qPrintable(progressShot));
}

} // namespace
