#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>

#include "CExTabPage.h"
#include "CModuleFrame.h"
#include "DialogBase.h"
#include "KitChecks.h"
#include "KitPrompts.h"
#include "ModalScript.h"
#include "Services.h"

using harness::ModalScript;

namespace {

const QString kError = QStringLiteral("오류");
const QString kInfo = QStringLiteral("확인");

QString envelope(const QString& msg)
{
    return QStringLiteral("<DataTag><msg>%1</msg><free0>a;b;</free0></DataTag>").arg(msg);
}

// Expects a box and records whether the wait cursor was on while it was shown.
void expectBox(ModalScript& modals, const QString& text, const QString& caption, QList<bool>& waitingDuring,
               int answer = platform::IDOK)
{
    modals.expectMessage(text, caption, [&waitingDuring, answer](platform::ModalRequest&) {
        waitingDuring << platform::isWaiting();
        return answer;
    });
}

class KitChecks : public ::testing::Test {
protected:
    void SetUp() override { BeginWait(); }
    void TearDown() override { EndWait(true); }
    QWidget window;
    int next = 2200;
};

} // namespace

TEST_F(KitChecks, CheckReplyRefusesEmptyAndErrorReplies)
{
    ModalScript modals;
    modals.expectMessage(QStringLiteral("수신 자료에 오류(Null)가 검출되었습니다"), kError);
    EXPECT_FALSE(CheckReply(&window, QString()));
    EXPECT_FALSE(platform::isWaiting());

    BeginWait();
    const QString err = QStringLiteral("Error: 서버에 연결할 수 없습니다");
    modals.expectMessage(err, kError); // shown whole, prefix included
    EXPECT_FALSE(CheckReply(&window, err));
    EXPECT_FALSE(platform::isWaiting());
    modals.verify();
    ASSERT_EQ(modals.seen().size(), 2);
    EXPECT_EQ(modals.seen().at(0).flags & 0xF0u, unsigned(platform::MB_ICONWARNING));
}

TEST_F(KitChecks, CheckReplyPassesEverythingElse)
{
    ModalScript modals; // no message expected
    EXPECT_TRUE(CheckReply(&window, QStringLiteral("Error 42")));
    EXPECT_TRUE(CheckReply(&window, QStringLiteral("error: lower case")));
    EXPECT_TRUE(CheckReply(&window, QStringLiteral("U2FsdGVk")));
    EXPECT_TRUE(platform::isWaiting());
}

TEST_F(KitChecks, EnvelopeSuccessWithoutAndWithTheBanksMessage)
{
    ModalScript modals;
    EXPECT_TRUE(CheckEnvelope(&window, &next, envelope(QStringLiteral("10000;정상처리되었습니다;")), false));
    EXPECT_TRUE(platform::isWaiting());
    EXPECT_TRUE(modals.seen().isEmpty());

    modals.expectMessage(QStringLiteral("이체가 완료되었습니다"), kInfo);
    EXPECT_TRUE(CheckEnvelope(&window, &next, envelope(QStringLiteral("10000;이체가 완료되었습니다;")), true));
    EXPECT_TRUE(platform::isWaiting()); // the wait cursor is shown again
    modals.verify();
    EXPECT_EQ(modals.seen().last().flags & 0xF0u, unsigned(platform::MB_ICONINFORMATION));
    EXPECT_EQ(next, 2200);
}

