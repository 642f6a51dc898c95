// The held-accounts page and the detail dialog against the in-process bank.
#include <gtest/gtest.h>


#include <QComboBox>
#include <QCoreApplication>
#include <QScrollBar>

#include "BankFixture.h"
#include "CAccountDetailDlg.h"
#include "CAccountPage.h"
#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CHistoryPage.h"
#include "CTVPB2100.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"

using harness::ModalScript;
using t2100::BankFixture;

namespace {

class AccountPage : public BankFixture {
protected:
    // n accounts of KIM; the loan is opened first so that it comes first in
    // the bank's reply.
    void addAccounts(int n)
    {
        addAccount("770-01-0012345", "가계일반대출", "A07", "20230101");
        for (int i = 1; i < n; ++i)
            addAccount("110-234-56789" + std::to_string(i), "보통예금", i % 2 ? "A04" : "A01",
                       "2024010" + std::to_string(i % 9 + 1));
    }
    CAccountPage* page() { return screen->AccountPage(); }
    CGridCtrl* grid() { return page()->Grid(); }
};

QList<int> widths(CGridCtrl* g)
{
    QList<int> w;
    for (int c = 0; c < g->GetColumnCount(); ++c)
        w << g->GetColumnWidth(c);
    return w;
}

} // namespace

TEST_F(AccountPage, NineAccountsGiveNineRowsAndTheNarrowWidthsWithTheLoanLast)
{
    addAccounts(9);
    addAccount("110-234-000000", "보통예금", "A04", "20240201", /*hidden=*/true);
    login();
    ModalScript modals;
    openScreen();
    EXPECT_EQ(page()->AccountCount(), 9); // the hidden account is not listed
    EXPECT_EQ(grid()->GetRowCount(), 10);
    EXPECT_EQ(widths(grid()), (QList<int>{115, 100, 70, 0}));
    EXPECT_EQ(grid()->GetItemText(9, CAccountPage::ColAccount), QStringLiteral("770-01-0012345"));
    EXPECT_EQ(grid()->GetItemText(9, CAccountPage::ColCode), QStringLiteral("A07"));
    EXPECT_EQ(grid()->GetItemText(1, CAccountPage::ColCode), QStringLiteral("A04"));
    for (int r = 1; r <= 9; ++r)
        EXPECT_NE(grid()->GetItemText(r, CAccountPage::ColAccount), QStringLiteral("110-234-000000"));
}

