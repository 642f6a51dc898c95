// A certificate user's cash service: the engine's signing prompt gives the
// signature, and the execution still carries the drawn cell number.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimeZone>

#include "Accounts.h"
#include "CBmpButton.h"
#include "CCashConfirmDlg.h"
#include "CCashPage.h"
#include "CTVPB2400.h"
#include "CardScreenFixture.h"
#include "Cards.h"
#include "Dispatcher.h"
#include "ModalScript.h"
#include "PasswordHash.h"
#include "Services.h"
#include "Sqlite.h"

using harness::ModalScript;

namespace {

const QString kCertPassword = QStringLiteral("인증서암호7");

class CertificateCash : public t2400::CardScreen {
protected:
    void SetUp() override
    {
        // The signature carries the client's time; both clocks read the same instant.
        platform::setClock([] { return QDateTime(QDate(2024, 11, 5), QTime(14, 32, 10), QTimeZone(9 * 3600)); });
        addCards();
        bank.addCustomer("PARK", "PW3", "K", "박지훈");
        const std::string pin = bankd::hashPassword("4321", bankd::HashCost::minimal());
        bank.store->write([&](bankd::Db& db) {
            // PARK's settlement account, empty.
            db.exec("INSERT INTO accounts (account_no, customer_id, display_no, kind_name, kind_code, balance, "
                    "pwd_hash, withdrawal, opened_on) SELECT '110456789012', id, '110-456-789012', '보통예금', 'A04', "
                    "0, 'x', 1, '20240101' FROM customers WHERE user_id = 'PARK'");
            bankd::Card c;
            c.cardNo = "9410777788889999";
            c.customerId = bankd::customers::find(db, "PARK")->id;
            c.kind = "credit";
            c.kindName = "개인신용";
            c.expiry = "202711";
            c.branch = "본점영업부";
            c.settlementNo = "110456789012";
            c.billingDay = 5;
            c.totalLimit = 1'000'000;
            c.cashLimit = 500'000;
            c.advanceLimit = 500'000;
            c.issuedOn = "20240101";
            bankd::cards::add(db, c, pin);
        });
        addCertificate("PARK", "박지훈", kCertPassword);
        login("PARK", "PW3");
        user.SetUserID(QStringLiteral("PARK"));
        user.SetUserName(QStringLiteral("박지훈"));
        user.SetSecurityWay(QStringLiteral("K"));
    }
};

int answerPrompt(QDialog* d, const QString& password)
{
    auto* list = d->findChild<QListWidget*>(QStringLiteral("certificateList"));
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
    auto* ok = d->findChild<QPushButton*>(QStringLiteral("okButton"));
    if (!list || !edit || !ok)
        return QDialog::Rejected;
    list->setCurrentRow(0);
    edit->setText(password);
    ok->click();
    return d->result();
}

} // namespace

TEST_F(CertificateCash, TheSignedExecutionCarriesTheDrawnCellAndMovesTheMoneyOnce)
{
    std::map<std::string, std::string> sent;
    const bankd::Handler real = bank.dispatcher.find("PDA_C008")->handler;
    bank.dispatcher.add({"PDA_C008", true, false, [&, real](bankd::RequestContext& ctx) {
                             for (const auto& [k, v] : ctx.query.pairs())
                                 sent[k] = v;
                             return real(ctx);
                         }});
    platform::setRandomSource([](int, int) { return 9; });
    ModalScript modals;
    openScreen();
    tapTab(2);
    CCashPage* page = screen->CashPage();
    ASSERT_EQ(page->CardList()->count(), 1);
    page->CardList()->setCurrentIndex(0);
    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) { return typeOnKeypad(d, QStringLiteral("4321")); });
    QApplication::setActiveWindow(screen.get());
    page->PasswordEdit()->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    page->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    page->AmountEdit()->setText(QStringLiteral("70,000"));
    modals.expectDialog(QStringLiteral("CCashConfirmDlg"), [&](QDialog* d) {
        auto* c = qobject_cast<CCashConfirmDlg*>(d);
        c->ActionButton()->click();
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Checked);
        ModalScript inner;
        inner.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* p) { return answerPrompt(p, kCertPassword); });
        inner.expectMessage(QStringLiteral("현금서비스 이체가 정상처리 되었습니다."), QStringLiteral("확인"));
        c->ActionButton()->click();
        inner.verify();
        EXPECT_EQ(c->CurrentState(), CCashConfirmDlg::Done);
        c->CancelButton()->click();
        return d->result();
    });
    button(page, "btnTransfer")->click();
    modals.verify();
    EXPECT_EQ(sent["ScrtyWay"], "K");
    EXPECT_EQ(sent["RandomNum"], "9");
    EXPECT_EQ(sent["SecPwd"], "");
    EXPECT_FALSE(sent["SignedMsg"].empty());
    EXPECT_EQ(bank.store->read([](bankd::Db& db) { return bankd::accounts::find(db, "110456789012")->balance; }),
              70'000);
}