TEST_F(KitChecks, EnvelopeStructureFailures)
{
    ModalScript modals;
    modals.expectMessage(QStringLiteral("수신 자료에 오류(Null)가 검출되었습니다"), kError);
    EXPECT_FALSE(CheckEnvelope(&window, &next, QString(), false));
    EXPECT_FALSE(platform::isWaiting()); // no second wait cursor after an empty reply

    modals.expectMessage(QStringLiteral("수신 자료에 오류가 검출되었습니다"), kError);
    EXPECT_FALSE(CheckEnvelope(&window, &next, QStringLiteral("<html>busy</html>"), false));
    EXPECT_TRUE(platform::isWaiting());

    modals.expectMessage(QStringLiteral("수신 자료에 오류가 검출되었습니다"), kError);
    EXPECT_FALSE(CheckEnvelope(&window, &next, QStringLiteral("<DataTag><msg>10000;ok;</msg>"), false));
    EXPECT_TRUE(platform::isWaiting());

    // DataTag without msg: false and nothing shown.
    EXPECT_FALSE(CheckEnvelope(&window, &next, QStringLiteral("<DataTag><free0>a;</free0></DataTag>"), false));

    modals.expectMessage(QStringLiteral("자료 수신 오류"), kError);
    EXPECT_FALSE(CheckEnvelope(&window, &next, QStringLiteral("<DataTag><msg>10000</msg></DataTag>"), false));
    EXPECT_TRUE(platform::isWaiting());

    // Success code but the second ";" is missing while the message is to be shown.
    modals.expectMessage(QStringLiteral("자료 수신 오류"), kError);
    EXPECT_FALSE(CheckEnvelope(&window, &next, QStringLiteral("<DataTag><msg>10000;done</msg></DataTag>"), true));
    modals.verify();
    EXPECT_EQ(next, 2200);
}

TEST_F(KitChecks, OtherCodesShowCodeColonText)
{
    ModalScript modals;
    QList<bool> waiting;
    expectBox(modals, QStringLiteral("E0031:잔액이 부족합니다"), kError, waiting);
    EXPECT_FALSE(CheckEnvelope(&window, &next, envelope(QStringLiteral("E0031;잔액이 부족합니다;")), false));
    EXPECT_TRUE(platform::isWaiting());
    // The same with the show-success flag: still a warning.
    expectBox(modals, QStringLiteral("E0099:처리 불가"), kError, waiting);
    EndWait(true);
    EXPECT_FALSE(CheckEnvelope(&window, &next, envelope(QStringLiteral("E0099;처리 불가;")), true));
    EXPECT_TRUE(platform::isWaiting()); // shown again after the box
    modals.verify();
    // The arrow cursor is back while the user reads the message.
    EXPECT_EQ(waiting, (QList<bool>{false, false}));
    EXPECT_EQ(next, 2200);
}

TEST_F(KitChecks, TheCursorIsTheArrowWhileAnyCheckMessageIsUp)
{
    ModalScript modals;
    QList<bool> waiting;
    expectBox(modals, QStringLiteral("수신 자료에 오류가 검출되었습니다"), kError, waiting);
    expectBox(modals, QStringLiteral("자료 수신 오류"), kError, waiting);
    expectBox(modals, QStringLiteral("반갑습니다"), kInfo, waiting);
    expectBox(modals, QStringLiteral("Error: 끊김"), kError, waiting);
    expectBox(modals, QStringLiteral("BIZ06:만료"), kError, waiting);
    expectBox(modals, QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), waiting, platform::IDNO);
    EXPECT_FALSE(CheckEnvelope(&window, &next, QStringLiteral("<DataTag>"), false));
    EXPECT_FALSE(CheckEnvelope(&window, &next, QStringLiteral("<DataTag><msg>E1</msg></DataTag>"), false));
    EXPECT_TRUE(CheckEnvelope(&window, &next, envelope(QStringLiteral("10000;반갑습니다;")), true));
    EXPECT_FALSE(CheckReply(&window, QStringLiteral("Error: 끊김")));
    BeginWait();
    EXPECT_FALSE(CheckEnvelope(&window, &next, envelope(QStringLiteral("BIZ06;만료;")), false));
    modals.verify();
    EXPECT_EQ(waiting, (QList<bool>{false, false, false, false, false, false}));
    EXPECT_EQ(next, 9999);
}

namespace {

// A shell window, a module screen on it, a page of the screen and a detail
// dialog opened from the page: the shape every service module has.
struct ScreenStack {
    QWidget shell;
    CModuleFrame* frame = new CModuleFrame(2200, kit::TopBarFamily::Account, &shell);
    CExTabPage* page = new CExTabPage(2210, frame);
    platform::DialogBase* detail = new platform::DialogBase(page);
};

} // namespace

