// The inquiry page: its checks in order, the billing date from the lists, and
// the dialogs against the bank (approvals paged, the empty period, the bill of
// 27 March, available amount and arrears).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

#include "CApprovalDlg.h"
#include "CBillDlg.h"
#include "CBmpButton.h"
#include "CCardInquiryPage.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CTVPB2400.h"
#include "CardScreenFixture.h"
#include "ModalScript.h"

using harness::ModalScript;

namespace {

class Inquiries : public t2400::CardScreen {
protected:
    void SetUp() override
    {
        addCards();
        login();
        openScreen();
        tapTab(1);
    }
    CCardInquiryPage* page() { return screen->InquiryPage(); }
    void password(ModalScript& modals, const QString& digits)
    {
        modals.expectDialog(QStringLiteral("CNumberKbd"), [digits](QDialog* d) { return typeOnKeypad(d, digits); });
        QApplication::setActiveWindow(screen.get());
        page()->PasswordEdit()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        page()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        modals.verify();
    }
    void refused(ModalScript& modals, const QString& text)
    {
        modals.expectMessage(text, QStringLiteral("오류"));
        button(page(), "btnInquire")->click();
        modals.verify();
    }
};

} // namespace

TEST_F(Inquiries, ChecksComeInOrderAndDay27OfMonth03IsTheBillingDateSent)
{
    ModalScript modals;
    refused(modals, QStringLiteral("신용카드 선택오류"));
    page()->CardList()->setCurrentIndex(0);
    // Without a kind the billing lists are hidden: the password, then the kind.
    refused(modals, QStringLiteral("비밀번호 입력오류"));
    password(modals, QStringLiteral("4321"));
    refused(modals, QStringLiteral("조회구분 선택오류"));
    page()->KindList()->setCurrentIndex(CCardInquiryPage::Bill);
    EXPECT_FALSE(page()->YearList()->isHidden());
    EXPECT_TRUE(page()->StartPicker()->isHidden());
    EXPECT_EQ(page()->PeriodLabel()->text(), QStringLiteral("   결 제 일"));
    EXPECT_EQ(page()->YearList()->currentText(), QStringLiteral("2024"));
    EXPECT_EQ(page()->MonthList()->currentText(), QStringLiteral("11"));
    page()->YearList()->setCurrentIndex(-1);
    refused(modals, QStringLiteral("결제년도 선택오류"));
    page()->YearList()->setCurrentIndex(1);
    page()->MonthList()->setCurrentIndex(-1);
    refused(modals, QStringLiteral("결제월 선택오류"));
    page()->MonthList()->setCurrentIndex(2);
    refused(modals, QStringLiteral("결제일 선택오류"));
    page()->DayList()->setCurrentIndex(5);
    // The bill of 2024-03-27 opens and is queried at once.
    modals.expectDialog(QStringLiteral("CBillDlg"), [](QDialog* d) {
        auto* bill = qobject_cast<CBillDlg*>(d);
        QApplication::processEvents();
        EXPECT_EQ(bill->CustomerText(), QStringLiteral("고객명: 김민준"));
        EXPECT_EQ(bill->BranchText(), QStringLiteral("영업점: 강남지점"));
        EXPECT_EQ(bill->TotalGrid()->GetItemText(0, 1), QStringLiteral("424,500"));
        EXPECT_EQ(bill->TotalGrid()->GetItemText(1, 1), QStringLiteral("110-234-567890"));
        EXPECT_EQ(bill->AmountGrid()->GetItemText(0, 1), QStringLiteral("120,000"));
        EXPECT_EQ(bill->AmountGrid()->GetItemText(3, 0), QStringLiteral("현금서비스 수수료"));
        EXPECT_EQ(bill->AmountGrid()->GetItemText(3, 1), QStringLiteral("4,500"));
        return QDialog::Rejected;
    });
    button(page(), "btnInquire")->click();
    modals.verify();
    EXPECT_EQ(page()->LastStart(), QStringLiteral("20240327"));
    // Closing empties the password.
    EXPECT_TRUE(page()->PasswordEdit()->text().isEmpty());

    // A billing day the card does not have is refused by the bank, in its words.
    password(modals, QStringLiteral("4321"));
    page()->DayList()->setCurrentIndex(3);
    modals.expectDialog(QStringLiteral("CBillDlg"), [&](QDialog* d) {
        ModalScript inner;
        inner.expectMessageContaining(QStringLiteral("CRD05:"), QStringLiteral("오류"));
        QApplication::processEvents();
        inner.verify();
        EXPECT_EQ(qobject_cast<CBillDlg*>(d)->TotalGrid()->GetItemText(0, 1), QString());
        return QDialog::Rejected;
    });
    button(page(), "btnInquire")->click();
    modals.verify();

    // Reset keeps what is shown.
    button(page(), "btnReset")->click();
    EXPECT_EQ(page()->CardList()->currentIndex(), -1);
    EXPECT_EQ(page()->KindList()->currentIndex(), -1);
    EXPECT_EQ(page()->DayList()->currentIndex(), 0);
    EXPECT_EQ(page()->MonthList()->currentText(), QStringLiteral("11"));
    EXPECT_FALSE(page()->YearList()->isHidden());
}