TEST_F(AccountPage, EightAccountsGiveEightRowsTheWideWidthsAndTheGridColours)
{
    addAccounts(8);
    post("110-234-567891", 1234567, "2024-10-01 10:00:00", "급여");
    login();
    ModalScript modals;
    openScreen();
    EXPECT_EQ(page()->AccountCount(), 8);
    EXPECT_EQ(grid()->GetRowCount(), 9);
    EXPECT_EQ(widths(grid()), (QList<int>{121, 106, 70, 0}));
    EXPECT_EQ(grid()->GetItemText(0, 0), QStringLiteral("계좌"));
    EXPECT_EQ(grid()->GetItemText(0, 1), QStringLiteral("잔액"));
    EXPECT_EQ(grid()->GetItemText(0, 2), QStringLiteral("종류"));
    EXPECT_EQ(grid()->GetItemText(0, 3), QStringLiteral("코드"));
    EXPECT_EQ(grid()->GetItemText(1, 1), QStringLiteral("1,234,567"));
    EXPECT_EQ(grid()->GetItemText(1, 2), QStringLiteral("보통예금"));
    EXPECT_EQ(grid()->GetItemBkColour(0, 1), RGB(181, 178, 181));
    EXPECT_EQ(grid()->GetItemBkColour(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(grid()->GetItemBkColour(2, 1), RGB(224, 224, 224));
    EXPECT_EQ(grid()->GetItemFormat(1, 1) & DT_RIGHT, DT_RIGHT);
    EXPECT_EQ(grid()->GetItemFormat(1, 0) & DT_CENTER, DT_CENTER);
    // The user's name and the bank's date and time (PDA_T003).
    EXPECT_EQ(screen->findChild<CColorStatic*>(QStringLiteral("userName"))->GetWindowText(), QStringLiteral("김민준"));
    EXPECT_EQ(screen->findChild<CColorStatic*>(QStringLiteral("dateTime"))->GetWindowText(),
              QStringLiteral("11/05 14:32"));
}

TEST_F(AccountPage, FewAccountsStillShowEightRowsAndTapsOutsideThemSelectNothing)
{
    addAccounts(3);
    login();
    ModalScript modals;
    openScreen();
    ASSERT_EQ(grid()->GetRowCount(), 9);
    tapCell(grid(), 0, 0);
    EXPECT_EQ(page()->SelectedRow(), -1);
    tapCell(grid(), 5, 0);
    EXPECT_EQ(page()->SelectedRow(), -1);
    EXPECT_EQ(grid()->GetSelectedRow(), -1);
    // The detail button without a selection asks for one.
    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("오류"));
    screen->findChild<CBmpButton*>(QStringLiteral("btnDetail"))->click();
    modals.verify();
    tapCell(grid(), 2, 0);
    EXPECT_EQ(page()->SelectedRow(), 2);
    tapCell(grid(), 7, 0); // an empty row keeps the account chosen before
    EXPECT_EQ(page()->SelectedRow(), 2);
    EXPECT_EQ(grid()->GetSelectedRow(), 2);
}

TEST_F(AccountPage, ReloadRefillsTheGridAndTheHistoryAccounts)
{
    addAccounts(3);
    login();
    ModalScript modals;
    openScreen();
    CHistoryPage* history = screen->HistoryPage();
    EXPECT_EQ(history->AccountCombo()->count(), 2); // the loan has no history
    addAccount("110-234-999999", "저축예금", "A05", "20240301");
    addAccount("440-20-0033445", "주택청약저축", "A02", "20240302");
    tapCell(grid(), 1, 0);
    ASSERT_EQ(history->AccountCombo()->currentIndex(), 0);
    screen->findChild<CBmpButton*>(QStringLiteral("btnReload"))->click();
    EXPECT_EQ(page()->AccountCount(), 5);
    EXPECT_EQ(history->AccountCombo()->count(), 3);
    EXPECT_EQ(history->CodeCombo()->count(), 3);
    EXPECT_EQ(history->CodeCombo()->itemText(2), QStringLiteral("A05"));
    EXPECT_EQ(history->AccountCombo()->currentIndex(), -1);
}

TEST_F(AccountPage, DetailDialogShowsTheItemsAndQueriesAnotherAccount)
{
    addAccount("110-234-567890", "보통예금", "A04", "20240101");
    addAccount("330-12-0098765", "정기예금", "A06", "20240301");
    post("110-234-567890", 500000, "2024-10-01 10:00:00", "입금");
    login();
    ModalScript modals;
    openScreen();
    tapCell(grid(), 1, 0);
    bool ran = false;
    modals.expectDialog(QStringLiteral("CAccountDetailDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CAccountDetailDlg*>(d);
        EXPECT_TRUE(dlg);
        if (!dlg)
            return 0;
        ran = true;
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("계좌상세-기본계좌"));
        EXPECT_EQ(dlg->AccountCombo()->count(), 2);
        EXPECT_EQ(dlg->AccountCombo()->currentIndex(), 0);
        CGridCtrl* g = dlg->Grid();
        EXPECT_EQ(g->GetItemText(0, 0), QStringLiteral("계좌번호"));
        EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("110-234-567890"));
        EXPECT_EQ(g->GetItemBkColour(0, 0), RGB(181, 178, 181));
        EXPECT_EQ(g->GetItemBkColour(0, 1), RGB(222, 223, 222));
        EXPECT_EQ(g->geometry().topLeft(), QPoint(3, 51));
        EXPECT_EQ(g->GetRowHeight(0), 22);
        const int rowsBefore = g->GetRowCount();
        // Another account: its own inquiry, and the grid is rebuilt.
        dlg->AccountCombo()->setCurrentIndex(1);
        dlg->findChild<CBmpButton*>(QStringLiteral("btnInquiry"))->click();
        EXPECT_EQ(dlg->CurrentIndex(), 1);
        EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("330-12-0098765"));
        EXPECT_GT(g->GetRowCount(), rowsBefore); // a time deposit adds maturity and rate
        EXPECT_EQ(g->GetItemText(1, 1), QStringLiteral("정기예금"));
        dlg->findChild<CBmpButton*>(QStringLiteral("btnClose"))->click();
        return d->result();
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnDetail"))->click();
    modals.verify();
    EXPECT_TRUE(ran);
}

