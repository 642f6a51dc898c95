// The start screen and login, end to end against a real bank.
#include "LoginFixture.h"

#include <Screenshot.h>
#include <Services.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTemporaryDir>

using namespace logintest;

TEST_F(LoginTest, FirstStartShowsGuestAndLoginWithoutNetworkOptionDoesNothing)
{
    bank.addCustomer("ABC", "PW12");
    auto screen = visit();
    screen->show();
    harness::saveShot(screen.get(), QStringLiteral("1100_start"));
    EXPECT_EQ(idField(*screen)->text(), QStringLiteral("GUEST"));
    EXPECT_FALSE(storeBox(*screen)->isChecked());
    EXPECT_TRUE(pwField(*screen)->text().isEmpty());

    typeInto(idField(*screen), QStringLiteral("abc"));
    typeInto(pwField(*screen), QStringLiteral("pw12"));
    press(*screen, "button1006"); // no Network_Connect_Option stored: no message, no request
    EXPECT_FALSE(screen->switchRequested());
    EXPECT_EQ(bank.sessions().size(), 0u);
    EXPECT_TRUE(user.GetUserID().isEmpty());
}

TEST_F(LoginTest, LanLoginFillsTheUserRecordAndSwitchesToAccountInquiry)
{
    bank.addCustomer("ABC", "PW12", "김민수", "K");
    setNumber(QStringLiteral("Network_Connect_Option"), 0);
    auto screen = visit();
    screen->show();
    // Lower case typed shows (and is sent) in upper case.
    typeInto(idField(*screen), QStringLiteral("abc"));
    EXPECT_EQ(idField(*screen)->text(), QStringLiteral("ABC"));
    EXPECT_EQ(idField(*screen)->cursorPosition(), 3);
    typeInto(pwField(*screen), QStringLiteral("pw12"));
    EXPECT_EQ(pwField(*screen)->text(), QStringLiteral("PW12"));
    platform::clearSoundsPlayed();

    press(*screen, "button1006");
    EXPECT_TRUE(screen->switchRequested());
    EXPECT_EQ(screen->nextModule(), 2100);
    EXPECT_EQ(user.GetUserID(), QStringLiteral("ABC"));
    EXPECT_EQ(user.GetUserName(), QStringLiteral("김민수"));
    EXPECT_EQ(user.GetSecurityWay(), QStringLiteral("K"));
    EXPECT_EQ(user.GetJuminNo(), QStringLiteral("8001011234567"));
    EXPECT_EQ(user.GetUseHiddenAcc(), QStringLiteral("N"));
    EXPECT_TRUE(platform::soundsPlayed().contains(QStringLiteral("Alarm1.wav")));
    // The bank bound the session to the user.
    EXPECT_EQ(bank.sessions().size(), 1u);
    EXPECT_EQ(number(QStringLiteral("Store_ID_Option")), std::optional<quint32>(0));

    screen->DestroyWindow();
    pump();
    EXPECT_EQ(sink.codes, (QList<int>{2100}));
}

TEST_F(LoginTest, RefusedLoginShowsTheBanksCodeAndTextAndKeepsTheForm)
{
    bank.addCustomer("ABC", "PW12");
    setNumber(QStringLiteral("Network_Connect_Option"), 0);
    auto screen = visit();
    screen->show();
    typeInto(idField(*screen), QStringLiteral("ABC"));
    typeInto(pwField(*screen), QStringLiteral("WRONG"));
    QString shown;
    modals.expectMessage(QString(), QStringLiteral("메시지"), [&](platform::ModalRequest& r) {
        shown = r.text;
        EXPECT_EQ(r.flags & 0xF0, unsigned(platform::MB_ICONWARNING));
        harness::saveShot(screen.get(), QStringLiteral("1100_refused"));
        return int(platform::IDOK);
    });
    press(*screen, "button1006");
    modals.verify();
    // "CODE:\r\nTEXT": a code, the separator and the bank's Korean text.
    const int sep = shown.indexOf(QStringLiteral(":\r\n"));
    ASSERT_GT(sep, 0) << shown.toStdString();
    EXPECT_FALSE(shown.mid(sep + 3).isEmpty());
    EXPECT_NE(shown.left(sep), QStringLiteral("10000"));
    EXPECT_FALSE(screen->switchRequested());
    EXPECT_EQ(idField(*screen)->text(), QStringLiteral("ABC"));
    EXPECT_EQ(pwField(*screen)->text(), QStringLiteral("WRONG"));
    EXPECT_TRUE(user.GetUserID().isEmpty());

    // Entering the password field again clears it.
    QApplication::setActiveWindow(screen->window());
    idField(*screen)->setFocus();
    pwField(*screen)->setFocus();
    EXPECT_TRUE(pwField(*screen)->text().isEmpty());
}

