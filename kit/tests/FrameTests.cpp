#include <gtest/gtest.h>

#include <QTest>

#include "CBmpButton.h"
#include "CExTabCtrl.h"
#include "CExTabPage.h"
#include "CModuleFrame.h"
#include "CQD.h"
#include "CQV.h"
#include "KitChecks.h"
#include "FakeEngine.h"
#include "ModalScript.h"
#include "ModuleSwitch.h"
#include "Services.h"

using harness::ModalScript;
using kit::TopBarFamily;

namespace {

class TestCQV : public CQV {
public:
    void setEncoding(bool on) { m_nEncoding = on ? 1 : 0; }
};
class TestCQD : public CQD {
public:
    void setDownloading(bool on) { m_nDownloading = on ? 1 : 0; }
};

// The shell's side: records the module-switch messages it receives.
class FakeShell : public QWidget {
public:
    QList<int> codes;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == platform::kModuleSwitchEvent) {
            codes << static_cast<platform::ModuleSwitchEvent*>(e)->code();
            return true;
        }
        return QWidget::event(e);
    }
};

// A module screen with three pages, the last loading on its first visit.
class TestFrame : public CModuleFrame {
public:
    TestFrame(int code, TopBarFamily family, QWidget* parent) : CModuleFrame(code, family, parent) {}
    QList<int> firstVisits;
    bool pressedDuringInit = false;
    int codeAfterInitPress = 0;

protected:
    bool OnInitDialog() override
    {
        // A tap on the top bar while the screen is still being set up does nothing.
        if (CBmpButton* b = TopBarButtonFor(2100)) {
            b->click();
            pressedDuringInit = true;
        }
        codeAfterInitPress = GetNextModule();
        AddPage(QStringLiteral("이체처리"), new CExTabPage(2210));
        AddPage(QStringLiteral("이체결과"), new CExTabPage(2240));
        AddPage(QStringLiteral("예약이체관리"), new CExTabPage(2260));
        return true;
    }
    void OnTabFirstVisit(int index, CExTabPage* page) override
    {
        firstVisits << index;
        EXPECT_NE(page, nullptr);
    }
};

class KitFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        CQV::SetEngineForTesting(&engine);
        // Every module counts as installed unless a test says otherwise.
        platform::setModuleInstalledCheck([this](int code) { return !missing.contains(code); });
        frame = new TestFrame(2200, TopBarFamily::Account, &shell);
        frame->SetDownload(&download);
        frame->SetCommonVar(&session, nullptr, nullptr);
    }
    void TearDown() override
    {
        delete frame;
        CQV::SetEngineForTesting(nullptr);
        platform::setModuleInstalledCheck({});
    }
    QList<int> missing;
    FakeEngine engine;
    TestCQV session;
    TestCQD download;
    FakeShell shell;
    TestFrame* frame = nullptr;
};

} // namespace

TEST_F(KitFrame, AccountTopBarWithTheOwnButtonOnItsPressedFace)
{
    ASSERT_TRUE(frame->InitDialog());
    const QList<std::pair<int, QString>> expected{{2100, "조회_4226"}, {2200, "이체_4226"}, {2300, "대출_4226"},
                                                  {2400, "카드_4226"}, {3100, "정보관리_4226"}, {9999, "exit_2826"}};
    int x = 0;
    for (const auto& [code, name] : expected) {
        CBmpButton* b = frame->TopBarButtonFor(code);
        ASSERT_NE(b, nullptr) << code;
        EXPECT_EQ(b->objectName(), QStringLiteral("topbar_%1").arg(code));
        const QString plain = QStringLiteral("BMP\\%1.bmp").arg(name);
        const QString pressed = QStringLiteral("BMP\\%1_d.bmp").arg(name);
        EXPECT_EQ(b->property("pressedImage").toString(), pressed);
        EXPECT_EQ(b->property("normalImage").toString(), code == 2200 ? pressed : plain);
        EXPECT_EQ(b->geometry(), QRect(x, 0, code == 9999 ? 28 : 42, 26));
        x += b->width();
    }
    EXPECT_EQ(frame->TopBarButtonFor(3200), nullptr);
}

