// Dials through CRasEx: carrier login, progress, outcomes and the stored settings.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "DialTestSupport.h"
#include "ModalScript.h"
#include "RasService.h"
#include "Services.h"

namespace {

const QString kBook = QStringLiteral(
    "[device:AnyCell CDMA]\ntype=modem\n"
    "[entry:LGT 모뎀]\ndevice=AnyCell CDMA\ndelay=3000\nuser=0101234567@lgtpda.kr\npassword=4567\n"
    "[entry:SKT 모뎀]\ndevice=AnyCell CDMA\ndelay=3000\nuser=tvpbpda@skt.tavrin.kr\npassword=plumb472\n"
    "[entry:KTF 모뎀]\ndevice=AnyCell CDMA\ndelay=3000\nuser=\npassword=\n"
    "[entry:무응답]\ndevice=AnyCell CDMA\noutcome=noanswer\ndelay=2000\n"
    "[entry:통화중]\ndevice=AnyCell CDMA\noutcome=fail\nerror=676\nat=connectdevice\ndelay=2000\n"
    "[entry:이상한 오류]\ndevice=AnyCell CDMA\noutcome=fail\nerror=999\nat=portopened\ndelay=500\n"
    "[entry:끊김]\ndevice=AnyCell CDMA\noutcome=disconnect\ndelay=2000\n"
    "[entry:끊어지는 회선]\ndevice=AnyCell CDMA\ndelay=1000\ndrop=60000\n");

class RasDialTest : public dialtest::DialTest {
protected:
    void SetUp() override {
        dialtest::DialTest::SetUp();
        writeBook(kBook);
        platform::clearSoundsPlayed();
    }

    // A login-dialog driver: chooses the carrier, types the phone number, sets
    // "정보저장" and presses "확인".
    static harness::ModalScript::DialogDriver login(const QString& carrier, const QString& phone = {}, bool save = true) {
        return [=](QDialog* d) {
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("carrierCombo"));
            auto* edit = d->findChild<QLineEdit*>(QStringLiteral("phoneEdit"));
            auto* check = d->findChild<QCheckBox*>(QStringLiteral("saveCheck"));
            auto* ok = d->findChild<QPushButton*>(QStringLiteral("okButton"));
            EXPECT_TRUE(combo && edit && check && ok);
            if (!(combo && edit && check && ok))
                return int(QDialog::Rejected);
            combo->setCurrentIndex(combo->findText(carrier));
            if (!phone.isEmpty())
                QTest::keyClicks(edit, phone);
            if (check->isChecked() != save)
                QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
            EXPECT_EQ(check->isChecked(), save);
            QTest::mouseClick(ok, Qt::LeftButton);
            EXPECT_FALSE(d->isVisible()) << "확인 did not close the login dialog";
            return d->result();
        };
    }

    harness::ModalScript::DialogDriver progress(int stepMs = 100, std::function<void()> during = {}) {
        return [this, stepMs, during](QDialog* d) { return driveProgress(d, stepMs, during); };
    }
};

TEST_F(RasDialTest, LgtDialDerivesAccountFromThePhoneNumberAndStoresIt) {
    CRasEx ras;
    {
        harness::ModalScript modals;
        modals.expectDialog(QStringLiteral("CRasLoginDlg"), login(QStringLiteral("LGT"), QStringLiteral(" 0101234567 ")));
        modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
        EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("LGT 모뎀")));
        EXPECT_EQ(modals.pending(), 0);
        EXPECT_EQ(modals.seen().value(0).text, QStringLiteral("'LGT 모뎀' 접속 정보"));
    }
    EXPECT_EQ(ras.RAS_GetDialResult(), 0u);
    EXPECT_TRUE(ras.RAS_IsConnected());
    EXPECT_EQ(ras.userName(), QStringLiteral("0101234567@lgtpda.kr"));
    EXPECT_EQ(ras.carrier(), QStringLiteral("LGT"));
    EXPECT_EQ(stored(QStringLiteral("LGT 모뎀"), QStringLiteral("TELECOM")), QStringLiteral("LGT"));
    EXPECT_EQ(stored(QStringLiteral("LGT 모뎀"), QStringLiteral("User")), QStringLiteral("0101234567@lgtpda.kr"));
    EXPECT_EQ(statuses, (QStringList{QStringLiteral("연결 준비중..."), QStringLiteral("전화 거는중..."),
                                     QStringLiteral("장치 연결중..."), QStringLiteral("장치 연결됨"),
                                     QStringLiteral("인증 시작"), QStringLiteral("인증 작업중..."),
                                     QStringLiteral("인증됨"), QStringLiteral("연결됨")}));
    EXPECT_TRUE(platform::soundsPlayed().contains(QStringLiteral("InfBeg")));

    // The stored account makes the next dial skip the login dialog.
    EXPECT_TRUE(ras.RAS_Disconnect());
    EXPECT_TRUE(platform::soundsPlayed().contains(QStringLiteral("InfEnd")));
    CRasEx other;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_TRUE(other.RAS_Connect(QStringLiteral("LGT 모뎀")));
    EXPECT_EQ(modals.seen().size(), 1);
}

