// The quick inquiry without login: an account's balance and history by number
// and password, a cheque with the screen's own buttons and no input checks, the
// exchange rates by view, the connect setting before every request, and closing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QApplication>
#include <QLineEdit>

#include "Accounts.h"
#include "CBmpButton.h"
#include "CChequePage.h"
#include "CColorStatic.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CQuickAccountPage.h"
#include "CQuickResultDlg.h"
#include "CRatePage.h"
#include "CTVPB1200.h"
#include "Cheques.h"
#include "Enrolment.h"
#include "ModalScript.h"
#include "ModuleBankTest.h"
#include "NetSettings.h"
#include "PasswordHash.h"
#include "QuickDemo.h"
#include "Screenshot.h"
#include "SecretGuard.h"

using harness::ModalScript;

namespace {

class QuickInquiry : public harness::ModuleBankTest {
protected:
    QuickInquiry() : harness::ModuleBankTest("gate-1200")
    {
        const std::string hash = bankd::hashShortSecret("1234", bank.store->keys());
        bank.store->write([&](bankd::Db& db) {
            std::int64_t holder = bankd::enrolment::addHolder(db, "최유진", "9203152456781", "2024-01-01 09:00:00");
            bankd::Account a;
            a.accountNo = "110567890123";
            a.customerId = holder;
            a.displayNo = "110-567-890123";
            a.kindName = "보통예금";
            a.kindCode = "A04";
            a.openedOn = "20240101";
            bankd::accounts::add(db, a, hash);
            bankd::accounts::post(db, a.accountNo, 1'000'000, "2024-10-01 10:00:00", "신규", "");
            bankd::accounts::post(db, a.accountNo, -250'000, "2024-11-01 11:00:00", "이체", "김민준");
            bankd::accounts::post(db, a.accountNo, 30'000, "2024-11-04 12:00:00", "입금", "최유리");
            bankd::cheques::add(db, {"20", "0456", "23456789", "53", 300'000, "20241020", ""});
            bankd::addDemoRates(db, bank.clock.now());
        });
        netsettings::WriteNetworkConnectOption(0);
    }
    ~QuickInquiry() override { screen.reset(); }

    CTVPB1200* open() { return openModule(screen); }
    template <class T>
    T* child(const char* name) const
    {
        return screen->findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) { child<CBmpButton>(name)->click(); }
    // A tap into a keypad field answered with digits.
    void typeInto(ModalScript& modals, QLineEdit* field, const QString& digits, const QString& prompt, int kind)
    {
        modals.expectDialog(QStringLiteral("CNumberKbd"), [=](QDialog* d) {
            auto* kbd = qobject_cast<CNumberKbd*>(d);
            EXPECT_TRUE(kbd);
            if (!kbd)
                return 2;
            EXPECT_EQ(kbd->findChild<QLabel*>(QStringLiteral("prompt"))->text(), prompt);
            EXPECT_EQ(kbd->kind(), kind);
            kbd->typeDigits(digits);
            return 1;
        });
        QApplication::setActiveWindow(field->window());
        field->setFocus(Qt::MouseFocusReason);
        screen->setFocus(Qt::OtherFocusReason);
    }
    void enterAccount(ModalScript& modals, const QString& pwd)
    {
        typeInto(modals, screen->AccountPage()->AccountField(), QStringLiteral("110567890123"),
                 QStringLiteral("계좌번호"), 1);
        typeInto(modals, screen->AccountPage()->PasswordField(), pwd, QStringLiteral("계좌비밀번호"), 3);
    }
    static void choose(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    std::unique_ptr<CTVPB1200> screen;
};

} // namespace

TEST_F(QuickInquiry, BalanceThenHistoryByPeriodInTheResultDialog)
{
    ModalScript modals;
    open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("스피드 조회"));
    harness::saveShot(screen.get(), QStringLiteral("1200_account"));
    enterAccount(modals, QStringLiteral("1234"));
    EXPECT_EQ(screen->AccountPage()->AccountField()->text(), QStringLiteral("110567890123"));
    EXPECT_EQ(screen->AccountPage()->PasswordField()->echoMode(), QLineEdit::Password);

    modals.expectDialog(QStringLiteral("CQuickResultDlg"), [&](QDialog* d) {
        auto* dlg = qobject_cast<CQuickResultDlg*>(d);
        EXPECT_TRUE(dlg);
        if (!dlg)
            return 0;
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("스피드 계좌조회"));
        EXPECT_EQ(dlg->findChild<CColorStatic*>(QStringLiteral("quickAccountLine"))->GetWindowText(),
                  QStringLiteral(" 계좌번호: 110567890123          최유진"));
        EXPECT_EQ(dlg->findChild<CColorStatic*>(QStringLiteral("quickBalanceLine"))->GetWindowText(),
                  QStringLiteral(" 거래후잔액: 780,000 원"));
        // Entry 1 (3일) is applied: dates from now, pickers disabled.
        EXPECT_EQ(dlg->PeriodCombo()->currentIndex(), 1);
        EXPECT_FALSE(dlg->StartPicker()->isEnabled());
        EXPECT_EQ(dlg->StartPicker()->date(), QDate(2024, 11, 2));
        EXPECT_EQ(dlg->EndPicker()->date(), QDate(2024, 11, 5));
        dlg->findChild<CBmpButton*>(QStringLiteral("btnResultInquiry"))->click();
        CGridCtrl* g = dlg->Grid();
        EXPECT_EQ(dlg->RecordCount(), 1); // 11/04 only
        EXPECT_EQ(g->GetItemText(0, 0), QStringLiteral("거래일"));
        EXPECT_EQ(g->GetItemText(1, 2), QStringLiteral("잔액(원)"));
        EXPECT_EQ(g->GetItemText(2, 0), QStringLiteral("2024.11.04"));
        EXPECT_EQ(g->GetItemText(3, 0), QString());
        EXPECT_EQ(g->GetItemText(3, 1), QStringLiteral("30,000")); // 입금
        EXPECT_EQ(g->GetItemText(3, 2), QStringLiteral("780,000"));

        // 한달: both movements, newest first, the withdrawal under 지급(원).
        choose(dlg->PeriodCombo(), 4);
        EXPECT_EQ(dlg->StartPicker()->date(), QDate(2024, 10, 6));
        dlg->findChild<CBmpButton*>(QStringLiteral("btnResultInquiry"))->click();
        EXPECT_EQ(dlg->RecordCount(), 2);
        EXPECT_EQ(g->GetItemText(5, 0), QStringLiteral("250,000"));
        EXPECT_EQ(g->GetItemText(5, 1), QString());
        EXPECT_EQ(g->GetItemText(4, 2), QStringLiteral("김민준"));
        harness::saveShot(dlg, QStringLiteral("1200_result"));

        // The free entry enables the pickers; a range without movements leaves
        // no rows of the last inquiry.
        choose(dlg->PeriodCombo(), 0);
        EXPECT_TRUE(dlg->StartPicker()->isEnabled());
        dlg->StartPicker()->setDate(QDate(2024, 1, 1));
        dlg->EndPicker()->setDate(QDate(2024, 1, 31));
        dlg->findChild<CBmpButton*>(QStringLiteral("btnResultInquiry"))->click();
        EXPECT_EQ(dlg->RecordCount(), 0);
        EXPECT_EQ(g->GetRowCount(), 2);
        dlg->findChild<CBmpButton*>(QStringLiteral("btnResultClose"))->click();
        return 0;
    });
    click("btnQuickInquiry");
    modals.verify();

    // 취소 empties both fields.
    click("btnQuickCancel");
    EXPECT_TRUE(screen->AccountPage()->AccountField()->text().isEmpty());
    EXPECT_TRUE(screen->AccountPage()->PasswordField()->text().isEmpty());
}

TEST_F(QuickInquiry, WrongPasswordShowsTheBanksRefusalAndKeepsTheFields)
{
    ModalScript modals;
    open();
    enterAccount(modals, QStringLiteral("9999"));
    modals.expectMessage(QStringLiteral("QCK01:\r\n계좌번호 또는 계좌비밀번호가 일치하지 않습니다."),
                         QStringLiteral("메시지"));
    click("btnQuickInquiry");
    modals.verify();
    EXPECT_EQ(screen->AccountPage()->AccountField()->text(), QStringLiteral("110567890123"));
    EXPECT_EQ(bank.store->read([](bankd::Db& db) {
        return bankd::guard::failures(db, bankd::Secret::AccountPassword, "110567890123");
    }), 1);
}

TEST_F(QuickInquiry, WithoutAConnectSettingNothingHappensAtAll)
{
    ModalScript modals;
    open();
    enterAccount(modals, QStringLiteral("1234"));
    netsettings::WriteNetworkConnectOption(-1);
    click("btnQuickInquiry");
    screen->TabCtrl()->SelectTab(2);
    click("btnRateInquiry");
    modals.verify(); // no message, no dialog
    EXPECT_EQ(bank.dispatcher.rateLimiter().size(), 0u);
}

TEST_F(QuickInquiry, ChequeTabWithItsOwnButtonsSendsWithoutChecks)
{
    ModalScript modals;
    open();
    screen->TabCtrl()->SelectTab(1);
    CChequePage* page = screen->ChequePage();
    CGridCtrl* grid = page->Grid();
    EXPECT_EQ(grid->GetFixedColumnCount(), 0);
    EXPECT_EQ(grid->GetItemBkColour(1, 0), RGB(192, 255, 255));
    EXPECT_TRUE(child<CBmpButton>("btnChequeCancel"));
    auto type = [&](int row, const QString& digits, const QString& prompt) {
        modals.expectDialog(QStringLiteral("CNumberKbd"), [=](QDialog* d) {
            auto* kbd = qobject_cast<CNumberKbd*>(d);
            EXPECT_EQ(kbd->findChild<QLabel*>(QStringLiteral("prompt"))->text(), prompt);
            kbd->typeDigits(digits);
            return 1;
        });
        tapCell(grid, row, 1);
    };
    type(CChequePage::RowBranch, QStringLiteral("0456"), QStringLiteral("발행점번호"));
    type(CChequePage::RowNumber, QStringLiteral("23456789"), QStringLiteral("수표번호"));
    choose(page->KindCombo(), 2);
    EXPECT_EQ(grid->GetItemText(CChequePage::RowAmount, 1), QStringLiteral("300,000"));
    EXPECT_EQ(page->BuildQuery(), QStringLiteral("useSess=N&trcode=PDA_S003&BankCD=20&PublShopNO=0456&CheckNO=23456789"
                                                 "&CheckKind=53&CheckMny=300000"));
    harness::saveShot(screen.get(), QStringLiteral("1200_cheque"));
    modals.expectMessage(QStringLiteral("수표번호: 23456789\r\n수표금액: 300,000원\r\n발행일자: 2024.10.20\r\n사고내역: 없음"),
                         QStringLiteral("수표조회 결과"));
    click("btnChequeInquiry");
    modals.verify();

    // An amount of "0" is not refused here: it goes to the bank, which answers.
    choose(page->KindCombo(), 0);
    type(CChequePage::RowAmount, QStringLiteral("0"), QStringLiteral("수표금액(원)"));
    modals.expectMessageContaining(QStringLiteral("CHK02:\r\n"), QStringLiteral("메시지"));
    click("btnChequeInquiry");
    modals.verify();

    // 취소 empties branch, number and amount; bank and kind stay.
    click("btnChequeCancel");
    for (int row : {int(CChequePage::RowBranch), int(CChequePage::RowNumber), int(CChequePage::RowAmount)})
        EXPECT_EQ(grid->GetItemText(row, 1), QString());
    EXPECT_EQ(page->BankCode(), QStringLiteral("20"));
}

TEST_F(QuickInquiry, RatesByViewAndTheirPostingTime)
{
    ModalScript modals;
    open();
    screen->TabCtrl()->SelectTab(2);
    CRatePage* page = screen->RatePage();
    CGridCtrl* grid = page->Grid();
    EXPECT_EQ(page->TimeLabel()->GetWindowText(), QStringLiteral("고시시간:"));
    EXPECT_EQ(page->DatePicker()->date(), QDate(2024, 11, 5));
    click("btnRateInquiry");
    EXPECT_EQ(grid->GetRowCount(), 9);
    EXPECT_EQ(grid->GetItemText(1, 0), QStringLiteral("USD"));
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("미국"));
    EXPECT_EQ(grid->GetItemText(0, 2), QStringLiteral("송금보낼때"));
    const QString send = grid->GetItemText(1, 2);
    EXPECT_TRUE(send.contains(QLatin1Char(','))) << send.toStdString();
    EXPECT_EQ(grid->GetItemBkColour(2, 0), RGB(224, 224, 224));
    EXPECT_EQ(page->TimeLabel()->GetWindowText(), QStringLiteral("고시시간: 2024.11.05 09:10"));
    harness::saveShot(screen.get(), QStringLiteral("1200_rates"));

    // Another view clears the rows and the time until the next inquiry.
    choose(page->ViewCombo(), 1);
    EXPECT_EQ(grid->GetRowCount(), 1);
    EXPECT_EQ(grid->GetItemText(0, 2), QStringLiteral("현찰사실때"));
    EXPECT_EQ(page->TimeLabel()->GetWindowText(), QStringLiteral("고시시간:"));
    click("btnRateInquiry");
    EXPECT_EQ(grid->GetRowCount(), 9);
    EXPECT_NE(grid->GetItemText(1, 2), send);

    // A day without rates: the bank says so and no rows remain.
    page->DatePicker()->setDate(QDate(2010, 1, 4));
    modals.expectMessage(QStringLiteral("FXR01:\r\n해당일자에 고시된 환율이 없습니다."), QStringLiteral("메시지"));
    click("btnRateInquiry");
    modals.verify();
    EXPECT_EQ(grid->GetRowCount(), 1);
}

TEST_F(QuickInquiry, OnlyTheCloseButtonHandsTheStartScreenToTheShell)
{
    open();
    screen->reject();
    EXPECT_EQ(screen->GetNextModule(), 0);
    screen.reset();
    open();
    click("btnClose");
    EXPECT_EQ(screen->GetNextModule(), 1100);
    EXPECT_FALSE(screen->isVisible());
}
