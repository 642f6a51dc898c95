// The withdrawal account page and its dialog against the in-process bank:
// registration with the account password and the security card, deletion
// with the password only, the grids' split and sizes, the page's guards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "AccountScreenFixture.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB3200.h"
#include "CWithdrawAccountDlg.h"
#include "CWithdrawAccountPage.h"
#include "ModalScript.h"

using harness::ModalScript;

namespace {

class WithdrawPage : public t3200::AccountScreen {
protected:
    void SetUp() override
    {
        kimA = addAccount("KIM", "110-234-567890", 1'000'000);
        savings = addAccount("KIM", "220-11-0045678", 90'000, /*withdrawal=*/false);
        hiddenReg = addAccount("KIM", "110-234-567892", 450'000, true, /*hidden=*/true);
        leeA = addAccount("LEE", "110-345-678901", 300'000, false);
        login();
        drawCellSeven();
    }
    CWithdrawAccountPage* page() { return screen->WithdrawPage(); }
    void click(QWidget* in, const char* name) { in->findChild<CBmpButton*>(QString::fromLatin1(name))->click(); }
    // The password typed on the keypad that a tap into the field opens.
    static void typePassword(CWithdrawAccountDlg* dlg, const QString& digits)
    {
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CNumberKbd"), [digits](QDialog* k) { return typeOnKeypad(k, digits); });
        QApplication::setActiveWindow(dlg);
        dlg->PasswordEdit()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        inner.verify();
    }
    QStringList column(CGridCtrl* g, int col)
    {
        QStringList out;
        for (int r = 1; r < g->GetRowCount() && !g->GetItemText(r, 0).isEmpty(); ++r)
            out << g->GetItemText(r, col);
        return out;
    }
    std::string kimA, savings, hiddenReg, leeA;
};

} // namespace

TEST_F(WithdrawPage, RegisteredAndHiddenRegisteredAccountsShowAndTheOthersWaitInTheOtherGrid)
{
    ModalScript modals;
    openScreen();
    CGridCtrl* g = page()->Grid();
    EXPECT_EQ(column(g, 1), (QStringList{QStringLiteral("110-234-567890"), QStringLiteral("110-234-567892")}));
    EXPECT_EQ(g->GetItemText(1, 2), QStringLiteral("1,000,000"));
    EXPECT_EQ(g->GetItemText(2, 3), QStringLiteral("3"));
    EXPECT_EQ(column(page()->OtherGrid(), 1), QStringList{QStringLiteral("220-11-0045678")});
    EXPECT_EQ(page()->OtherGrid()->GetItemText(1, 2), QStringLiteral("90000"));  // raw text kept
    EXPECT_FALSE(page()->OtherGrid()->isVisible());
    // LEE's account is nowhere.
    EXPECT_FALSE(column(page()->OtherGrid(), 1).contains(QStringLiteral("110-345-678901")));
    // Up to seven records: 8 rows, the wide widths; header grey, rows alternating.
    EXPECT_EQ(g->GetRowCount(), 8);
    EXPECT_EQ(g->GetColumnWidth(1), 121);
    EXPECT_EQ(g->GetColumnWidth(3), 0);
    EXPECT_EQ(g->GetItemBkColour(0, 0), RGB(181, 178, 181));
    EXPECT_EQ(g->GetItemBkColour(2, 0), RGB(224, 224, 224));
    EXPECT_EQ(g->GetItemFormat(1, 2) & DT_RIGHT, static_cast<UINT>(DT_RIGHT));

    // Seven registered records keep 8 rows; eight give 9 rows and the narrow widths.
    for (int i = 0; i < 5; ++i)
        addAccount("KIM", "110-500-00000" + std::to_string(i), 1000 * (i + 1));
    click(page(), "btnReload");
    EXPECT_EQ(page()->RegisteredCount(), 7);
    EXPECT_EQ(g->GetRowCount(), 8);
    EXPECT_EQ(g->GetColumnWidth(1), 121);
    addAccount("KIM", "110-500-000009", 9000);
    click(page(), "btnReload");
    EXPECT_EQ(g->GetRowCount(), 9);
    EXPECT_EQ(g->GetColumnWidth(1), 115);
    EXPECT_EQ(g->GetColumnWidth(2), 100);
}

TEST_F(WithdrawPage, RegisteringNeedsThePasswordAndTheRightCellAndThePageReloads)
{
    ModalScript modals;
    openScreen();
    // First a wrong cell: the bank refuses, the dialog stays.
    modals.expectDialog(QStringLiteral("CWithdrawAccountDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CWithdrawAccountDlg*>(d);
        EXPECT_EQ(dlg->AccountList()->count(), 1);
        EXPECT_EQ(dlg->AccountList()->currentIndex(), -1);
        // Nothing selected: OK does nothing, without a message.
        click(dlg, "btnOk");
        dlg->AccountList()->setCurrentIndex(0);
        typePassword(dlg, QStringLiteral("1234"));
        EXPECT_EQ(dlg->PasswordEdit()->text().size(), 4);
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
            EXPECT_EQ(k->findChild<QWidget*>(QStringLiteral("prompt"))->property("text").toString(),
                      QStringLiteral("보안카드 7번 입력"));
            return typeOnKeypad(k, wrongCell7());
        });
        inner.expectMessageContaining(QStringLiteral("AMG06:"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        inner.verify();
        EXPECT_FALSE(isWithdrawal(savings));
        inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) { return typeOnKeypad(k, kimCell7()); });
        inner.expectMessage(QStringLiteral("출금계좌가 등록되었습니다."), QStringLiteral("확인"));
        click(dlg, "btnOk");
        inner.verify();
        return d->result();
    });
    click(page(), "btnRegister");
    modals.verify();
    EXPECT_TRUE(isWithdrawal(savings));
    EXPECT_EQ(column(page()->Grid(), 1).size(), 3);
    EXPECT_EQ(page()->OtherCount(), 0);