TEST(KitFrameInformation, InformationTopBarHasFiveButtons)
{
    QWidget shell;
    CModuleFrame frame(3300, TopBarFamily::Information, &shell);
    frame.SetCommonVar(nullptr, nullptr, nullptr);
    frame.InitDialog();
    const QList<std::pair<int, QString>> expected{
        {3100, "정보변경_5226"}, {3200, "계좌관리_5226"}, {3300, "분실신고_5226"}, {3400, "안내_5226"}, {2100, "홈_3026"}};
    for (const auto& [code, name] : expected) {
        CBmpButton* b = frame.TopBarButtonFor(code);
        ASSERT_NE(b, nullptr) << code;
        const QString pressed = QStringLiteral("BMP\\%1_d.bmp").arg(name);
        EXPECT_EQ(b->property("normalImage").toString(),
                  code == 3300 ? pressed : QStringLiteral("BMP\\%1.bmp").arg(name));
    }
    EXPECT_EQ(frame.TopBarButtonFor(9999), nullptr);
    EXPECT_EQ(frame.TopBarButtonFor(3400)->geometry(), QRect(156, 0, 52, 26));
    EXPECT_EQ(frame.TopBarButtonFor(2100)->geometry(), QRect(208, 0, 30, 26));
    // Home leads to the account inquiry module.
    frame.TopBarButtonFor(2100)->click();
    EXPECT_EQ(frame.GetNextModule(), 2100);
    EXPECT_TRUE(frame.IsClosing());
}

TEST_F(KitFrame, OwnButtonAndInitialisationAreInert)
{
    EXPECT_TRUE(frame->IsInitialising());
    frame->OnTopBarButton(2300); // before initialisation: nothing
    EXPECT_FALSE(frame->IsClosing());
    frame->InitDialog();
    EXPECT_TRUE(frame->pressedDuringInit);
    EXPECT_EQ(frame->codeAfterInitPress, 2200);
    EXPECT_FALSE(frame->IsInitialising());
    EXPECT_FALSE(frame->IsClosing());

    frame->TopBarButtonFor(2200)->click();
    EXPECT_FALSE(frame->IsClosing());
    EXPECT_EQ(frame->GetNextModule(), 2200);
}

TEST_F(KitFrame, TopBarIsInertWhileARequestRuns)
{
    frame->InitDialog();
    session.setEncoding(true);
    frame->TopBarButtonFor(2100)->click();
    EXPECT_FALSE(frame->IsClosing());
    session.setEncoding(false);
    download.setDownloading(true);
    frame->TopBarButtonFor(2400)->click();
    frame->TopBarButtonFor(9999)->click(); // not even the exit question
    EXPECT_FALSE(frame->IsClosing());
    EXPECT_EQ(frame->GetNextModule(), 2200);
    download.setDownloading(false);
    frame->TopBarButtonFor(2400)->click();
    EXPECT_TRUE(frame->IsClosing());
    EXPECT_EQ(frame->GetNextModule(), 2400);
}

TEST_F(KitFrame, ExitAsksAndEndsTheGatewaySession)
{
    frame->InitDialog();
    session.SetVgateProp(QStringLiteral("127.0.0.1"), 443u, 443u);
    session.SetServerProp(QStringLiteral("http://127.0.0.1:1/servlet/TvPdaMain"));
    ASSERT_FALSE(session.XEncode(QStringLiteral("encrypt=1&trcode=PDA_U002&UserID=A"), 0).isEmpty());

    ModalScript modals;
    modals.expectMessage(QStringLiteral("타브린은행 PDA 뱅킹\n프로그램을\n종료하시겠습니까?"),
                         QStringLiteral("종료 확인"), platform::IDNO);
    frame->TopBarButtonFor(9999)->click();
    EXPECT_FALSE(frame->IsClosing());
    EXPECT_EQ(engine.endCalls, 0);

    modals.expectMessage(QStringLiteral("타브린은행 PDA 뱅킹\n프로그램을\n종료하시겠습니까?"),
                         QStringLiteral("종료 확인"), platform::IDYES);
    frame->TopBarButtonFor(9999)->click();
    modals.verify();
    EXPECT_EQ(engine.endCalls, 1);
    EXPECT_TRUE(frame->IsClosing());
    EXPECT_EQ(frame->GetNextModule(), 9999);
}