TEST_F(RasDialTest, WrongLgtNumberFailsAuthentication) {
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasLoginDlg"), login(QStringLiteral("LGT"), QStringLiteral("0109999999")));
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("LGT 모뎀")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
    EXPECT_EQ(lastStatus, QStringLiteral("Authentication failure"));
    EXPECT_FALSE(ras.RAS_IsConnected());
    // Nothing is stored after a failed dial, even with "정보저장" on.
    EXPECT_EQ(stored(QStringLiteral("LGT 모뎀"), QStringLiteral("User")), QString());
}

TEST_F(RasDialTest, StoredUserSkipsTheLoginDialog) {
    store(QStringLiteral("SKT 모뎀"), QStringLiteral("User"), dialtest::kSktAccount);
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("SKT 모뎀")));
    EXPECT_EQ(modals.seen().size(), 1);
    EXPECT_EQ(ras.RAS_GetDialResult(), 0u);
}

TEST_F(RasDialTest, StoredKtfDialsWithEmptyCredentials) {
    store(QStringLiteral("KTF 모뎀"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("KTF 모뎀")));
    EXPECT_EQ(modals.seen().size(), 1);
    EXPECT_TRUE(ras.RAS_IsConnected());
}

TEST_F(RasDialTest, ProgressTextsPassedInReplaceTheOwnOnes) {
    using platform::RasConnState;
    store(QStringLiteral("KTF 모뎀"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    store(QStringLiteral("끊김"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    ras.SetProgressTexts({{int(RasConnState::OpenPort), QStringLiteral("준비")},
                          {int(RasConnState::Connected), QStringLiteral("연결 완료")},
                          {int(RasConnState::Disconnected), QStringLiteral("종료")}});
    {
        harness::ModalScript modals;
        modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
        EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("KTF 모뎀")));
    }
    // States left out of the table show an empty line; the outcome is unchanged.
    EXPECT_EQ(statuses.value(0), QStringLiteral("준비"));
    EXPECT_EQ(lastStatus, QStringLiteral("연결 완료"));
    EXPECT_FALSE(statuses.contains(QStringLiteral("전화 거는중...")));
    EXPECT_TRUE(platform::soundsPlayed().contains(QStringLiteral("InfBeg")));
    ras.RAS_Disconnect();

    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("끊김")));
    EXPECT_EQ(lastStatus, QStringLiteral("종료"));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
}

TEST_F(RasDialTest, SktChosenInTheDialogUsesTheDeployedAccount) {
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasLoginDlg"), login(QStringLiteral("SKT")));
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("SKT 모뎀")));
    EXPECT_EQ(stored(QStringLiteral("SKT 모뎀"), QStringLiteral("TELECOM")), QStringLiteral("SKT"));
    EXPECT_EQ(stored(QStringLiteral("SKT 모뎀"), QStringLiteral("User")), dialtest::kSktAccount);
}

