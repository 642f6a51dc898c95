// The two loan pages and the two detail dialogs end to end: lists and total,
// the credit-line page loaded on its first visit, digits-only detail queries,
// amounts with separators in the details, and what does nothing.
#include <gtest/gtest.h>

#include <QComboBox>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CCreditLoanDlg.h"
#include "CGeneralLoanDlg.h"
#include "CGridCtrl.h"
#include "CLoanListPage.h"
#include "CTVPB2300.h"
#include "KitGrid.h"
#include "LoanScreenFixture.h"
#include "ModalScript.h"

using harness::ModalScript;

namespace {

class LoanList : public t2300::LoanScreen {
protected:
    void SetUp() override
    {
        login();
        // Together over 2,147,483,647 won.
        addLoan("KIM", "770-01-0012345", 2'000'000'000, false, 520, "20241005", "20241105");
        addLoan("KIM", "770-01-0023456", 300'000'000, false, 400, "20240920", "20241020");  // overdue
        addLoan("KIM", "770-05-0034567", 3'200'000, true, 690, "20241015", "20241115");
        addLoan("LEE", "770-02-0056789", 8'000'000, false, 550, "20241010", "20241110");
    }
    static void press(QWidget* w, const char* name) { w->findChild<CBmpButton*>(QString::fromLatin1(name))->click(); }
};

} // namespace

TEST_F(LoanList, GeneralLoansLoadAtOnceWithAPlainTotalAndCreditLinesOnTheirFirstVisit)
{
    ModalScript modals;
    openScreen();
    CLoanListPage* general = screen->GeneralPage();
    CGridCtrl* g = general->Grid();
    ASSERT_EQ(general->LoanCount(), 2);
    EXPECT_EQ(g->GetRowCount(), 3);
    EXPECT_EQ(g->GetItemText(0, 0), QStringLiteral("종류"));
    EXPECT_EQ(g->GetColumnWidth(0), 35);
    EXPECT_EQ(g->GetColumnWidth(1), 117);
    EXPECT_EQ(g->GetColumnWidth(2), 75);
    EXPECT_EQ(g->GetItemText(1, 0), QStringLiteral("일반"));
    EXPECT_EQ(g->GetItemText(1, 1), QStringLiteral("770-01-0012345"));
    EXPECT_EQ(g->GetItemText(1, 2), QStringLiteral("2000000000"));  // as received
    EXPECT_TRUE(g->GetItemFormat(1, 2) & DT_RIGHT);
    EXPECT_EQ(g->GetRowHeight(1), 20);
    EXPECT_EQ(g->GetItemBkColour(1, 0), RGB(224, 224, 224));
    EXPECT_EQ(g->GetItemBkColour(2, 0), RGB(255, 255, 255));
    // 2,300,000,000 won: past 32 bits, shown without separators.
    EXPECT_EQ(general->TotalGrid()->GetItemText(0, 0), QStringLiteral("대출 총잔액"));
    EXPECT_EQ(general->TotalGrid()->GetItemText(0, 1), QStringLiteral("2300000000"));
    EXPECT_EQ(general->Heading()->text(), QStringLiteral("김민준 11/05 14:32"));
    EXPECT_EQ(sent("PDA_L001").size(), 1u);

    // The credit-line page waits for its tab.
    EXPECT_TRUE(sent("PDA_L005").empty());
    EXPECT_EQ(screen->CreditTabCount(), 0);
    tapTab(screen->TabCtrl(), 1);
    CLoanListPage* credit = screen->CreditPage();
    ASSERT_EQ(credit->LoanCount(), 1);
    EXPECT_EQ(credit->Grid()->GetItemText(1, 0), QStringLiteral("한도"));
    EXPECT_EQ(credit->Grid()->GetItemText(1, 1), QStringLiteral("770-05-0034567"));
    EXPECT_EQ(credit->TotalGrid()->GetItemText(0, 1), QStringLiteral("3200000"));
    tapTab(screen->TabCtrl(), 0);
    tapTab(screen->TabCtrl(), 1);
    EXPECT_EQ(sent("PDA_L005").size(), 1u);  // later visits send nothing

    // Reload asks for the time and the list again; LEE's loan never shows.
    press(general, "btnReload");
    EXPECT_EQ(sent("PDA_L001").size(), 2u);
    EXPECT_EQ(general->LoanCount(), 2);
    EXPECT_EQ(general->Accounts(), (QStringList{"770-01-0012345", "770-01-0023456"}));
}

TEST_F(LoanList, DetailsAskWithDigitsOnlyAndShowAmountsWithSeparators)
{
    ModalScript modals;
    openScreen();
    CLoanListPage* general = screen->GeneralPage();
    tapCell(general->Grid(), 2, 1);
    modals.expectDialog(QStringLiteral("CGeneralLoanDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CGeneralLoanDlg*>(d);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("일반대출상세"));
        EXPECT_EQ(dlg->AccountList()->count(), 2);
        EXPECT_EQ(dlg->AccountList()->currentIndex(), 1);
        // The selected loan was asked for at once, by its digits.
        EXPECT_EQ(lastValue("PDA_L002", "LoanAccNo"), "770010023456");
        CGridCtrl* g = dlg->Grid();
        EXPECT_EQ(g->GetRowCount(), 13);
        EXPECT_EQ(g->GetRowHeight(0), 18);
        EXPECT_EQ(g->GetColumnWidth(0), 98);
        EXPECT_EQ(g->GetColumnWidth(1), 136);
        EXPECT_EQ(g->GetItemText(0, 0), QStringLiteral("대출금액"));
        EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("300,000,000"));
        EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("300,000,000"));
        EXPECT_EQ(g->GetItemText(6, 1), QStringLiteral("연체"));
        EXPECT_EQ(g->GetItemText(7, 1), QStringLiteral("2024.09.20"));
        EXPECT_TRUE(g->GetItemFormat(2, 1) & DT_RIGHT);
        EXPECT_TRUE(dlg->InterestButton()->isVisible());
        EXPECT_FALSE(dlg->PrincipalButton()->isVisible());
        // Another loan through the list and the query button.
        dlg->AccountList()->setCurrentIndex(0);
        press(dlg, "btnQuery");
        EXPECT_EQ(lastValue("PDA_L002", "LoanAccNo"), "770010012345");
        EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("2,000,000,000"));
        EXPECT_EQ(g->GetItemText(6, 1), QStringLiteral("정상"));
        press(dlg, "btnClose");
        return d->result();
    });
    press(general, "btnDetail");
    modals.verify();

    tapTab(screen->TabCtrl(), 1);
    CLoanListPage* credit = screen->CreditPage();
    tapCell(credit->Grid(), 1, 0);
    modals.expectDialog(QStringLiteral("CCreditLoanDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CCreditLoanDlg*>(d);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("한도대출상세"));
        EXPECT_EQ(lastValue("PDA_L006", "AccNO"), "770050034567");
        CGridCtrl* g = dlg->Grid();
        EXPECT_EQ(g->GetRowCount(), 10);  // twelve entries, 9 and 11 left out
        EXPECT_EQ(g->GetRowHeight(0), 22);
        EXPECT_EQ(g->GetItemText(3, 0), QStringLiteral("약정한도"));
        EXPECT_EQ(g->GetItemText(3, 1), QStringLiteral("10,000,000"));
        EXPECT_EQ(g->GetItemText(4, 1), QStringLiteral("3,200,000"));
        EXPECT_EQ(g->GetItemText(9, 0), QStringLiteral("연체여부"));
        EXPECT_EQ(g->GetItemText(9, 1), QStringLiteral("정상"));
        for (int r = 0; r < g->GetRowCount(); ++r)
            EXPECT_NE(g->GetItemText(r, 0), QStringLiteral("관리점"));
        EXPECT_FALSE(dlg->InterestButton()->isVisible());
        EXPECT_FALSE(dlg->PrincipalButton()->isVisible());
        press(dlg, "btnClose");
        return d->result();
    });
    press(credit, "btnDetail");
    modals.verify();
}