TEST_F(KitFrame, DestroyWindowHandsTheCodeToTheShellOnce)
{
    frame->InitDialog();
    frame->TopBarButtonFor(2300)->click();
    EXPECT_TRUE(frame->DestroyWindow());
    EXPECT_TRUE(frame->DestroyWindow());
    EXPECT_FALSE(frame->isVisible());
    QCoreApplication::sendPostedEvents(&shell);
    EXPECT_EQ(shell.codes, (QList<int>{2300}));
}

TEST_F(KitFrame, PagesLoadOnTheirFirstVisitOnly)
{
    frame->InitDialog();
    CExTabCtrl* tabs = frame->TabCtrl();
    ASSERT_EQ(tabs->GetItemCount(), 3);
    EXPECT_EQ(tabs->GetItemText(2), QStringLiteral("예약이체관리"));
    EXPECT_EQ(tabs->GetPage(0)->parentWidget(), frame);
    EXPECT_EQ(frame->TabVisitCount(2), 0);
    tabs->SelectTab(2);
    tabs->SelectTab(1);
    tabs->SelectTab(2);
    EXPECT_EQ(frame->TabVisitCount(2), 1);
    EXPECT_EQ(frame->firstVisits, (QList<int>{2, 1}));
    EXPECT_EQ(tabs->geometry().top(), 26);
}

TEST_F(KitFrame, ShownOnTheWorkAreaAndDeafToEnterAndEscape)
{
    frame->show();
    EXPECT_NE(frame->TopBarButtonFor(2100), nullptr); // showing builds the screen
    EXPECT_FALSE(frame->IsInitialising());
    EXPECT_EQ(frame->size(), QSize(240, 294));
    QTest::keyClick(frame, Qt::Key_Escape);
    QTest::keyClick(frame, Qt::Key_Return);
    EXPECT_FALSE(frame->IsClosing());
    EXPECT_TRUE(frame->isVisible());
    frame->hide();
}

TEST_F(KitFrame, AButtonForAModuleThatIsNotInstalledSaysSoAndTheScreenStays)
{
    frame->InitDialog();
    frame->TabCtrl()->SelectTab(1);
    missing = {2300};
    ModalScript modals;
    modals.expectMessage(QStringLiteral("선택하신 메뉴가 설치되어 있지 않습니다.\r\n프로그램을 다시 설치해 주십시오."),
                         QStringLiteral("오류"));
    frame->TopBarButtonFor(2300)->click();
    modals.verify();
    EXPECT_FALSE(frame->IsClosing());
    EXPECT_EQ(frame->GetNextModule(), 2200);
    EXPECT_EQ(frame->TabCtrl()->GetCurSel(), 1); // where the user was
    EXPECT_TRUE(frame->DestroyWindow());
    QCoreApplication::sendPostedEvents(&shell);
    EXPECT_EQ(shell.codes, (QList<int>{2200}));
}

TEST(KitFrameModules, TheRealCheckLooksForALoadableLibraryInTheProgramFolder)
{
    const QByteArray saved = qgetenv("TVPB_PROGRAM_DIR");
    EXPECT_TRUE(platform::moduleInstalled(9999));
    EXPECT_FALSE(platform::moduleInstalled(4711));
    qputenv("TVPB_PROGRAM_DIR", QByteArray("/nonexistent-tvpb"));
    EXPECT_FALSE(platform::moduleInstalled(2200));
    qputenv("TVPB_PROGRAM_DIR", saved);
}