TEST_F(AccountPage, ExpiredSessionAnswersBiz06AndTheReloginPromptEndsTheScreen)
{
    addAccounts(2);
    login();
    ModalScript modals;
    openScreen();
    ASSERT_EQ(page()->AccountCount(), 2);
    bank.clock.advance(std::chrono::seconds(601)); // past the bank's idle limit
    modals.expectMessageContaining(QStringLiteral("BIZ06:"), QStringLiteral("오류"));
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDNO);
    screen->findChild<CBmpButton*>(QStringLiteral("btnReload"))->click();
    modals.verify();
    EXPECT_EQ(screen->GetNextModule(), 9999);
    EXPECT_TRUE(screen->IsClosing());
    EXPECT_EQ(page()->AccountCount(), 2); // a failed reload keeps the grid
    EXPECT_FALSE(platform::isWaiting());
}

TEST_F(AccountPage, AfterABankRestartTheNextRequestAsksForALoginAndTheClientCarriesOn)
{
    addAccounts(2);
    login();
    ModalScript modals;
    openScreen();
    ASSERT_EQ(page()->AccountCount(), 2);
    const QString before = session.GetXSessionKey();

    // The bank restarts: the session and its login are gone, its key refused.
    clientBank.restart();
    modals.expectMessageContaining(QStringLiteral("BIZ06:"), QStringLiteral("오류"));
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDYES);
    screen->findChild<CBmpButton*>(QStringLiteral("btnReload"))->click();
    modals.verify();
    EXPECT_EQ(screen->GetNextModule(), 1100);
    EXPECT_NE(session.GetXSessionKey(), before); // a new gateway session answered
    EXPECT_FALSE(platform::isWaiting());

    // The normal login, in the same program run, and the screen works again.
    login();
    openScreen();
    modals.verify();
    EXPECT_EQ(page()->AccountCount(), 2);
    EXPECT_FALSE(screen->IsClosing());
}

TEST_F(AccountPage, AFailedOpeningLeavesTheEmptyGrid)
{
    addAccounts(2);
    // No login: the bank does not know this session's user.
    ModalScript modals;
    modals.expectMessageContaining(QStringLiteral("BIZ06:"), QStringLiteral("오류"));
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDYES);
    openScreen();
    modals.verify();
    EXPECT_EQ(page()->AccountCount(), 0);
    EXPECT_EQ(grid()->GetRowCount(), 9);
    EXPECT_EQ(screen->GetNextModule(), 1100);
}

TEST_F(AccountPage, ReloginFromTheOpeningRequestEndsTheShellsModalRun)
{
    addAccounts(2);
    // No login: the opening request is answered "log in again".
    ModalScript modals;
    modals.expectMessageContaining(QStringLiteral("BIZ06:"), QStringLiteral("오류"));
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDYES);
    shell = std::make_unique<QWidget>();
    screen = std::make_unique<CTVPB2100>(shell.get());
    screen->SetCommonVar(&session, nullptr, &user);
    // Should the close be lost, the screen would wait for a tap.
    const harness::RealRun run = harness::execReal(screen.get());
    modals.verify();
    EXPECT_FALSE(run.endedByLimit);
    EXPECT_EQ(run.result, QDialog::Rejected);
    EXPECT_EQ(screen->GetNextModule(), 1100);
    EXPECT_FALSE(platform::isWaiting());
}