    // Nothing left to register.
    modals.expectMessage(QStringLiteral("등록할 계좌가 없습니다"), QStringLiteral("오류"));
    click(page(), "btnRegister");
}

TEST_F(WithdrawPage, DeletingTakesTheSelectedRowAndThePasswordWithoutASecurityStep)
{
    ModalScript modals;
    openScreen();
    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("오류"));
    click(page(), "btnDelete");
    modals.verify();

    // The hidden registered account (flag "3") is deletable.
    tapCell(page()->Grid(), 2, 0);
    modals.expectDialog(QStringLiteral("CWithdrawAccountDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CWithdrawAccountDlg*>(d);
        EXPECT_EQ(dlg->AccountList()->currentText(), QStringLiteral("110-234-567892"));
        ModalScript inner;
        dlg->PasswordEdit()->setText(QStringLiteral("9999"));
        inner.expectMessageContaining(QStringLiteral("AMG02:"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        inner.verify();
        dlg->PasswordEdit()->setText(QStringLiteral("1234"));
        inner.expectMessage(QStringLiteral("출금계좌가 삭제되었습니다."), QStringLiteral("확인"));
        click(dlg, "btnOk");
        inner.verify();
        return d->result();
    });
    click(page(), "btnDelete");
    modals.verify();
    EXPECT_FALSE(isWithdrawal(hiddenReg));
    EXPECT_EQ(column(page()->Grid(), 1), QStringList{QStringLiteral("110-234-567890")});
    EXPECT_EQ(page()->OtherCount(), 2);
}

TEST_F(WithdrawPage, ACertificateUserWhoCancelsTheSigningIsToldEmptyAndNothingIsSent)
{
    useCertificateUser();
    const std::string parkSavings = addAccount("PARK", "220-12-0011111", 5'000, /*withdrawal=*/false);
    ModalScript modals;
    openScreen();
    ASSERT_EQ(page()->RegisteredCount(), 1);
    ASSERT_EQ(page()->OtherCount(), 1);
    modals.expectDialog(QStringLiteral("CWithdrawAccountDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CWithdrawAccountDlg*>(d);
        EXPECT_EQ(dlg->AccountList()->count(), 1);
        dlg->AccountList()->setCurrentIndex(0);
        dlg->PasswordEdit()->setText(QStringLiteral("1234"));
        ModalScript inner;
        inner.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* p) {
            p->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            return p->result();
        });
        inner.expectMessage(QStringLiteral("Empty"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        inner.verify();
        EXPECT_TRUE(dlg->isVisible());
        // Then signed: registered.
        inner.expectDialog(QStringLiteral("VelcorSignDialog"),
                           [](QDialog* p) { return answerSignPrompt(p, kCertPassword); });
        inner.expectMessage(QStringLiteral("출금계좌가 등록되었습니다."), QStringLiteral("확인"));
        click(dlg, "btnOk");
        inner.verify();
        return d->result();
    });
    click(page(), "btnRegister");
    modals.verify();
    EXPECT_TRUE(isWithdrawal(parkSavings));

    // A means that is neither: refused on the screen.
    addAccount("PARK", "220-12-0022222", 1'000, /*withdrawal=*/false);
    click(page(), "btnReload");
    user.SetSecurityWay(QStringLiteral("X"));
    modals.expectDialog(QStringLiteral("CWithdrawAccountDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CWithdrawAccountDlg*>(d);
        dlg->AccountList()->setCurrentIndex(0);
        ModalScript inner;
        inner.expectMessage(QStringLiteral("처리할수 없는 보안수단입니다"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        inner.verify();
        return QDialog::Rejected;
    });
    click(page(), "btnRegister");
}
