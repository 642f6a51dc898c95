// The cash service page and its confirmation: the checks, the three layouts,
// the security step with a new cell on every try, money moved once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "CBmpButton.h"
#include "CCashConfirmDlg.h"
#include "CCashPage.h"
#include "CGridCtrl.h"
#include "CTVPB2400.h"
#include "CardScreenFixture.h"
#include "ModalScript.h"
#include "Dispatcher.h"
#include "Services.h"

using harness::ModalScript;

namespace {

class CashService : public t2400::CardScreen {
protected:
    void SetUp() override
    {
        addCards();
        login();
        openScreen();
        tapTab(2);
    }
    CCashPage* page() { return screen->CashPage(); }
    void keypad(ModalScript& modals, QLineEdit* edit, const QString& digits)
    {
        modals.expectDialog(QStringLiteral("CNumberKbd"), [digits](QDialog* d) { return typeOnKeypad(d, digits); });
        QApplication::setActiveWindow(screen.get());
        edit->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        page()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        modals.verify();
    }
    void refused(ModalScript& modals, const QString& text)
    {
        modals.expectMessage(text, QStringLiteral("오류"));
        button(page(), "btnTransfer")->click();
        modals.verify();
    }
    static QString prompt(QDialog* keypad)
    {
        return keypad->findChild<QWidget*>(QStringLiteral("prompt"))->property("text").toString();
    }
};

} // namespace

TEST_F(CashService, ChecksInOrderAndOnlyAPositiveAmountOfDigitsAndSeparatorsPasses)
{
    ModalScript modals;
    refused(modals, QStringLiteral("신용카드 선택오류"));
    page()->CardList()->setCurrentIndex(0);
    // Only the chosen card's settlement account is offered.
    ASSERT_EQ(page()->DepositList()->count(), 1);
    EXPECT_EQ(page()->DepositList()->currentText(), QStringLiteral("110-234-567890"));
    refused(modals, QStringLiteral("비밀번호 입력오류"));
    keypad(modals, page()->PasswordEdit(), QStringLiteral("4321"));
    page()->DepositList()->setCurrentIndex(-1);
    refused(modals, QStringLiteral("입금계좌 선택오류"));
    page()->DepositList()->setCurrentIndex(0);
    for (const char* bad : {"", "0", "00", "-50000", "5O000"}) {
        page()->AmountEdit()->setText(QString::fromLatin1(bad));
        refused(modals, QStringLiteral("이체금액 입력오류"));
    }
    // Cancel in the confirmation sends nothing and empties the secret and the amount.
    page()->AmountEdit()->setText(QStringLiteral("50,000"));
    modals.expectDialog(QStringLiteral("CCashConfirmDlg"), [](QDialog* d) {
        auto* c = qobject_cast<CCashConfirmDlg*>(d);
        EXPECT_EQ(c->Grid()->GetRowCount(), 3);
        EXPECT_EQ(c->Grid()->GetItemText(0, 1), QStringLiteral("9410-1111-2222-3330"));
        EXPECT_EQ(c->Grid()->GetItemText(2, 1), QStringLiteral("50,000"));
        EXPECT_EQ(c->Grid()->GetRowHeight(0), 56);
        c->CancelButton()->click();
        return d->result();
    });
    button(page(), "btnTransfer")->click();
    modals.verify();
    EXPECT_TRUE(page()->PasswordEdit()->text().isEmpty());
    EXPECT_TRUE(page()->AmountEdit()->text().isEmpty());
    EXPECT_EQ(balance(), 1'000'000);
    // Reset unselects the card and empties the account list's choice.
    button(page(), "btnReset")->click();
    EXPECT_EQ(page()->CardList()->currentIndex(), -1);
}

