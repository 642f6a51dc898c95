// The favourite deposit account page, its entry and confirmation dialogs
// against the in-process bank: first-visit loading, registration with the
// bank's holder name, modification, deletion without a prompt, the checks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "AccountScreenFixture.h"
#include "CBmpButton.h"
#include "CDepositAccountConfirmDlg.h"
#include "CDepositAccountEditDlg.h"
#include "CDepositAccountPage.h"
#include "CGridCtrl.h"
#include "CTVPB3200.h"
#include "ModalScript.h"
#include "Services.h"
#include "Sqlite.h"

using harness::ModalScript;

namespace {

class DepositPage : public t3200::AccountScreen {
protected:
    void SetUp() override
    {
        kimA = addAccount("KIM", "110-234-567890", 1'000'000);
        leeA = addAccount("LEE", "110-345-678901", 300'000);
        bank.store->write([](bankd::Db& db) {
            db.exec("INSERT INTO other_bank_accounts (bank_code, account_no, holder) "
                    "VALUES ('04', '12345678901', '최유리')");
        });
        addFavourite("26", "정하늘통장", "110222333444", "정하늘");
        login();
    }
    CDepositAccountPage* page() { return screen->DepositPage(); }
    static void click(QWidget* in, const char* name)
    {
        in->findChild<CBmpButton*>(QString::fromLatin1(name))->click();
    }
    std::string storedAccount(const std::string& nickname)
    {
        return bank.store->read([&](bankd::Db& db) {
            auto s = db.prepare("SELECT account_no || '/' || holder FROM favourite_accounts WHERE account_name = ?1");
            s.bind(1, nickname);
            return s.step() ? s.text(0) : std::string();
        });
    }
    std::string kimA, leeA;
};

} // namespace

TEST_F(DepositPage, LoadsOnTheFirstVisitOnlyAndReloadsFromTheButton)
{
    ModalScript modals;
    openScreen();
    EXPECT_EQ(page()->RecordCount(), 0);
    tapTab(1);
    ASSERT_EQ(page()->RecordCount(), 1);
    CGridCtrl* g = page()->Grid();
    EXPECT_EQ(g->GetItemText(1, 0), QStringLiteral("정하늘통장"));
    EXPECT_EQ(g->GetItemText(1, 1), QStringLiteral("신한은행"));
    EXPECT_EQ(g->GetItemText(1, 2), QStringLiteral("110222333444"));
    EXPECT_EQ(g->GetItemText(1, 3), QStringLiteral("정하늘"));
    EXPECT_FALSE(g->GetItemText(1, 4).isEmpty());
    EXPECT_EQ(g->GetItemText(1, 5), QStringLiteral("26"));
    EXPECT_EQ(g->GetColumnWidth(4), 0);
    EXPECT_EQ(g->GetColumnWidth(0), 122);

    // A second visit sends nothing: a favourite added meanwhile does not show.
    addFavourite("04", "유리", "12345678901", "최유리");
    tapTab(0);
    tapTab(1);
    EXPECT_EQ(page()->RecordCount(), 1);
    EXPECT_EQ(screen->TabVisitCount(1), 1);
    click(page(), "btnReload");
    EXPECT_EQ(page()->RecordCount(), 2);
}

TEST_F(DepositPage, RegisteringLooksUpTheHolderAndSendsTheNumberWithoutDashes)
{
    ModalScript modals;
    openScreen();
    tapTab(1);
    modals.expectDialog(QStringLiteral("CDepositAccountEditDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CDepositAccountEditDlg*>(d);
        EXPECT_EQ(dlg->BankList()->count(), 30);
        EXPECT_EQ(dlg->BankList()->currentIndex(), -1);
        ModalScript inner;
        // The checks in their order.
        inner.expectMessage(QStringLiteral("입금계좌명 입력 오류"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        dlg->NameEdit()->setText(QStringLiteral("유리 적금"));
        inner.expectMessage(QStringLiteral("입금 은행 선택 오류"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        dlg->BankList()->setCurrentIndex(dlg->BankList()->findText(QStringLiteral("국민은행")));
        inner.expectMessage(QStringLiteral("입금계좌번호 입력오류"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        inner.verify();
        // The number through the keypad.
        inner.expectDialog(QStringLiteral("CNumberKbd"),
                           [](QDialog* k) { return typeOnKeypad(k, QStringLiteral("12345678901")); });
        QApplication::setActiveWindow(dlg);
        dlg->AccountEdit()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        inner.verify();
        EXPECT_EQ(dlg->AccountEdit()->text().remove(QLatin1Char('-')), QStringLiteral("12345678901"));
        // As printed on a passbook, with dashes: they do not go out.
        dlg->AccountEdit()->setText(QStringLiteral("123-4567-8901"));
        // The name field brings up the input panel while it has the focus.
        dlg->NameEdit()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        EXPECT_TRUE(platform::inputPanelVisible());
        dlg->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        EXPECT_FALSE(platform::inputPanelVisible());

        inner.expectDialog(QStringLiteral("CDepositAccountConfirmDlg"), [&](QDialog* c) {
            CGridCtrl* g = qobject_cast<CDepositAccountConfirmDlg*>(c)->Grid();
            EXPECT_EQ(g->GetRowCount(), 4);
            EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("유리 적금"));
            EXPECT_EQ(g->GetItemText(1, 1), QStringLiteral("국민은행"));
            EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("12345678901"));
            EXPECT_EQ(g->GetItemText(3, 1), QStringLiteral("최유리"));  // the bank's lookup
            EXPECT_EQ(g->GetItemBkColour(3, 0), RGB(181, 178, 181));
            EXPECT_EQ(g->GetItemBkColour(3, 1), RGB(222, 223, 222));
            ModalScript confirm;
            confirm.expectMessage(QStringLiteral("입금계좌가 등록되었습니다."), QStringLiteral("확인"));
            click(c, "btnOk");
            confirm.verify();
            return c->result();
        });
        click(dlg, "btnOk");
        inner.verify();
        return d->result();
    });
    click(page(), "btnRegister");
    modals.verify();
    EXPECT_EQ(storedAccount("유리 적금"), "12345678901/최유리");
    ASSERT_EQ(page()->RecordCount(), 2);
    EXPECT_EQ(page()->Grid()->GetItemText(2, 2), QStringLiteral("12345678901"));
}

TEST_F(DepositPage, UnknownAccountsAndAMissingInquiringAccountStopTheEntry)
{
    ModalScript modals;
    openScreen();
    tapTab(1);
    modals.expectDialog(QStringLiteral("CDepositAccountEditDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CDepositAccountEditDlg*>(d);
        dlg->NameEdit()->setText(QStringLiteral("없는계좌"));
        dlg->BankList()->setCurrentIndex(dlg->BankList()->findText(QStringLiteral("국민은행")));
        dlg->AccountEdit()->setText(QStringLiteral("99999999"));
        ModalScript inner;
        inner.expectMessageContaining(QStringLiteral("AMG10:"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        inner.verify();
        EXPECT_TRUE(dlg->isVisible());
        // The only own account as the deposit account: no account to ask with.
        dlg->BankList()->setCurrentIndex(dlg->BankList()->findText(QStringLiteral("타브린은행")));
        dlg->AccountEdit()->setText(QStringLiteral("110-234-567890"));
        inner.expectMessage(QStringLiteral("출금계좌를 먼저 등록해 주세요"), QStringLiteral("오류"));
        click(dlg, "btnOk");
        inner.verify();
        // Cancel in the confirmation keeps the entry dialog open.
        dlg->AccountEdit()->setText(QStringLiteral("110345678901"));
        inner.expectDialog(QStringLiteral("CDepositAccountConfirmDlg"), QDialog::Rejected);
        click(dlg, "btnOk");
        inner.verify();
        EXPECT_TRUE(dlg->isVisible());
        return QDialog::Rejected;
    });
    click(page(), "btnRegister");
    modals.verify();
    EXPECT_EQ(favouriteCount(), 1);
}

TEST_F(DepositPage, ModifyKeepsTheSerialAndDeleteGoesWithoutAPrompt)
{
    addFavourite("04", "유리", "12345678901", "최유리");
    ModalScript modals;
    openScreen();
    tapTab(1);
    ASSERT_EQ(page()->RecordCount(), 2);
    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("오류"));
    click(page(), "btnModify");
    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("오류"));
    click(page(), "btnDelete");
    modals.verify();

    tapCell(page()->Grid(), 2, 0);
    modals.expectDialog(QStringLiteral("CDepositAccountEditDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CDepositAccountEditDlg*>(d);
        EXPECT_EQ(dlg->NameEdit()->text(), QStringLiteral("유리"));
        EXPECT_EQ(dlg->BankList()->currentText(), QStringLiteral("국민은행"));
        EXPECT_EQ(dlg->AccountEdit()->text(), QStringLiteral("12345678901"));
        dlg->NameEdit()->setText(QStringLiteral("유리 생활비"));
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CDepositAccountConfirmDlg"), [](QDialog* c) {
            ModalScript confirm;
            confirm.expectMessage(QStringLiteral("입금계좌가 수정되었습니다."), QStringLiteral("확인"));
            click(c, "btnOk");
            return c->result();
        });
        click(dlg, "btnOk");
        inner.verify();
        return d->result();
    });
    click(page(), "btnModify");
    modals.verify();
    EXPECT_EQ(favouriteCount(), 2);
    EXPECT_EQ(page()->Grid()->GetItemText(2, 0), QStringLiteral("유리 생활비"));

    tapCell(page()->Grid(), 1, 0);
    modals.expectMessage(QStringLiteral("입금계좌가 삭제되었습니다."), QStringLiteral("확인"));
    click(page(), "btnDelete");
    modals.verify();
    EXPECT_EQ(favouriteCount(), 1);
    ASSERT_EQ(page()->RecordCount(), 1);
    EXPECT_EQ(page()->Grid()->GetItemText(1, 0), QStringLiteral("유리 생활비"));
}