TEST_F(LoginTest, AfterARefusedLoginThePasswordShownIsThePasswordSent)
{
    bank.addCustomer("ABC", "PW12");
    setNumber(QStringLiteral("Network_Connect_Option"), 0);
    auto screen = visit();
    screen->show();
    QApplication::setActiveWindow(screen->window());
    typeInto(idField(*screen), QStringLiteral("ABC"));
    pwField(*screen)->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(pwField(*screen), QStringLiteral("WRONG"));
    QStringList shown;
    auto refused = [&](platform::ModalRequest& r) {
        shown << r.text;
        return int(platform::IDOK);
    };
    modals.expectMessage(QString(), QStringLiteral("메시지"), refused);
    press(*screen, "button1006");
    // The message box closed: the window, and with it the field, gets the focus back.
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(pwField(*screen), &back);
    EXPECT_EQ(pwField(*screen)->text(), QStringLiteral("WRONG"));

    // The next press sends what the field shows: the bank counts a second wrong password.
    modals.expectMessage(QString(), QStringLiteral("메시지"), refused);
    press(*screen, "button1006");
    modals.verify();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("(1회 오류"))) << shown[0].toStdString();
    EXPECT_TRUE(shown[1].contains(QStringLiteral("(2회 오류"))) << shown[1].toStdString();

    // A tap into the field is an entry: it starts empty.
    idField(*screen)->setFocus(Qt::MouseFocusReason);
    pwField(*screen)->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(pwField(*screen)->text().isEmpty());
}

TEST_F(LoginTest, AButtonForAModuleThatIsNotInstalledSaysSoAndTheStartScreenStays)
{
    // This test's program folder has no module libraries at all.
    const QByteArray saved = qgetenv("TVPB_PROGRAM_DIR");
    QTemporaryDir empty;
    qputenv("TVPB_PROGRAM_DIR", empty.path().toUtf8());
    auto screen = visit();
    screen->show();
    for (const char* button : {"button1008", "button1009", "button1024"}) {
        modals.expectMessage(QStringLiteral("선택하신 메뉴가 설치되어 있지 않습니다.\r\n프로그램을 다시 설치해 주십시오."),
                             QStringLiteral("오류메시지"), [&](platform::ModalRequest& r) {
                                 harness::saveShot(r.box, QStringLiteral("1100_not_installed"));
                                 return int(platform::IDOK);
                             });
        press(*screen, button);
        modals.verify();
        EXPECT_FALSE(screen->switchRequested()) << button;
        EXPECT_TRUE(screen->isVisible()) << button;
    }
    qputenv("TVPB_PROGRAM_DIR", saved);
}

TEST_F(LoginTest, UnreachableBankShowsTheNetworkErrorWithItsCaption)
{
    setNumber(QStringLiteral("Network_Connect_Option"), 0);
    // The same gateway key, but nothing listens at the bank's address.
    const QString deploy = harness::testHome() + QStringLiteral("/deploy-down.ini");
    QFile f(deploy);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[bank]\nserver_host=127.0.0.1:1\ngateway_public_key=" +
            platform::Deploy::gatewayPublicKey().toUtf8() + "\n");
    f.close();
    qputenv("TVPB_DEPLOY", deploy.toLocal8Bit());
    platform::Deploy::reload();
    session.SetVgateProp(platform::Deploy::serverHost(), 443u, 8080u);
    auto screen = visit();
    modals.expectMessageContaining(QStringLiteral("Network Error: \r\nError: "), QStringLiteral("오류메시지"),
                                   platform::IDOK);
    press(*screen, "button1006");
    modals.verify();
    EXPECT_FALSE(screen->switchRequested());
}

TEST_F(LoginTest, StoredIdRulesAcrossTwoVisits)
{
    bank.addCustomer("ABC", "PW12");
    bank.addCustomer("XYZ", "PW34");
    setNumber(QStringLiteral("Network_Connect_Option"), 0);
    {
        auto screen = visit();
        storeBox(*screen)->setChecked(true);
        typeInto(idField(*screen), QStringLiteral("ABC"));
        typeInto(pwField(*screen), QStringLiteral("PW12"));
        press(*screen, "button1006");
        ASSERT_TRUE(screen->switchRequested());
    }
    {
        auto screen = visit(); // the option is on: the stored ID shows
        EXPECT_TRUE(storeBox(*screen)->isChecked());
        EXPECT_EQ(idField(*screen)->text(), QStringLiteral("ABC"));
        storeBox(*screen)->setChecked(false);
        typeInto(idField(*screen), QStringLiteral("XYZ"));
        typeInto(pwField(*screen), QStringLiteral("PW34"));
        press(*screen, "button1006");
        ASSERT_TRUE(screen->switchRequested());
    }
    auto screen = visit(); // unchecked: "GUEST", the old ID left in place but not read
    EXPECT_FALSE(storeBox(*screen)->isChecked());
    EXPECT_EQ(idField(*screen)->text(), QStringLiteral("GUEST"));
    EXPECT_EQ(text(QStringLiteral("Login_ID")), std::optional<QString>(QStringLiteral("ABC")));
}