TEST_F(LoanList, NothingSelectedAsksForAnAccountAndAnEmptyListOpensNothing)
{
    ModalScript modals;
    openScreen();
    // No row selected: the dialog opens without a query; query and interest ask for an account.
    modals.expectDialog(QStringLiteral("CGeneralLoanDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CGeneralLoanDlg*>(d);
        EXPECT_EQ(dlg->AccountList()->currentIndex(), -1);
        EXPECT_TRUE(sent("PDA_L002").empty());
        EXPECT_EQ(dlg->Grid()->GetItemText(0, 1), QString());
        ModalScript inner;
        inner.expectMessage(QStringLiteral("계좌를 선택하세요"), QStringLiteral("오류"));
        inner.expectMessage(QStringLiteral("계좌를 선택하세요"), QStringLiteral("오류"));
        press(dlg, "btnQuery");
        press(dlg, "btnInterest");
        inner.verify();
        EXPECT_TRUE(sent("PDA_L002").empty());
        EXPECT_TRUE(sent("PDA_L007").empty());
        return QDialog::Accepted;
    });
    press(screen->GeneralPage(), "btnDetail");
    modals.verify();

    // LEE's credit-line page is empty: detail does nothing (no modal at all).
    screen.reset();
    login("LEE", "PW2");
    user.SetUserID(QStringLiteral("LEE"));
    user.SetUserName(QStringLiteral("이서연"));
    openScreen();
    tapTab(screen->TabCtrl(), 1);
    EXPECT_EQ(screen->CreditPage()->LoanCount(), 0);
    EXPECT_EQ(screen->CreditPage()->TotalGrid()->GetItemText(0, 1), QString());
    press(screen->CreditPage(), "btnDetail");
    EXPECT_TRUE(sent("PDA_L006").empty());
}