TEST_F(CashService, CheckThenExecuteWithANewCellOnEveryTryMovesTheMoneyOnce)
{
    ModalScript modals;
    int draws = 0;
    platform::setRandomSource([&](int, int) { return ++draws == 1 ? 7 : 12; });
    page()->CardList()->setCurrentIndex(0);
    keypad(modals, page()->PasswordEdit(), QStringLiteral("4321"));
    page()->AmountEdit()->setText(QStringLiteral("0,150,000"));
    modals.expectDialog(QStringLiteral("CCashConfirmDlg"), [&](QDialog* d) {
        auto* c = qobject_cast<CCashConfirmDlg*>(d);
        CGridCtrl* g = c->Grid();
        // The check: five rows with the bank's figures.
        c->ActionButton()->click();
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Checked);
        EXPECT_EQ(c->Heading(), QStringLiteral("현금서비스이체"));
        EXPECT_EQ(g->GetRowCount(), 5);
        EXPECT_EQ(g->GetItemText(3, 0), QStringLiteral("(전)서비스잔액"));
        EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("150,000"));
        EXPECT_EQ(g->GetItemText(4, 1), QStringLiteral("2,250"));
        EXPECT_EQ(g->GetRowHeight(0), 34);
        EXPECT_EQ(g->GetRowHeight(1), 33);
        // A wrong cell: refused, the check layout stays, nothing moved.
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
            EXPECT_EQ(prompt(k), QStringLiteral("보안카드 7번 입력"));
            return typeOnKeypad(k, kimCard[6] == "0000" ? QStringLiteral("1111") : QStringLiteral("0000"));
        });
        inner.expectMessageContaining(QStringLiteral("TRF14:"), QStringLiteral("오류"));
        c->ActionButton()->click();
        inner.verify();
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Checked);
        EXPECT_EQ(g->GetRowCount(), 5);
        EXPECT_EQ(balance(), 1'000'000);
        // Again: a new cell is asked for; the bank's message, then the result.
        inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
            EXPECT_EQ(prompt(k), QStringLiteral("보안카드 12번 입력"));
            return typeOnKeypad(k, QString::fromStdString(kimCard[11]));
        });
        inner.expectMessage(QStringLiteral("현금서비스 이체가 정상처리 되었습니다."), QStringLiteral("확인"));
        c->ActionButton()->click();
        inner.verify();
        EXPECT_EQ(c->LastCell(), 12);
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Done);
        EXPECT_EQ(c->Heading(), QStringLiteral("현금서비스이체결과"));
        EXPECT_TRUE(c->ActionButton()->isHidden());
        EXPECT_EQ(g->GetRowCount(), 6);
        EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("김민준"));
        EXPECT_EQ(g->GetItemText(4, 1), QStringLiteral("150,000"));
        EXPECT_EQ(g->GetRowHeight(5), 28);
        c->CancelButton()->click();
        return d->result();
    });
    button(page(), "btnTransfer")->click();
    modals.verify();
    EXPECT_EQ(balance(), 1'150'000);
    EXPECT_EQ(cashUsed(0), 150'000);
    EXPECT_TRUE(page()->PasswordEdit()->text().isEmpty());
    EXPECT_TRUE(page()->AmountEdit()->text().isEmpty());
}

TEST_F(CashService, TheCheckGoesOutAsDigitsWithoutBankOrAccountAndAShortReplyDoesNotArmExecution)
{
    // A bank answering the check with fewer than its five fields (a reply a
    // real bank does not give): the dialog stays in its first layout.
    std::map<std::string, std::string> seen;
    bank.dispatcher.add({"PDA_C007", true, false, [&](bankd::RequestContext& ctx) {
                             for (const auto& [k, v] : ctx.query.pairs())
                                 seen[k] = v;
                             return bankd::Envelope::ok().free0({"9410-1111-2222-3330", "110-234-567890", "50,000"});
                         }});
    ModalScript modals;
    page()->CardList()->setCurrentIndex(0);
    keypad(modals, page()->PasswordEdit(), QStringLiteral("4321"));
    page()->AmountEdit()->setText(QStringLiteral("50,000"));
    modals.expectDialog(QStringLiteral("CCashConfirmDlg"), [&](QDialog* d) {
        auto* c = qobject_cast<CCashConfirmDlg*>(d);
        ModalScript inner;
        inner.expectMessageContaining(QStringLiteral("현금서비스 확인 정보를 받지 못했습니다"), QStringLiteral("오류"));
        c->ActionButton()->click();
        inner.verify();
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Entered);
        EXPECT_EQ(c->Grid()->GetRowCount(), 3);
        c->CancelButton()->click();
        return d->result();
    });
    button(page(), "btnTransfer")->click();
    modals.verify();
    EXPECT_EQ(seen["CardNO"], cardNo(0));
    EXPECT_EQ(seen["Cash"], "50000");
    EXPECT_EQ(seen["CardPwd"], "4321");
    EXPECT_TRUE(seen.count("Zentab") && seen["Zentab"].empty());
    EXPECT_TRUE(seen.count("IpAccNO") && seen["IpAccNO"].empty());
    EXPECT_EQ(balance(), 1'000'000);
}
