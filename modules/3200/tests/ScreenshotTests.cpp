// Every page and dialog of the module with the demo bank, as PNG files in
// $TVPB_SHOTS (when set), checked for size and the demo data they show.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>

#include "AccountScreenFixture.h"
#include "Admin.h"
#include "CBmpButton.h"
#include "CDepositAccountEditDlg.h"
#include "CDepositAccountPage.h"
#include "CGridCtrl.h"
#include "CHideAccountPage.h"
#include "CTVPB3200.h"
#include "CWithdrawAccountDlg.h"
#include "CWithdrawAccountPage.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"

using harness::ModalScript;

namespace {

class DemoScreens : public t3200::AccountScreen {
protected:
    void SetUp() override { useDemoBank(); }
    void shot(QWidget* w, const QString& name)
    {
        EXPECT_EQ(w->size(), QSize(240, 294)) << name.toStdString();
        EXPECT_FALSE(harness::shotImage(w).isNull());
        harness::saveShot(w, name);
    }
    static void click(QWidget* in, const char* name)
    {
        in->findChild<CBmpButton*>(QString::fromLatin1(name))->click();
    }
};

} // namespace

TEST_F(DemoScreens, PagesAndDialogsOfAccountManagement)
{
    ModalScript modals;
    openScreen();
    CWithdrawAccountPage* w = screen->WithdrawPage();
    EXPECT_EQ(w->RegisteredCount(), 4);  // one of them hidden from the inquiry screens
    EXPECT_GE(w->OtherCount(), 6);
    shot(screen.get(), QStringLiteral("3200_withdraw"));
    // Wider than the screen by its columns' widths: the scroll bar reaches the balance.
    EXPECT_TRUE(scrollsToLastColumn(w->Grid()));

    modals.expectDialog(QStringLiteral("CWithdrawAccountDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CWithdrawAccountDlg*>(d);
        dlg->AccountList()->setCurrentIndex(0);
        dlg->PasswordEdit()->setText(QStringLiteral("1234"));
        shot(d, QStringLiteral("3200_withdraw_dialog"));
        return QDialog::Rejected;
    });
    click(w, "btnRegister");
    modals.verify();

    tapTab(1);
    CDepositAccountPage* f = screen->DepositPage();
    EXPECT_EQ(f->RecordCount(), 5);
    EXPECT_EQ(f->Grid()->GetItemText(1, 3), QStringLiteral("이서연"));
    shot(screen.get(), QStringLiteral("3200_favourites"));
    EXPECT_TRUE(scrollsToLastColumn(f->Grid()));
    modals.expectDialog(QStringLiteral("CDepositAccountEditDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CDepositAccountEditDlg*>(d);
        dlg->NameEdit()->setText(QStringLiteral("최유리 생활비"));
        dlg->BankList()->setCurrentIndex(dlg->BankList()->findText(QStringLiteral("국민은행")));
        dlg->AccountEdit()->setText(QStringLiteral("12345678901"));
        shot(d, QStringLiteral("3200_favourite_edit"));
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CDepositAccountConfirmDlg"), [&](QDialog* c) {
            shot(c, QStringLiteral("3200_favourite_confirm"));
            return QDialog::Rejected;
        });
        click(dlg, "btnOk");
        inner.verify();
        return QDialog::Rejected;
    });
    click(f, "btnRegister");
    modals.verify();

    platform::setRandomSource([](int, int) { return 3; });
    const QString cell3 = QString::fromStdString(bankd::admin::securityCard(*bank.store, "DEMOS")->at(2));
    modals.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) { return typeOnKeypad(k, cell3); });
    tapTab(2);
    modals.verify();
    CHideAccountPage* h = screen->HidePage();
    // Every account of the user, registered or not.
    EXPECT_EQ(h->RecordCount(), w->RegisteredCount() + w->OtherCount());
    EXPECT_EQ(h->Grid()->GetRowCount(), h->RecordCount() + 1);
    shot(screen.get(), QStringLiteral("3200_hide"));
    EXPECT_TRUE(scrollsToLastColumn(h->Grid()));
}