TEST_F(RasDialTest, UncheckedSaveStoresNothingAndAsksAgain) {
    CRasEx ras;
    {
        harness::ModalScript modals;
        modals.expectDialog(QStringLiteral("CRasLoginDlg"), login(QStringLiteral("KTF"), {}, false));
        modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
        EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("KTF 모뎀")));
    }
    EXPECT_EQ(ras.saveFlag(), 0);
    EXPECT_EQ(stored(QStringLiteral("KTF 모뎀"), QStringLiteral("TELECOM")), QString());
    EXPECT_EQ(stored(QStringLiteral("KTF 모뎀"), QStringLiteral("User")), QString());
    ras.RAS_Disconnect();

    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasLoginDlg"), login(QStringLiteral("KTF"), {}, true));
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("KTF 모뎀")));
    EXPECT_EQ(stored(QStringLiteral("KTF 모뎀"), QStringLiteral("TELECOM")), QStringLiteral("KTF"));
    EXPECT_EQ(stored(QStringLiteral("KTF 모뎀"), QStringLiteral("User")), QString());
}

TEST_F(RasDialTest, NoAnswerTimesOutAfterThirtySecondsOfClock) {
    store(QStringLiteral("무응답"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    const qint64 start = ticks;
    qint64 closedAt = 0;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), [&](QDialog* d) {
        const int r = driveProgress(d, 500);
        closedAt = ticks;
        return r;
    });
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("무응답")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 2u);
    EXPECT_EQ(lastStatus, QStringLiteral("시간 초과"));
    EXPECT_TRUE(statuses.contains(QStringLiteral("장치 연결중...")));
    // 30 s to the time-out plus the one-second pause, within the polling steps.
    EXPECT_GE(closedAt - start, 31000);
    EXPECT_LE(closedAt - start, 33000);
    EXPECT_FALSE(ras.RAS_IsConnected());
    // The dial was hung up, so the next dial is not refused as "already connected".
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress(1000));
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("무응답")));
    EXPECT_EQ(modals.pending(), 0);
}

TEST_F(RasDialTest, FailedDialShowsTheErrorAndHangsUp) {
    store(QStringLiteral("통화중"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("통화중")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
    EXPECT_EQ(lastStatus, QStringLiteral("Line busy"));
    EXPECT_EQ(platform::soundsPlayed(), QStringList{QStringLiteral("InfEnd")});
    EXPECT_FALSE(ras.RAS_IsConnected());
    EXPECT_EQ(stored(QStringLiteral("통화중"), QStringLiteral("User")), QString());
}

TEST_F(RasDialTest, UnknownErrorCodeIsShownByNumber) {
    store(QStringLiteral("이상한 오류"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("이상한 오류")));
    EXPECT_EQ(lastStatus, QStringLiteral("Unknown error - #999"));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
}

TEST_F(RasDialTest, RemoteDisconnectEndsWithResultOne) {
    store(QStringLiteral("끊김"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("끊김")));
    EXPECT_EQ(lastStatus, QStringLiteral("연결 끊김"));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
}

TEST_F(RasDialTest, MissingEntryKeepsThePreviousResult) {
    CRasEx ras;
    harness::ModalScript modals; // nothing may be shown
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("없는 연결")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);

    store(QStringLiteral("KTF 모뎀"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    ASSERT_TRUE(ras.RAS_Connect(QStringLiteral("KTF 모뎀")));
    ras.RAS_Disconnect();
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("없는 연결")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 0u);
    EXPECT_EQ(modals.seen().size(), 1);
}

TEST_F(RasDialTest, SecondDialWhileConnectedIsRefused) {
    store(QStringLiteral("KTF 모뎀"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    store(QStringLiteral("SKT 모뎀"), QStringLiteral("User"), dialtest::kSktAccount);
    CRasEx first;
    CRasEx second;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    ASSERT_TRUE(first.RAS_Connect(QStringLiteral("KTF 모뎀")));
    // The dial state is shared by every instance.
    EXPECT_TRUE(second.RAS_IsConnected());
    EXPECT_FALSE(second.RAS_Connect(QStringLiteral("SKT 모뎀")));
    EXPECT_FALSE(first.RAS_Connect(QStringLiteral("KTF 모뎀")));
    EXPECT_EQ(modals.seen().size(), 1);
    EXPECT_TRUE(first.RAS_IsConnected());
    EXPECT_EQ(second.RAS_GetDialResult(), 0u);
}

TEST_F(RasDialTest, CancelFromTheProgressDialog) {
    store(QStringLiteral("SKT 모뎀"), QStringLiteral("User"), dialtest::kSktAccount);
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress(100, [&ras] { ras.RAS_ConnectCancel(); }));
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("SKT 모뎀")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 3u);
    EXPECT_FALSE(ras.RAS_IsConnected());
    EXPECT_FALSE(statuses.contains(QStringLiteral("연결됨")));
    EXPECT_TRUE(platform::soundsPlayed().contains(QStringLiteral("InfEnd")));
    // The cancelled dial is gone: the entry dials again.
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_TRUE(ras.RAS_Connect(QStringLiteral("SKT 모뎀")));
}

TEST_F(RasDialTest, DisconnectDuringTheDialCancelsIt) {
    store(QStringLiteral("SKT 모뎀"), QStringLiteral("User"), dialtest::kSktAccount);
    CRasEx ras;
    CRasEx shell;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress(100, [&shell] { shell.RAS_Disconnect(); }));
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("SKT 모뎀")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 3u);
    EXPECT_FALSE(ras.RAS_IsConnected());
}