TEST_F(Inquiries, ApprovalsPageThroughThreePagesNewestFirstAndAnEmptyPeriodSaysSo)
{
    ModalScript modals;
    page()->KindList()->setCurrentIndex(CCardInquiryPage::Approvals);
    EXPECT_EQ(page()->StartPicker()->date(), QDate(2024, 10, 6));  // thirty days back
    EXPECT_EQ(page()->EndPicker()->date(), QDate(2024, 11, 5));
    // The card is listed with separators and goes out as digits (the bank refuses anything else).
    page()->CardList()->setCurrentIndex(0);
    ASSERT_EQ(page()->CardList()->currentText(), shownNo(0));
    password(modals, QStringLiteral("4321"));
    modals.expectDialog(QStringLiteral("CApprovalDlg"), [this](QDialog* d) {
        auto* dlg = qobject_cast<CApprovalDlg*>(d);
        QApplication::processEvents();
        CGridCtrl* g = dlg->Grid();
        EXPECT_EQ(dlg->Shown(), 10);
        EXPECT_EQ(dlg->Key(), QStringLiteral("001"));
        EXPECT_EQ(g->GetItemText(2, 0), QStringLiteral("2024-11-03"));
        EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("가맹점22"));
        EXPECT_EQ(g->GetItemText(3, 1), QStringLiteral("23,000"));
        EXPECT_EQ(g->GetItemText(3, 0), QString());  // "승인시간" stays empty
        EXPECT_EQ(g->GetItemBkColour(2, 0), RGB(224, 224, 224));
        EXPECT_EQ(g->GetRowHeight(0), 21);
        EXPECT_EQ(g->GetRowHeight(2), 18);
        EXPECT_EQ(dlg->CardList()->count(), 1);
        EXPECT_TRUE(dlg->NextButton()->isEnabled());
        dlg->NextButton()->click();
        EXPECT_EQ(dlg->Key(), QStringLiteral("002"));
        EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("가맹점12"));
        dlg->NextButton()->click();
        EXPECT_EQ(dlg->Shown(), 3);
        EXPECT_EQ(g->GetItemText(6, 1), QStringLiteral("가맹점0"));
        EXPECT_EQ(dlg->Key(), QStringLiteral("000"));
        EXPECT_FALSE(dlg->NextButton()->isEnabled());
        // The first page again.
        button(dlg, "btnFirst")->click();
        EXPECT_EQ(dlg->Shown(), 10);
        EXPECT_TRUE(dlg->NextButton()->isEnabled());
        return QDialog::Rejected;
    });
    button(page(), "btnInquire")->click();
    modals.verify();

    page()->StartPicker()->setDate(QDate(2024, 9, 1));
    page()->EndPicker()->setDate(QDate(2024, 9, 30));
    password(modals, QStringLiteral("4321"));
    modals.expectDialog(QStringLiteral("CApprovalDlg"), [](QDialog* d) {
        ModalScript inner;
        inner.expectMessage(QStringLiteral("조회기간내에 승인내역이 없습니다"), QStringLiteral("확인"));
        QApplication::processEvents();
        inner.verify();
        EXPECT_EQ(qobject_cast<CApprovalDlg*>(d)->Shown(), 0);
        EXPECT_FALSE(qobject_cast<CApprovalDlg*>(d)->NextButton()->isEnabled());
        return QDialog::Rejected;
    });
    button(page(), "btnInquire")->click();
    modals.verify();
}
