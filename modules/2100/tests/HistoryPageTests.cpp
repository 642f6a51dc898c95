// The history page against the in-process bank.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>

#include "BankFixture.h"
#include "CAccountPage.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CHistoryPage.h"
#include "CTVPB2100.h"
#include "ModalScript.h"

using harness::ModalScript;
using t2100::BankFixture;

namespace {

class HistoryPage : public BankFixture {
protected:
    void SetUp() override
    {
        addAccount("770-01-0012345", "가계일반대출", "A07", "20230101");
        addAccount("110-234-567890", "보통예금", "A04", "20240101");
        addAccount("220-11-0045678", "정기적금", "A01", "20240102");
        addAccount("440-20-0033445", "주택청약저축", "A02", "20240103");
        post("110-234-567890", 2500000, "2024-10-01 09:00:00", "급여", "타브린상사");
        post("110-234-567890", -350000, "2024-10-15 11:00:00", "관리비", "한빛아파트");
        post("110-234-567890", -73200, "2024-10-15 15:00:00", "통신요금", "무선통신");
        post("110-234-567890", 35000, "2024-11-03 10:00:00", "입금", "최유리");
        post("220-11-0045678", 200000, "2024-09-10 10:00:00", "적금불입");
        post("220-11-0045678", 200000, "2024-10-10 10:00:00", "적금불입");
        login();
        openScreen();
    }
    CHistoryPage* page() { return screen->HistoryPage(); }
    CGridCtrl* grid() { return page()->Grid(); }
    void choosePeriod(int index)
    {
        page()->PeriodCombo()->setCurrentIndex(index);
        emit page()->PeriodCombo()->activated(index);
    }
    void chooseAccount(int index)
    {
        page()->AccountCombo()->setCurrentIndex(index);
        emit page()->AccountCombo()->activated(index);
    }
    void inquire() { screen->findChild<CBmpButton*>(QStringLiteral("btnHistoryInquiry"))->click(); }
    // Accounts grid row of an account number.
    int rowOf(const QString& number)
    {
        for (int r = 1; r <= screen->AccountPage()->AccountCount(); ++r)
            if (screen->AccountPage()->AccountAt(r) == number)
                return r;
        return -1;
    }
};

QStringList items(QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

} // namespace

TEST_F(HistoryPage, OnlyAccountsWithAHistoryAreOffered)
{
    EXPECT_EQ(items(page()->AccountCombo()), (QStringList{"110-234-567890", "220-11-0045678"}));
    EXPECT_EQ(items(page()->CodeCombo()), (QStringList{"A04", "A01"}));
    EXPECT_FALSE(page()->CodeCombo()->isVisible());
    EXPECT_EQ(page()->AccountCombo()->currentIndex(), -1);
    EXPECT_EQ(page()->PeriodCombo()->count(), 0);
    EXPECT_EQ(page()->StartPicker()->displayFormat(), QStringLiteral("yyyy-MM-dd"));
    // Without an account the inquiry does nothing (no request, no message).
    ModalScript modals;
    inquire();
    EXPECT_EQ(grid()->GetItemText(2, 0), QString());
}

TEST_F(HistoryPage, TappingADayKindAccountPreparesThreeDaysWithDisabledPickers)
{
    ModalScript modals;
    CGridCtrl* accounts = screen->AccountPage()->Grid();
    tapCell(accounts, rowOf(QStringLiteral("110-234-567890")), 0);
    EXPECT_EQ(items(page()->PeriodCombo()), (QStringList{"", "3일", "1주", "15일", "한달"}));
    EXPECT_EQ(page()->PeriodCombo()->currentIndex(), 1);
    EXPECT_EQ(page()->StartPicker()->date(), QDate(2024, 11, 2));
    EXPECT_EQ(page()->EndPicker()->date(), QDate(2024, 11, 5));
    EXPECT_FALSE(page()->StartPicker()->isEnabled());
    EXPECT_FALSE(page()->EndPicker()->isEnabled());
    EXPECT_EQ(page()->AccountCombo()->currentText(), QStringLiteral("110-234-567890"));
    // A month kind: "3개월" is 91 days back.
    tapCell(accounts, rowOf(QStringLiteral("220-11-0045678")), 0);
    EXPECT_EQ(page()->PeriodCombo()->itemText(1), QStringLiteral("3개월"));
    EXPECT_EQ(page()->StartPicker()->date(), QDate(2024, 8, 6));
    // A kind without history clears the history page's account.
    tapCell(accounts, rowOf(QStringLiteral("440-20-0033445")), 0);
    EXPECT_EQ(page()->AccountCombo()->currentIndex(), -1);
}

TEST_F(HistoryPage, NewestFirstTwoRowsPerTransactionAndTheOrdinaryHeaders)
{
    ModalScript modals;
    chooseAccount(0);
    choosePeriod(4); // 한달: 2024-10-06 .. 2024-11-05
    choosePeriod(0);
    page()->StartPicker()->setDate(QDate(2024, 10, 1));
    page()->EndPicker()->setDate(QDate(2024, 11, 5));
    inquire();
    ASSERT_EQ(page()->Shown().size(), 4);
    EXPECT_EQ(grid()->GetFixedRowCount(), 2);
    EXPECT_EQ(grid()->GetRowCount(), 10);
    EXPECT_EQ(grid()->GetItemText(0, 2), QStringLiteral("기재내용"));
    EXPECT_EQ(grid()->GetItemText(1, 0), QStringLiteral("입금(원)"));
    EXPECT_EQ(grid()->GetItemText(1, 1), QStringLiteral("지급(원)"));
    // Newest first; the two movements of 15 October in the swap rule's order.
    EXPECT_EQ(grid()->GetItemText(2, 0), QStringLiteral("2024.11.03"));
    EXPECT_EQ(grid()->GetItemText(4, 1), QStringLiteral("통신요금"));
    EXPECT_EQ(grid()->GetItemText(6, 1), QStringLiteral("관리비"));
    EXPECT_EQ(grid()->GetItemText(8, 0), QStringLiteral("2024.10.01"));
    // Deposits under "입금(원)", withdrawals under "지급(원)".
    EXPECT_EQ(grid()->GetItemText(3, 0), QStringLiteral("35,000"));
    EXPECT_EQ(grid()->GetItemText(3, 1), QString());
    EXPECT_EQ(grid()->GetItemText(5, 0), QString());
    EXPECT_EQ(grid()->GetItemText(5, 1), QStringLiteral("73,200"));
    EXPECT_EQ(grid()->GetItemText(9, 2), QStringLiteral("2,500,000"));
    EXPECT_EQ(grid()->GetItemBkColour(2, 0), RGB(255, 255, 255));
    EXPECT_EQ(grid()->GetItemBkColour(3, 0), RGB(255, 255, 255));
    EXPECT_EQ(grid()->GetItemBkColour(4, 0), RGB(224, 224, 224));
    EXPECT_EQ(grid()->GetItemBkColour(0, 0), RGB(181, 178, 181));
    EXPECT_EQ(grid()->GetItemFormat(3, 0) & DT_RIGHT, DT_RIGHT);
    EXPECT_EQ(grid()->GetColumnWidth(1), 107);
}

TEST_F(HistoryPage, TheEmptyPeriodEnablesThePickersAndTheirDatesAreSent)
{
    ModalScript modals;
    chooseAccount(0);
    EXPECT_EQ(page()->PeriodCombo()->currentIndex(), 1);
    choosePeriod(0);
    EXPECT_TRUE(page()->StartPicker()->isEnabled());
    EXPECT_TRUE(page()->EndPicker()->isEnabled());
    page()->StartPicker()->setDate(QDate(2024, 10, 15));
    page()->EndPicker()->setDate(QDate(2024, 10, 15));
    inquire();
    // Only the bank's movements of that one day come back.
    ASSERT_EQ(page()->Shown().size(), 2);
    EXPECT_EQ(page()->Shown()[0].value(0), QStringLiteral("2024.10.15"));
    EXPECT_EQ(page()->Shown()[1].value(0), QStringLiteral("2024.10.15"));
    // The three-day period of today finds only the deposit of 3 November.
    choosePeriod(1);
    inquire();
    ASSERT_EQ(page()->Shown().size(), 1);
    EXPECT_EQ(page()->Shown()[0].value(1), QStringLiteral("입금"));
}

TEST_F(HistoryPage, InstalmentSavingsUseTheirOwnHeaders)
{
    ModalScript modals;
    chooseAccount(1);
    EXPECT_EQ(page()->PeriodCombo()->itemText(1), QStringLiteral("3개월"));
    inquire();
    ASSERT_EQ(page()->Shown().size(), 2);
    EXPECT_EQ(grid()->GetItemText(0, 2), QStringLiteral("회차"));
    EXPECT_EQ(grid()->GetItemText(1, 0), QStringLiteral("월분"));
    EXPECT_EQ(grid()->GetItemText(1, 2), QStringLiteral(" 거래후잔액"));
    EXPECT_EQ(grid()->GetItemText(2, 2), QStringLiteral("2")); // the second instalment, newest first
    EXPECT_EQ(grid()->GetItemText(3, 0), QStringLiteral("2024.10"));
    EXPECT_EQ(grid()->GetItemText(3, 2), QStringLiteral("400,000"));
}

TEST_F(HistoryPage, ARefusedInquiryShowsTheBanksTextAndEmptiesTheGrid)
{
    ModalScript modals;
    chooseAccount(0);
    inquire();
    ASSERT_EQ(page()->Shown().size(), 1);
    // The pickers of the free range allow an end before the start: the bank refuses it.
    choosePeriod(0);
    page()->StartPicker()->setDate(QDate(2024, 11, 5));
    page()->EndPicker()->setDate(QDate(2024, 10, 1));
    modals.expectMessageContaining(QStringLiteral("BIZ04:"), QStringLiteral("오류"));
    inquire();
    modals.verify();
    EXPECT_TRUE(page()->Shown().isEmpty());
    EXPECT_EQ(grid()->GetItemText(2, 0), QString());
    EXPECT_EQ(grid()->GetRowCount(), 10);
}

TEST_F(HistoryPage, APeriodWithoutTransactionsShowsTheEmptyGridNotTheOldRows)
{
    ModalScript modals;
    chooseAccount(0);
    inquire();
    ASSERT_EQ(page()->Shown().size(), 1);
    choosePeriod(0);
    page()->StartPicker()->setDate(QDate(2023, 1, 1));
    page()->EndPicker()->setDate(QDate(2023, 1, 31));
    inquire();
    EXPECT_TRUE(page()->Shown().isEmpty());
    EXPECT_EQ(grid()->GetItemText(2, 0), QString());
    EXPECT_EQ(grid()->GetItemText(3, 0), QString());
    EXPECT_EQ(grid()->GetRowCount(), 10);
}