TEST_F(RasDialTest, DroppedLineIsNoLongerConnected) {
    store(QStringLiteral("끊어지는 회선"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    ASSERT_TRUE(ras.RAS_Connect(QStringLiteral("끊어지는 회선")));
    EXPECT_TRUE(ras.RAS_IsConnected());
    ticks += 60000;
    EXPECT_FALSE(ras.RAS_IsConnected());
    // The handle is still held until hung up.
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("끊어지는 회선")));
    ras.RAS_Disconnect();
}

TEST_F(RasDialTest, DestroyingTheManagerHangsUp) {
    store(QStringLiteral("KTF 모뎀"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    {
        CRasEx ras;
        ASSERT_TRUE(ras.RAS_Connect(QStringLiteral("KTF 모뎀")));
    }
    CRasEx later;
    EXPECT_FALSE(later.RAS_IsConnected());
    EXPECT_TRUE(platform::soundsPlayed().contains(QStringLiteral("InfEnd")));
}

TEST_F(RasDialTest, DeviceMissingFromTheBookFailsTheDial) {
    writeBook(QStringLiteral("[entry:고장]\ndevice=없는 장치\n"));
    store(QStringLiteral("고장"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("고장")));
    EXPECT_EQ(lastStatus, QStringLiteral("Device does not exist"));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
}

// A backend whose dial cannot start (the port is taken by another program).
class RefusingBackend : public platform::RasBackend {
public:
    QStringList entryNames() override { return {QStringLiteral("E")}; }
    bool entryExists(const QString& n) override { return n == QLatin1String("E"); }
    QList<platform::RasDevice> devices() override { return {}; }
    int dial(const platform::RasDialParams&, QObject*, platform::RasConn* c) override {
        *c = 0;
        return 633;
    }
    int connectionStatus(platform::RasConn, platform::RasConnStatus*) override { return platform::kRasErrorInvalidHandle; }
    int hangUp(platform::RasConn) override { return platform::kRasErrorInvalidHandle; }
};

TEST_F(RasDialTest, DialThatCannotStartFailsAtOnceWithItsError) {
    platform::RasService::setBackend(std::make_unique<RefusingBackend>());
    store(QStringLiteral("E"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    CRasEx ras;
    harness::ModalScript modals;
    const qint64 start = ticks;
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_FALSE(ras.RAS_Connect(QStringLiteral("E")));
    EXPECT_EQ(ras.RAS_GetDialResult(), 1u);
    EXPECT_EQ(lastStatus, QStringLiteral("Port not available"));
    EXPECT_LT(ticks - start, 5000) << "waited for the time-out instead of failing";
    // No handle was ever given, so the hang-up fails.
    EXPECT_EQ(platform::soundsPlayed(), QStringList{QStringLiteral("Ding")});
}

} // namespace
