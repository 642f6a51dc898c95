// The transfer entry page, favourites, confirmation, security step and result
// dialog against the in-process bank.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <chrono>

#include "CBmpButton.h"
#include "CFavouriteDlg.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CTVPB2200.h"
#include "CTransferConfirmDlg.h"
#include "CTransferPage.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"
#include "TransferScreenFixture.h"

using harness::ModalScript;
using t2200::TransferScreen;

namespace {

class EntryPage : public TransferScreen {
protected:
    void SetUp() override
    {
        kimA = addAccount("KIM", "110-234-567890", 1'000'000);
        addAccount("KIM", "220-11-0045678", 500'000, /*withdrawal=*/false);
        kimB = addAccount("KIM", "110-234-567892", 70'000, true, /*hidden=*/true);
        leeA = addAccount("LEE", "110-345-678901", 300'000);
        login();
    }
    CTransferPage* page() { return screen->TransferPage(); }
    void click(const char* name) { screen->findChild<CBmpButton*>(QString::fromLatin1(name))->click(); }
    // Focus as a tap gives it; the keypad that opens is answered by the script.
    void focus(QLineEdit* edit)
    {
        QApplication::setActiveWindow(screen.get());
        edit->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        page()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    }
    void keypad(ModalScript& modals, QLineEdit* edit, const QString& digits)
    {
        modals.expectDialog(QStringLiteral("CNumberKbd"),
                            [digits](QDialog* d) { return typeOnKeypad(d, digits); });
        focus(edit);
    }
    // A complete, valid form for 150,000 won to LEE's account.
    void fillForm(ModalScript& modals)
    {
        page()->SourceList()->setCurrentIndex(0);
        keypad(modals, page()->PasswordEdit(), QStringLiteral("1234"));
        page()->BankList()->setCurrentIndex(page()->BankList()->findText(QStringLiteral("타브린은행")));
        keypad(modals, page()->DepositEdit(), QStringLiteral("110345678901"));
        keypad(modals, page()->AmountEdit(), QStringLiteral("150000"));
    }
    std::string kimA, kimB, leeA;
};

} // namespace

TEST_F(EntryPage, SourceAccountsAreTheWithdrawalAccountsAndTheFormStartsFresh)
{
    ModalScript modals;
    openScreen();
    QComboBox* source = page()->SourceList();
    ASSERT_EQ(source->count(), 2);  // code "1" and the hidden one with "3"; not the savings account
    EXPECT_EQ(source->itemText(0), QStringLiteral("110-234-567890"));
    EXPECT_EQ(source->itemText(1), QStringLiteral("110-234-567892"));
    EXPECT_EQ(page()->SourceRecordCount(), 3);
    EXPECT_EQ(source->currentIndex(), -1);
    EXPECT_EQ(page()->BankList()->count(), 30);
    EXPECT_EQ(page()->BankList()->itemText(0), QStringLiteral("타브린은행"));
    EXPECT_EQ(page()->BankList()->currentIndex(), -1);
    EXPECT_EQ(page()->SenderEdit()->text(), QStringLiteral("(미입력시 예금주명)"));
    EXPECT_EQ(page()->CmsEdit()->text(), QStringLiteral("(필요시 입력)"));
    EXPECT_EQ(page()->DatePicker()->date(), QDate(2024, 11, 5));
    EXPECT_EQ(page()->DatePicker()->displayFormat(), QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(screen->ScheduleTabCount(), 0);
}

TEST_F(EntryPage, NoFieldLabelOrButtonCoversAnotherAndEveryTextFits)
{
    ModalScript modals;
    openScreen();
    QList<QWidget*> shown;
    for (QWidget* w : page()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisibleTo(page()))
            shown.append(w);
    }
    ASSERT_GE(shown.size(), 20);
    for (int i = 0; i < shown.size(); ++i) {
        for (int j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << shown[i]->objectName().toStdString() << " / " << shown[j]->objectName().toStdString();
    }
    auto* hint = page()->findChild<QLabel*>(QStringLiteral("passwordHint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), QStringLiteral("(숫자만)"));
    EXPECT_LE(hint->fontMetrics().horizontalAdvance(hint->text()), hint->width());
}

TEST_F(EntryPage, TheFiveChecksComeInOrderAndAmountZeroIsRefused)
{
    ModalScript modals;
    openScreen();
    auto expectRefusal = [&](const QString& text) {
        modals.expectMessage(text, QStringLiteral("오류"));
        click("btnTransfer");
        modals.verify();
    };
    expectRefusal(QStringLiteral("출금계좌 선택 오류"));
    page()->SourceList()->setCurrentIndex(0);
    expectRefusal(QStringLiteral("비밀번호 입력 오류"));
    keypad(modals, page()->PasswordEdit(), QStringLiteral("1234"));
    expectRefusal(QStringLiteral("입금은행 선택 오류"));
    page()->BankList()->setCurrentIndex(0);
    expectRefusal(QStringLiteral("입금계좌 입력 오류"));
    keypad(modals, page()->DepositEdit(), QStringLiteral("110345678901"));
    expectRefusal(QStringLiteral("거래금액 입력 오류"));
    page()->AmountEdit()->setText(QStringLiteral("0"));
    expectRefusal(QStringLiteral("거래금액 입력 오류"));
    // Nothing was sent: the form keeps its contents.
    EXPECT_EQ(page()->DepositEdit()->text(), QStringLiteral("110345678901"));
    EXPECT_EQ(balance(kimA), 1'000'000);
}

TEST_F(EntryPage, PasswordAndDepositAccountAreEmptiedBeforeTheKeypadOpens)
{
    ModalScript modals;
    openScreen();
    keypad(modals, page()->PasswordEdit(), QStringLiteral("1234"));
    EXPECT_EQ(page()->PasswordEdit()->text(), QStringLiteral("1234"));
    EXPECT_EQ(page()->PasswordEdit()->echoMode(), QLineEdit::Password);
    // The keypad sees an empty field and, cancelled, leaves it empty.
    modals.expectDialog(QStringLiteral("CNumberKbd"), [this](QDialog* d) {
        EXPECT_TRUE(page()->PasswordEdit()->text().isEmpty());
        auto* k = qobject_cast<CNumberKbd*>(d);
        EXPECT_EQ(k->kind(), CNumberKbd::KindSecret);
        EXPECT_EQ(k->maxLength(), 4);
        return QDialog::Rejected;
    });
    focus(page()->PasswordEdit());
    EXPECT_TRUE(page()->PasswordEdit()->text().isEmpty());
    // The amount keeps its text when the keypad is cancelled.
    keypad(modals, page()->AmountEdit(), QStringLiteral("1234567"));
    EXPECT_EQ(page()->AmountEdit()->text(), QStringLiteral("1,234,567"));
    modals.expectDialog(QStringLiteral("CNumberKbd"), QDialog::Rejected);
    focus(page()->AmountEdit());
    EXPECT_EQ(page()->AmountEdit()->text(), QStringLiteral("1,234,567"));
    modals.verify();
}

TEST_F(EntryPage, CardTransferRunsEndToEndAndResetsTheForm)
{
    ModalScript modals;
    openScreen();
    fillForm(modals);
    EXPECT_EQ(page()->AmountEdit()->text(), QStringLiteral("150,000"));
    platform::setRandomSource([](int low, int high) {
        EXPECT_EQ(low, 1);
        EXPECT_EQ(high, 35);
        return 7;
    });
    CTransferConfirmDlg* seen = nullptr;
    modals.expectDialog(QStringLiteral("CTransferConfirmDlg"), [&](QDialog* d) {
        seen = qobject_cast<CTransferConfirmDlg*>(d);
        CGridCtrl* g = seen->Grid();
        EXPECT_EQ(g->GetRowCount(), 9);
        EXPECT_EQ(g->GetColumnWidth(0), 96);
        EXPECT_EQ(g->GetItemText(0, 0), QStringLiteral("출금계좌번호"));
        EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("110-234-567890"));
        EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("1,000,000"));
        EXPECT_EQ(g->GetItemText(4, 1), QStringLiteral("150,000"));
        EXPECT_EQ(g->GetItemText(5, 1), QStringLiteral("이서연"));
        EXPECT_EQ(g->GetItemText(8, 0), QStringLiteral("보내는 분"));
        EXPECT_EQ(g->GetItemText(8, 1), QStringLiteral("김민준"));  // placeholder not sent: the holder's name
        EXPECT_EQ(g->GetItemText(7, 1), QString());               // nor the collection-number placeholder
        EXPECT_EQ(g->GetItemBkColour(0, 0), RGB(181, 178, 181));
        EXPECT_EQ(g->GetItemBkColour(0, 1), RGB(222, 223, 222));
        // First a wrong cell: the bank refuses, the dialog stays, nothing moved.
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
            EXPECT_EQ(k->findChild<QWidget*>(QStringLiteral("prompt"))->property("text").toString(),
                      QStringLiteral("보안카드 7번 입력"));
            return typeOnKeypad(k, kimCard[6] == "0000" ? QStringLiteral("1111") : QStringLiteral("0000"));
        });
        inner.expectMessageContaining(QStringLiteral("TRF14:"), QStringLiteral("오류"));
        seen->findChild<CBmpButton*>(QStringLiteral("btnExecute"))->click();
        inner.verify();
        EXPECT_EQ(balance(kimA), 1'000'000);
        EXPECT_TRUE(seen->Parameters()[11].isEmpty());  // IcheType always empty
        EXPECT_EQ(seen->Parameters()[1], QStringLiteral("110234567890"));
        // Then the right cell.
        inner.expectDialog(QStringLiteral("CNumberKbd"),
                           [&](QDialog* k) { return typeOnKeypad(k, QString::fromStdString(kimCard[6])); });
        inner.expectMessage(QStringLiteral("이체가 정상처리 되었습니다."), QStringLiteral("확인"));
        inner.expectDialog(QStringLiteral("CTransferResultDlg"), [](QDialog* r) {
            CGridCtrl* g = r->findChild<CGridCtrl*>(QStringLiteral("resultGrid"));
            EXPECT_EQ(g->GetRowCount(), 10);
            EXPECT_EQ(g->GetColumnWidth(0), 90);
            EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("20241105"));
            EXPECT_EQ(g->GetItemText(6, 1), QStringLiteral("150000"));  // as received
            EXPECT_EQ(g->GetItemText(8, 1), QStringLiteral("850000"));
            return QDialog::Accepted;
        });
        seen->findChild<CBmpButton*>(QStringLiteral("btnExecute"))->click();
        inner.verify();
        return d->result();
    });
    click("btnTransfer");
    modals.verify();
    EXPECT_EQ(balance(kimA), 850'000);
    EXPECT_EQ(balance(leeA), 450'000);
    // The form is fresh again.
    EXPECT_EQ(page()->SourceList()->currentIndex(), -1);
    EXPECT_EQ(page()->BankList()->currentIndex(), -1);
    EXPECT_TRUE(page()->PasswordEdit()->text().isEmpty());
    EXPECT_TRUE(page()->AmountEdit()->text().isEmpty());
    EXPECT_EQ(page()->SenderEdit()->text(), QStringLiteral("(미입력시 예금주명)"));
    EXPECT_TRUE(page()->LastReply().isEmpty());
}

TEST_F(EntryPage, CancellingTheConfirmationOrTheCardStepSendsNothingAndResets)
{
    ModalScript modals;
    openScreen();
    fillForm(modals);
    QList<int> cells;
    int next = 0;
    platform::setRandomSource([&](int, int) { return ++next == 1 ? 35 : 1; });
    modals.expectDialog(QStringLiteral("CTransferConfirmDlg"), [&](QDialog* d) {
        ModalScript inner;
        // The cell is drawn anew on every press; cancelled keypads send nothing.
        for (int i = 0; i < 2; ++i)
            inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
                const QString prompt = k->findChild<QWidget*>(QStringLiteral("prompt"))->property("text").toString();
                cells << prompt.mid(5).section(QChar(u'번'), 0, 0).toInt();
                return QDialog::Rejected;
            });
        d->findChild<CBmpButton*>(QStringLiteral("btnExecute"))->click();
        d->findChild<CBmpButton*>(QStringLiteral("btnExecute"))->click();
        inner.verify();
        d->findChild<CBmpButton*>(QStringLiteral("btnCancel"))->click();
        return d->result();
    });
    click("btnTransfer");
    modals.verify();
    EXPECT_EQ(cells, (QList<int>{35, 1}));
    EXPECT_EQ(balance(kimA), 1'000'000);
    EXPECT_EQ(page()->SourceList()->currentIndex(), -1);
    EXPECT_TRUE(page()->DepositEdit()->text().isEmpty());
    EXPECT_EQ(page()->CmsEdit()->text(), QStringLiteral("(필요시 입력)"));
}

TEST_F(EntryPage, AFailedCheckKeepsTheForm)
{
    ModalScript modals;
    openScreen();
    fillForm(modals);
    page()->AmountEdit()->setText(QStringLiteral("2,000,000"));  // more than the balance
    modals.expectMessageContaining(QStringLiteral("TRF07:잔액이 부족합니다"), QStringLiteral("오류"));
    click("btnTransfer");
    modals.verify();
    EXPECT_EQ(page()->SourceList()->currentIndex(), 0);
    EXPECT_EQ(page()->AmountEdit()->text(), QStringLiteral("2,000,000"));
}

TEST_F(EntryPage, FavouritesFillTheAccountAndBankAndCancelKeepsTheBank)
{
    for (int i = 0; i < 9; ++i)
        addFavourite(i == 0 ? "04" : "20", "받는이" + std::to_string(i), "1234567890" + std::to_string(i));
    ModalScript modals;
    openScreen();
    modals.expectDialog(QStringLiteral("CFavouriteDlg"), [](QDialog* d) {
        auto* dlg = qobject_cast<CFavouriteDlg*>(d);
        CGridCtrl* g = dlg->Grid();
        EXPECT_EQ(g->GetRowCount(), 10);
        EXPECT_EQ(g->GetColumnWidth(3), 0);
        EXPECT_EQ(g->GetItemText(1, CFavouriteDlg::ColBank), QStringLiteral("국민은행"));
        EXPECT_EQ(g->GetItemBkColour(2, 0), RGB(224, 224, 224));
        // OK without a selection warns and stays.
        ModalScript inner;
        inner.expectMessage(QStringLiteral("입금계좌를 선택하십시요"), QStringLiteral("오류"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        inner.verify();
        tapCell(g, 1, 0);
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        return d->result();
    });
    click("btnFavourites");
    modals.verify();
    EXPECT_EQ(page()->DepositEdit()->text(), QStringLiteral("12345678900"));
    EXPECT_EQ(page()->BankList()->currentText(), QStringLiteral("국민은행"));

    modals.expectDialog(QStringLiteral("CFavouriteDlg"), QDialog::Rejected);
    click("btnFavourites");
    modals.verify();
    EXPECT_TRUE(page()->DepositEdit()->text().isEmpty());
    EXPECT_EQ(page()->BankList()->currentText(), QStringLiteral("국민은행"));

    addFavourite("20", "열번째", "99999");
    modals.expectDialog(QStringLiteral("CFavouriteDlg"), [](QDialog* d) {
        CGridCtrl* g = qobject_cast<CFavouriteDlg*>(d)->Grid();
        EXPECT_EQ(g->GetRowCount(), 11);
        EXPECT_EQ(g->GetColumnWidth(3), 0);
        return QDialog::Rejected;
    });
    click("btnFavourites");
    modals.verify();
}

TEST_F(EntryPage, WithoutTheBanksEchoTheExecuteButtonSaysWhyAndSendsNothing)
{
    ModalScript modals;
    openScreen();
    CTransferConfirmDlg confirm(screen.get(), QStringLiteral("<DataTag><msg>10000;정상;</msg></DataTag>"), QString());
    // No security step follows: nothing could be executed.
    modals.expectMessage(QStringLiteral("이체 확인 정보를 받지 못해 이체할 수 없습니다.\r\n취소 후 다시 시도해 주십시오."),
                         QStringLiteral("오류"), [](platform::ModalRequest& r) {
                             harness::saveShot(r.box, QStringLiteral("2200_no_echo"));
                             return int(platform::IDOK);
                         });
    confirm.findChild<CBmpButton*>(QStringLiteral("btnExecute"))->click();
    modals.verify();
    EXPECT_TRUE(confirm.Parameters().isEmpty());
    EXPECT_EQ(balance(kimA), 1'000'000);
}

TEST_F(EntryPage, ReloginFromTheFavouritesOpeningRequestClosesTheDialogAndTheScreen)
{
    addFavourite("04", "받는이", "12345678900");
    ModalScript modals;
    shell = std::make_unique<QWidget>();
    screen = std::make_unique<CTVPB2200>(shell.get());
    screen->SetCommonVar(&session, nullptr, &user);
    // The favourites dialog never waits for a tap: the script sees no dialog.
    modals.expectMessageContaining(QStringLiteral("BIZ06:"), QStringLiteral("오류"));
    modals.expectMessage(QStringLiteral("재 로그인하시겠습니까?"), QStringLiteral("재 로그인"), platform::IDYES);
    QTimer::singleShot(0, screen.get(), [&] {
        bank.clock.advance(std::chrono::seconds(601)); // past the bank's idle limit
        click("btnFavourites");
    });
    const harness::RealRun run = harness::execReal(screen.get());
    modals.verify();
    EXPECT_FALSE(run.endedByLimit);
    EXPECT_EQ(run.result, QDialog::Rejected);
    EXPECT_EQ(screen->GetNextModule(), 1100);
    EXPECT_TRUE(page()->DepositEdit()->text().isEmpty());
}