TEST_F(LoginTest, AnAmpersandInThePasswordCannotAddAKeyToTheQuery)
{
    bank.addCustomer("ABC", "A&B=C");
    setNumber(QStringLiteral("Network_Connect_Option"), 0);
    auto screen = visit();
    typeInto(idField(*screen), QStringLiteral("ABC"));
    typeInto(pwField(*screen), QStringLiteral("A&B=C"));
    press(*screen, "button1006");
    EXPECT_TRUE(screen->switchRequested());
    EXPECT_EQ(user.GetUserID(), QStringLiteral("ABC"));
}

TEST_F(LoginTest, ModemModeWithoutAModemNameAsksForOneWithoutDialling)
{
    setNumber(QStringLiteral("Network_Connect_Option"), 1);
    writeBook(QStringLiteral("[device:AnyCell CDMA]\ntype=modem\n[entry:SKT 모뎀]\ndevice=AnyCell CDMA\n"));
    auto screen = visit();
    modals.expectMessage(QStringLiteral("먼저 환경설정에서 연결하고자하는 모뎀을 선택하세요."),
                         QStringLiteral("모뎀 확인"));
    press(*screen, "button1006");
    modals.verify();
    EXPECT_FALSE(ras.RAS_IsConnected());
    EXPECT_FALSE(screen->switchRequested());
}

TEST_F(LoginTest, DialTimeOutIsShownAndTheHalfOpenLinkDropped)
{
    qint64 ticks = 1000000;
    platform::setClock({}, [&] { return ticks; }, [&](int ms) { ticks += ms; });
    setNumber(QStringLiteral("Network_Connect_Option"), 1);
    setText(QStringLiteral("Connect_Modem"), QStringLiteral("무응답"));
    writeBook(QStringLiteral("[device:AnyCell CDMA]\ntype=modem\n"
                             "[entry:무응답]\ndevice=AnyCell CDMA\noutcome=noanswer\ndelay=1000\n"));
    // KTF dials with empty credentials and no carrier dialog.
    platform::Registry::setText(platform::Root::CurrentUser, QStringLiteral("Comm\\RasBook\\무응답"),
                                QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    auto screen = visit();
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), [&](QDialog* d) {
        // The clock runs on until the dialog gives up; its check runs on a real
        // timer, so a loaded machine gets as much real time as it needs.
        QDeadlineTimer deadline(60000);
        while (d->isVisible() && !deadline.hasExpired()) {
            ticks += 200;
            QTest::qWait(5);
        }
        return d->result();
    });
    modals.expectMessage(QStringLiteral("연결 시간이 초과되었습니다."), QStringLiteral("메시지"));
    press(*screen, "button1006");
    modals.verify();
    EXPECT_EQ(ras.RAS_GetDialResult(), 2u);
    EXPECT_FALSE(ras.RAS_IsConnected());
    EXPECT_FALSE(screen->switchRequested());
}

TEST_F(LoginTest, ExitAsksAndOnlyYesQuits)
{
    auto screen = visit();
    const QString question = QStringLiteral("타브린은행 PDA 뱅킹 프로그램을 종료하시겠습니까?");
    modals.expectMessage(question, QStringLiteral("종료 확인"), [](platform::ModalRequest& r) {
        EXPECT_EQ(r.flags & 0xF, unsigned(platform::MB_YESNO));
        EXPECT_EQ(r.flags & 0xF0, unsigned(platform::MB_ICONQUESTION));
        return int(platform::IDNO);
    });
    press(*screen, "button1007");
    EXPECT_FALSE(screen->switchRequested());
    screen->DestroyWindow();
    pump();
    EXPECT_TRUE(sink.codes.isEmpty()); // nothing chosen: nothing posted

    auto again = visit();
    modals.expectMessage(question, QStringLiteral("종료 확인"), platform::IDYES);
    press(*again, "button1007");
    modals.verify();
    EXPECT_EQ(again->nextModule(), 9999);
    again->DestroyWindow();
    pump();
    EXPECT_EQ(sink.codes, (QList<int>{9999}));
}

TEST_F(LoginTest, EnterAndEscapeCloseNothing)
{
    setNumber(QStringLiteral("Network_Connect_Option"), 0);
    auto screen = visit();
    screen->show();
    QApplication::setActiveWindow(screen->window());
    idField(*screen)->setFocus();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(idField(*screen), Qt::Key(key));
        QTest::keyClick(screen.get(), Qt::Key(key));
    }
    EXPECT_TRUE(screen->isVisible());
    EXPECT_FALSE(screen->switchRequested());
    EXPECT_EQ(bank.sessions().size(), 0u); // Enter did not log in
}

TEST_F(LoginTest, InputPanelFollowsTheTextFields)
{
    auto screen = visit();
    screen->show();
    QApplication::setActiveWindow(screen->window());
    idField(*screen)->setFocus();
    EXPECT_TRUE(platform::inputPanelVisible());
    storeBox(*screen)->setFocus();
    EXPECT_FALSE(platform::inputPanelVisible());
}