TEST_F(AccountPage, AFailedDetailInquiryPutsTheComboBackAndTheReloginClosesTheDialog)
{
    addAccount("110-234-567890", "보통예금", "A04", "20240101");
    addAccount("330-12-0098765", "정기예금", "A06", "20240301");
    login();
    ModalScript modals;
    openScreen();
    tapCell(grid(), 1, 0);
    modals.expectDialog(QStringLiteral("CAccountDetailDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CAccountDetailDlg*>(d);
        EXPECT_TRUE(dlg);
        if (!dlg)
            return 0;
        bank.clock.advance(std::chrono::seconds(601));
        dlg->AccountCombo()->setCurrentIndex(1);
        dlg->findChild<CBmpButton*>(QStringLiteral("btnInquiry"))->click();
        EXPECT_EQ(dlg->AccountCombo()->currentIndex(), 0);
        EXPECT_EQ(dlg->CurrentIndex(), 0);
        EXPECT_EQ(dlg->Grid()->GetItemText(0, 1), QStringLiteral("110-234-567890"));
        return d->result();
    });
    modals.expectMessageContaining(QStringLiteral("BIZ06:"), QStringLiteral("오류"));
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDYES);
    screen->findChild<CBmpButton*>(QStringLiteral("btnDetail"))->click();
    modals.verify();
    // The prompt closed the dialog and then the screen, for the login screen.
    EXPECT_EQ(screen->GetNextModule(), 1100);
    EXPECT_TRUE(screen->IsClosing());
}

// Eight accounts fit the grid's height: no vertical bar may cover the end of the
// balances; the detail dialog's rows fit too and show no bar over a blank strip.
TEST_F(AccountPage, EightAccountsAndTheirDetailShowEveryDigitWithoutAVerticalScrollBar)
{
    addAccounts(8);
    post("110-234-567891", 8956901, "2024-10-01 10:00:00", "급여");
    login();
    ModalScript modals;
    openScreen();
    ASSERT_EQ(page()->AccountCount(), 8);
    QCoreApplication::processEvents();
    harness::saveShot(screen.get(), QStringLiteral("2100_accounts_eight"));
    EXPECT_FALSE(grid()->verticalScrollBar()->isVisible());
    EXPECT_EQ(grid()->GetItemText(1, CAccountPage::ColBalance), QStringLiteral("8,956,901"));
    for (int r = 0; r <= 8; ++r)
        EXPECT_LE(grid()->cellRect(r, CAccountPage::ColBalance).right(), grid()->viewport()->width() - 1) << r;
    EXPECT_LE(grid()->cellRect(8, 0).bottom(), grid()->viewport()->height() - 1);

    tapCell(grid(), 1, 0);
    modals.expectDialog(QStringLiteral("CAccountDetailDlg"), [&](QDialog* d) {
        QCoreApplication::processEvents(); // the scroll bars settle before the shot
        harness::saveShot(d, QStringLiteral("2100_detail_few_items"));
        auto* dlg = qobject_cast<CAccountDetailDlg*>(d);
        EXPECT_TRUE(dlg);
        if (dlg) {
            CGridCtrl* g = dlg->Grid();
            EXPECT_FALSE(g->verticalScrollBar()->isVisible());
            EXPECT_EQ(g->verticalScrollBar()->maximum(), 0);
            EXPECT_EQ(g->GetVirtualHeight(), g->viewport()->height());
        }
        return 1;
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnDetail"))->click();
    modals.verify();
}