TEST_F(KitChecks, Biz06AnsweredNoQuitsAndClosesEveryPopUp)
{
    ScreenStack s;
    QSignalSpy detailClosed(s.detail, &QDialog::rejected);
    ModalScript modals;
    modals.expectMessage(QStringLiteral("BIZ06:세션이 만료되었습니다"), kError);
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDNO);
    EXPECT_FALSE(CheckEnvelope(s.detail, s.frame->NextModulePtr(),
                               envelope(QStringLiteral("BIZ06;세션이 만료되었습니다;")), false));
    modals.verify();
    EXPECT_EQ(s.frame->GetNextModule(), 9999);
    EXPECT_EQ(detailClosed.count(), 1);
    EXPECT_TRUE(s.frame->IsClosing());
    EXPECT_FALSE(platform::isWaiting()); // no second wait cursor
    EXPECT_EQ(modals.seen().at(1).flags & 0xFu, unsigned(platform::MB_YESNO));
    EXPECT_EQ(modals.seen().at(1).flags & 0xF0u, unsigned(platform::MB_ICONQUESTION));
}

TEST_F(KitChecks, Biz06AnsweredYesGoesBackToLogin)
{
    ScreenStack s;
    ModalScript modals;
    modals.expectMessageContaining(QStringLiteral("BIZ06:"), kError);
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDYES);
    EXPECT_FALSE(CheckEnvelope(s.frame, s.frame->NextModulePtr(),
                               envelope(QStringLiteral("BIZ06;다시 로그인하십시오;")), false));
    modals.verify();
    EXPECT_EQ(s.frame->GetNextModule(), 1100);
    EXPECT_TRUE(s.frame->IsClosing());
    EXPECT_FALSE(s.detail->isVisible());
}

TEST_F(KitChecks, AskReloginOnATopMostWindowClosesNothing)
{
    CModuleFrame lone(2300, kit::TopBarFamily::Account);
    int code = 2300;
    ModalScript modals;
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDNO);
    AskRelogin(&lone, &code);
    EXPECT_EQ(code, 9999);
    EXPECT_FALSE(lone.IsClosing());
}

TEST_F(KitChecks, PromptsUseTheKitsCaptionsAndIcons)
{
    ModalScript modals;
    modals.expectMessage(QStringLiteral("타브린은행 PDA 뱅킹\n프로그램을\n종료하시겠습니까?"),
                         QStringLiteral("종료 확인"), platform::IDYES);
    modals.expectMessage(QStringLiteral("타브린은행 PDA 뱅킹\n프로그램을\n종료하시겠습니까?"),
                         QStringLiteral("종료 확인"), platform::IDNO);
    modals.expectMessage(QStringLiteral("알림"), kInfo);
    modals.expectMessage(QStringLiteral("경고"), kError);
    modals.expectMessage(QStringLiteral("RegCreateKeyEx Failed"));
    EXPECT_TRUE(ConfirmExit(&window));
    EXPECT_FALSE(ConfirmExit(&window));
    ShowMsg(&window, QStringLiteral("알림"), true);
    ShowMsg(&window, QStringLiteral("경고"), false);
    ShowAlert(QStringLiteral("RegCreateKeyEx Failed"), false);
    modals.verify();
    const auto& seen = modals.seen();
    EXPECT_EQ(seen.at(0).flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));
    EXPECT_EQ(seen.at(2).flags, unsigned(platform::MB_OK | platform::MB_ICONINFORMATION));
    EXPECT_EQ(seen.at(3).flags, unsigned(platform::MB_OK | platform::MB_ICONWARNING));
    EXPECT_NE(seen.at(4).caption, kError);
    EXPECT_FALSE(seen.at(4).caption.isEmpty());
}

TEST_F(KitChecks, WaitCursorOnAndOff)
{
    EXPECT_TRUE(platform::isWaiting());
    EndWait(false);
    EXPECT_FALSE(platform::isWaiting());
    BeginWait();
    EXPECT_TRUE(platform::isWaiting());
}