namespace {

// A screen whose opening request is answered "log in again".
class ExpiringFrame : public CModuleFrame {
public:
    explicit ExpiringFrame(QWidget* parent) : CModuleFrame(2100, TopBarFamily::Account, parent) {}
    bool pagesBuiltAfterPrompt = false;
    bool laterRequestSent = true;

protected:
    bool OnInitDialog() override
    {
        AskRelogin(this, NextModulePtr());
        AddPage(QStringLiteral("보유계좌"), new CExTabPage(2110));
        pagesBuiltAfterPrompt = true;
        // The screen's further opening requests send nothing and ask nothing again.
        QString reply;
        KitRequest request = Request();
        request.SetCheckBusy(false);
        laterRequestSent = request.SendPlain(QStringLiteral("encrypt=1&trcode=PDA_T003"), reply);
        return true;
    }
};

// A pop-up whose opening request is answered "log in again".
class ExpiringPopup : public platform::DialogBase {
public:
    ExpiringPopup(QWidget* parent, int* next) : platform::DialogBase(parent) { AskRelogin(this, next); }
};

} // namespace

TEST_F(KitFrame, ReloginAskedWhileTheScreenOpensEndsItsRealModalRun)
{
    ExpiringFrame screen(&shell);
    screen.SetDownload(&download);
    screen.SetCommonVar(&session, nullptr, nullptr);
    ModalScript modals;
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDYES);
    // The real modal loop, as the shell runs it.
    const harness::RealRun run = harness::execReal(&screen);
    modals.verify();
    EXPECT_FALSE(run.endedByLimit);
    EXPECT_EQ(run.result, QDialog::Rejected);
    EXPECT_TRUE(screen.pagesBuiltAfterPrompt);
    EXPECT_FALSE(screen.laterRequestSent);
    EXPECT_EQ(engine.encryptCalls, 0);
    EXPECT_EQ(screen.GetNextModule(), 1100);
    screen.DestroyWindow();
    QCoreApplication::sendPostedEvents(&shell);
    EXPECT_EQ(shell.codes, (QList<int>{1100}));
}

TEST_F(KitFrame, ReloginAskedWhileAPopupOpensEndsThePopupAndTheScreen)
{
    frame->show();
    ModalScript modals;
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDNO);
    ExpiringPopup popup(frame, frame->NextModulePtr());
    const harness::RealRun run = harness::execReal(&popup); // the pop-up's real modal loop
    EXPECT_EQ(run.result, QDialog::Rejected);
    EXPECT_FALSE(run.endedByLimit);
    modals.verify();
    EXPECT_TRUE(frame->IsClosing());
    EXPECT_EQ(frame->GetNextModule(), 9999);
    // Through the modal seam too: the handler never sees the pop-up.
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDNO);
    ExpiringPopup again(frame, nullptr);
    EXPECT_EQ(platform::execModal(&again), QDialog::Rejected);
    modals.verify();
}

TEST_F(KitFrame, LoginFreeScreensHaveNoTopBarAndPostOnlyAChosenModule)
{
    FakeShell owner;
    TestFrame bare(1200, TopBarFamily::None, &owner);
    CModuleFrame plain(3500, &owner);
    plain.SetCommonVar(nullptr, nullptr, nullptr);
    EXPECT_TRUE(plain.InitDialog());
    EXPECT_TRUE(plain.findChildren<CBmpButton*>().isEmpty());
    EXPECT_EQ(plain.TabCtrl()->geometry(), QRect(0, 0, 240, 294));

    bare.SetPostOnlyChosenModule(true);
    bare.SetCommonVar(nullptr, nullptr, nullptr);
    bare.InitDialog();
    EXPECT_EQ(bare.TopBarButtonFor(2100), nullptr);
    EXPECT_EQ(bare.TabCtrl()->geometry().top(), 0);
    bare.DestroyWindow(); // ended without a choice: nothing for the shell
    QCoreApplication::sendPostedEvents(&owner);
    EXPECT_TRUE(owner.codes.isEmpty());

    TestFrame chosen(1300, TopBarFamily::None, &owner);
    chosen.SetPostOnlyChosenModule(true);
    chosen.SetCommonVar(nullptr, nullptr, nullptr);
    chosen.InitDialog();
    chosen.CloseWithModule(1100);
    chosen.DestroyWindow();
    plain.DestroyWindow(); // a screen that always posts: its own code
    QCoreApplication::sendPostedEvents(&owner);
    EXPECT_EQ(owner.codes, (QList<int>{1100, 3500}));
}
