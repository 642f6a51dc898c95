// Interest payment end to end: detail, interest position (PDA_L007 with the
// number as listed), confirmation (PDA_L003 with digits, then PDA_A003), the
// account password on the keypad, the security step, and the signed PDA_L004
// with its receipt; and the money rules as the bank applies them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimeZone>
#include <algorithm>
#include <functional>

#include "CBmpButton.h"
#include "CGeneralLoanDlg.h"
#include "CGridCtrl.h"
#include "CInterestConfirmDlg.h"
#include "CInterestDlg.h"
#include "CInterestPayDlg.h"
#include "CLoanListPage.h"
#include "CTVPB2300.h"
#include "Dispatcher.h"
#include "Envelope.h"
#include "LoanScreenFixture.h"
#include "ModalScript.h"
#include "SecretGuard.h"
#include "Services.h"
#include "Sqlite.h"

using harness::ModalScript;

namespace {

class InterestPayment : public t2300::LoanScreen {
protected:
    void SetUp() override
    {
        login();
        kimA = addAccount("KIM", "110-234-567890", 1'000'000);
        addAccount("KIM", "220-11-0045678", 2'400'000, /*withdrawal=*/false);
        // 10,000,000 won at 5.20% paid to 10-05: 44,164 won due on 11-05.
        loan = addLoan("KIM", "770-01-0012345", 10'000'000, false, 520, "20241005", "20241105");
        platform::setRandomSource([](int, int) { return 7; });
    }

    static void press(QWidget* w, const char* name) { w->findChild<CBmpButton*>(QString::fromLatin1(name))->click(); }

    // Opens the screen, the first loan's detail and its interest dialog, and
    // runs `interest` on the interest dialog.
    void inInterestDialog(const std::function<void(CInterestDlg*)>& interest)
    {
        ModalScript modals;
        openScreen();
        tapCell(screen->GeneralPage()->Grid(), 1, 1);
        modals.expectDialog(QStringLiteral("CGeneralLoanDlg"), [&](QDialog* d) {
            ModalScript inner;
            inner.expectDialog(QStringLiteral("CInterestDlg"), [&](QDialog* i) {
                interest(qobject_cast<CInterestDlg*>(i));
                return QDialog::Accepted;
            });
            press(d, "btnInterest");
            inner.verify();
            return QDialog::Accepted;
        });
        press(screen->GeneralPage(), "btnDetail");
        modals.verify();
    }

    // Types the account password on the keypad the field opens.
    void password(CInterestConfirmDlg* c, const QString& digits)
    {
        ModalScript keypad;
        keypad.expectDialog(QStringLiteral("CNumberKbd"), [digits](QDialog* k) { return typeOnKeypad(k, digits); });
        QApplication::setActiveWindow(c);
        c->PasswordEdit()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        c->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        keypad.verify();
    }

    int failures()
    {
        return bank.store->read(
            [&](bankd::Db& db) { return bankd::guard::failures(db, bankd::Secret::AccountPassword, kimA); });
    }

    std::string kimA, loan;
};

} // namespace

TEST_F(InterestPayment, CardUserPaysTheQuotedInterestOnceAndSeesTheReceipt)
{
    inInterestDialog([&](CInterestDlg* i) {
        EXPECT_EQ(i->windowTitle(), QStringLiteral("일반대출이자"));
        // The position is asked for with the number as listed.
        EXPECT_EQ(lastValue("PDA_L007", "LoanAccNo"), "770-01-0012345");
        CGridCtrl* g = i->Grid();
        EXPECT_EQ(g->GetRowCount(), 10);
        EXPECT_EQ(g->GetRowHeight(0), 23);
        EXPECT_EQ(g->GetColumnWidth(0), 102);
        EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("김민준"));
        EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("10000000"));  // without separators
        EXPECT_TRUE(g->GetItemFormat(2, 1) & DT_RIGHT);
        EXPECT_EQ(g->GetItemText(8, 1), QStringLiteral("정상"));
        EXPECT_TRUE(i->PayButton()->isEnabled());
        EXPECT_EQ(i->DatePicker()->date(), QDate(2024, 11, 5));

        ModalScript flow;
        flow.expectDialog(QStringLiteral("CInterestConfirmDlg"), [&](QDialog* d) {
            auto* c = qobject_cast<CInterestConfirmDlg*>(d);
            EXPECT_EQ(lastValue("PDA_L003", "LoanAccNo"), "770010012345");
            EXPECT_EQ(lastValue("PDA_L003", "sdate"), "20241105");
            CGridCtrl* due = c->Grid();
            EXPECT_EQ(due->GetRowCount(), 9);
            EXPECT_EQ(due->GetItemText(2, 1), QStringLiteral("김민준"));
            EXPECT_EQ(due->GetItemText(5, 1), QStringLiteral("44164"));
            EXPECT_EQ(due->GetItemText(7, 1), QStringLiteral("10000000"));
            EXPECT_TRUE(c->PayButton()->isEnabled());
            // Only the withdrawal account is offered, none chosen yet.
            EXPECT_EQ(c->SourceList()->count(), 1);
            EXPECT_EQ(c->SourceList()->itemText(0), QStringLiteral("110-234-567890"));
            EXPECT_EQ(c->SourceList()->currentIndex(), -1);

            ModalScript inner;
            inner.expectMessage(QStringLiteral("출금계좌를 선택하세요"), QStringLiteral("오류"));
            press(c, "btnPay");
            inner.verify();
            c->SourceList()->setCurrentIndex(0);
            password(c, QStringLiteral("1234"));
            EXPECT_EQ(c->PasswordEdit()->text().size(), 4);
            // A cancelled security keypad sends nothing and keeps the dialog.
            inner.expectDialog(QStringLiteral("CNumberKbd"), QDialog::Rejected);
            press(c, "btnPay");
            inner.verify();
            EXPECT_TRUE(sent("PDA_L004").empty());
            EXPECT_TRUE(c->isVisible());

            inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
                EXPECT_EQ(k->findChild<QWidget*>(QStringLiteral("prompt"))->property("text").toString(),
                          QStringLiteral("보안카드 7번 입력"));
                return typeOnKeypad(k, QString::fromStdString(kimCard[6]));
            });
            inner.expectDialog(QStringLiteral("CInterestPayDlg"), [&](QDialog* p) {
                auto* pay = qobject_cast<CInterestPayDlg*>(p);
                EXPECT_TRUE(pay->Paid());
                CGridCtrl* r = pay->Grid();
                EXPECT_EQ(r->GetRowCount(), 10);
                EXPECT_EQ(r->GetItemText(0, 1), QStringLiteral("김민준"));  // handed over
                EXPECT_EQ(r->GetItemText(1, 1), QStringLiteral("110-234-567890"));
                EXPECT_EQ(r->GetItemText(3, 1), QStringLiteral("770-01-0012345"));
                EXPECT_EQ(r->GetItemText(4, 1), QStringLiteral("2024.10.06"));
                EXPECT_EQ(r->GetItemText(5, 1), QStringLiteral("2024.11.05"));
                EXPECT_EQ(r->GetItemText(6, 1), QStringLiteral("44164"));
                EXPECT_EQ(r->GetItemText(9, 1), QStringLiteral("955836"));
                EXPECT_TRUE(r->GetItemFormat(9, 1) & DT_RIGHT);
                press(p, "btnOk");
                return p->result();
            });
            press(c, "btnPay");
            inner.verify();
            return d->result();
        });
        press(i, "btnPay");
        flow.verify();
        // Back in the interest dialog, which keeps what it showed.
        EXPECT_EQ(g->GetItemText(5, 1), QStringLiteral("2024.10.05"));
    });
    // What went on the wire, and what the bank did.
    ASSERT_EQ(sent("PDA_L004").size(), 1u);
    EXPECT_EQ(lastValue("PDA_L004", "OutAccNO"), "110234567890");
    EXPECT_EQ(lastValue("PDA_L004", "OutAccPWD"), "1234");
    EXPECT_EQ(lastValue("PDA_L004", "TryCnt"), "01");
    EXPECT_EQ(lastValue("PDA_L004", "LoanAccNo"), "770010012345");
    EXPECT_EQ(lastValue("PDA_L004", "sdate"), "20241105");
    EXPECT_EQ(lastValue("PDA_L004", "ScrtyWay"), "S");
    EXPECT_EQ(lastValue("PDA_L004", "RandomNum"), "7");
    EXPECT_EQ(lastValue("PDA_L004", "SecPwd"), kimCard[6]);
    EXPECT_EQ(lastValue("PDA_L004", "SignedMsg"), "");
    EXPECT_EQ(balance(kimA), 1'000'000 - 44'164);
    EXPECT_EQ(payments(), 1);
}

TEST_F(InterestPayment, WrongOrEmptyPasswordAndWrongCellPayNothingAndCountTowardTheLock)
{
    inInterestDialog([&](CInterestDlg* i) {
        // Three attempts, each through a fresh confirmation (it closes after processing).
        struct Attempt {
            QString password;
            bool typeCell;
            QString expected;
        };
        const QString wrongCell = kimCard[6] == "0000" ? QStringLiteral("1111") : QStringLiteral("0000");
        for (const Attempt& a : {Attempt{QStringLiteral("9999"), true, QStringLiteral("TRF02:")},
                                 Attempt{QString(), true, QStringLiteral("TRF02:")},
                                 Attempt{QStringLiteral("1234"), false, QStringLiteral("TRF14:")}}) {
            SCOPED_TRACE(a.expected.toStdString() + a.password.toStdString());
            ModalScript flow;
            flow.expectDialog(QStringLiteral("CInterestConfirmDlg"), [&](QDialog* d) {
                auto* c = qobject_cast<CInterestConfirmDlg*>(d);
                c->SourceList()->setCurrentIndex(0);
                if (!a.password.isEmpty())
                    password(c, a.password);
                ModalScript inner;
                inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
                    return typeOnKeypad(k, a.typeCell ? QString::fromStdString(kimCard[6]) : wrongCell);
                });
                // The refusal is shown while the processing dialog opens.
                inner.expectMessageContaining(a.expected, QStringLiteral("오류"));
                inner.expectDialog(QStringLiteral("CInterestPayDlg"), [&](QDialog* p) {
                    auto* pay = qobject_cast<CInterestPayDlg*>(p);
                    EXPECT_FALSE(pay->Paid());
                    // The receipt keeps its labels with empty values.
                    EXPECT_EQ(pay->Grid()->GetItemText(1, 0), QStringLiteral("출금계좌번호"));
                    EXPECT_EQ(pay->Grid()->GetItemText(1, 1), QString());
                    return QDialog::Accepted;
                });
                press(c, "btnPay");
                inner.verify();
                EXPECT_FALSE(c->isVisible());  // closed with the processing, whatever the outcome
                return d->result();
            });
            press(i, "btnPay");
            flow.verify();
            if (a.password.isEmpty()) {  // the empty password counted as the second failure
                EXPECT_EQ(failures(), 2);
            }
        }
    });
    EXPECT_EQ(sent("PDA_L004").size(), 3u);
    // The empty password went out as it was: the key with no value.
    const t2300::Pairs second = sent("PDA_L004")[1];
    EXPECT_NE(std::find(second.begin(), second.end(), std::pair<std::string, std::string>("OutAccPWD", "")),
              second.end());
    EXPECT_EQ(balance(kimA), 1'000'000);
    EXPECT_EQ(payments(), 0);
    EXPECT_EQ(failures(), 0);  // the third attempt had the right password: the count started again
}

TEST_F(InterestPayment, PayStaysDisabledWhenTheInterestDueIsRefused)
{
    inInterestDialog([&](CInterestDlg* i) {
        // A day after the next interest day: the bank refuses the quote.
        i->DatePicker()->setDate(QDate(2024, 11, 6));
        ModalScript flow;
        // The refusal is shown as the confirmation opens.
        flow.expectMessageContaining(QStringLiteral("LON02:"), QStringLiteral("오류"));
        flow.expectDialog(QStringLiteral("CInterestConfirmDlg"), [&](QDialog* d) {
            auto* c = qobject_cast<CInterestConfirmDlg*>(d);
            EXPECT_EQ(lastValue("PDA_L003", "sdate"), "20241106");
            EXPECT_FALSE(c->PayButton()->isEnabled());
            EXPECT_EQ(c->SourceList()->count(), 0);
            EXPECT_TRUE(sent("PDA_A003").empty());
            EXPECT_EQ(c->Grid()->GetItemText(5, 1), QString());
            press(c, "btnPay");  // nothing: no keypad, no message
            press(c, "btnCancel");
            return d->result();
        });
        press(i, "btnPay");
        flow.verify();
    });
    EXPECT_TRUE(sent("PDA_L004").empty());
}

TEST_F(InterestPayment, APaymentWithoutAReceiptSaysSoInsteadOfAnEmptyReceipt)
{
    // The bank pays but its reply carries no receipt block.
    const bankd::TransactionDef* def = bank.dispatcher.find("PDA_L004");
    ASSERT_TRUE(def);
    bankd::TransactionDef bare = *def;
    bare.handler = [inner = def->handler](bankd::RequestContext& ctx) {
        bankd::Envelope e = inner(ctx);
        return e.succeeded() ? bankd::Envelope::ok(e.text()) : e;
    };
    bank.dispatcher.add(bare);
    inInterestDialog([&](CInterestDlg* i) {
        ModalScript flow;
        flow.expectDialog(QStringLiteral("CInterestConfirmDlg"), [&](QDialog* d) {
            auto* c = qobject_cast<CInterestConfirmDlg*>(d);
            c->SourceList()->setCurrentIndex(0);
            password(c, QStringLiteral("1234"));
            ModalScript inner;
            inner.expectDialog(QStringLiteral("CNumberKbd"),
                               [&](QDialog* k) { return typeOnKeypad(k, QString::fromStdString(kimCard[6])); });
            inner.expectMessageContaining(QStringLiteral("영수증을 받지 못했습니다"), QStringLiteral("확인"));
            inner.expectDialog(QStringLiteral("CInterestPayDlg"), [&](QDialog* p) {
                EXPECT_TRUE(qobject_cast<CInterestPayDlg*>(p)->Paid());
                return QDialog::Accepted;
            });
            press(c, "btnPay");
            inner.verify();
            return d->result();
        });
        press(i, "btnPay");
        flow.verify();
    });
    EXPECT_EQ(payments(), 1);
    EXPECT_EQ(balance(kimA), 1'000'000 - 44'164);
}

namespace {

const QString kCertPassword = QStringLiteral("인증서암호7");

class CertificateInterest : public InterestPayment {
protected:
    void SetUp() override
    {
        InterestPayment::SetUp();
        // The signature carries the client's time; the bank accepts it near its own.
        platform::setClock([] { return QDateTime(QDate(2024, 11, 5), QTime(14, 32, 10), QTimeZone(9 * 3600)); });
        bank.addCustomer("PARK", "PW3", "K", "박지훈");
        parkA = addAccount("PARK", "110-456-789012", 800'000);
        parkLoan = addLoan("PARK", "770-02-0056789", 8'000'000, false, 550, "20241010", "20241110");
        addCertificate("PARK", "박지훈", kCertPassword);
        login("PARK", "PW3");
        user.SetUserID(QStringLiteral("PARK"));
        user.SetUserName(QStringLiteral("박지훈"));
        user.SetSecurityWay(QStringLiteral("K"));
    }
    static int sign(QDialog* d, bool ok)
    {
        if (!ok) {
            d->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            return d->result();
        }
        d->findChild<QListWidget*>(QStringLiteral("certificateList"))->setCurrentRow(0);
        d->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(kCertPassword);
        d->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        return d->result();
    }
    std::string parkA, parkLoan;
};

} // namespace

TEST_F(CertificateInterest, SigningCancelledSendsNothingThenTheSignedPaymentCarriesTheDrawnCell)
{
    inInterestDialog([&](CInterestDlg* i) {
        EXPECT_EQ(lastValue("PDA_L007", "LoanAccNo"), "770-02-0056789");
        ModalScript flow;
        flow.expectDialog(QStringLiteral("CInterestConfirmDlg"), [&](QDialog* d) {
            auto* c = qobject_cast<CInterestConfirmDlg*>(d);
            EXPECT_EQ(c->Grid()->GetItemText(5, 1), QStringLiteral("31342"));  // 26 days at 5.50%
            c->SourceList()->setCurrentIndex(0);
            password(c, QStringLiteral("1234"));
            ModalScript inner;
            inner.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* p) { return sign(p, false); });
            press(c, "btnPay");
            inner.verify();
            EXPECT_TRUE(sent("PDA_L004").empty());
            EXPECT_TRUE(c->isVisible());
            inner.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* p) { return sign(p, true); });
            inner.expectDialog(QStringLiteral("CInterestPayDlg"), [&](QDialog* p) {
                EXPECT_TRUE(qobject_cast<CInterestPayDlg*>(p)->Paid());
                EXPECT_EQ(qobject_cast<CInterestPayDlg*>(p)->Grid()->GetItemText(0, 1), QStringLiteral("박지훈"));
                return QDialog::Accepted;
            });
            press(c, "btnPay");
            inner.verify();
            return d->result();
        });
        press(i, "btnPay");
        flow.verify();
    });
    EXPECT_EQ(lastValue("PDA_L004", "ScrtyWay"), "K");
    EXPECT_EQ(lastValue("PDA_L004", "RandomNum"), "7");
    EXPECT_EQ(lastValue("PDA_L004", "SecPwd"), "");
    EXPECT_EQ(lastValue("PDA_L004", "SignedMsg").rfind("V1.", 0), 0u);
    EXPECT_EQ(balance(parkA), 800'000 - 31'342);
}

TEST_F(InterestPayment, AFailedInterestPositionLeavesThePaymentButtonDisabled)
{
    bankd::TransactionDef refused = *bank.dispatcher.find("PDA_L007");
    refused.handler = [](bankd::RequestContext&) { return bankd::Envelope("SYS01", "일시적인 장애입니다."); };
    bank.dispatcher.add(refused);
    ModalScript modals;
    openScreen();
    tapCell(screen->GeneralPage()->Grid(), 1, 1);
    modals.expectDialog(QStringLiteral("CGeneralLoanDlg"), [&](QDialog* d) {
        ModalScript inner;
        inner.expectMessageContaining(QStringLiteral("SYS01:"), QStringLiteral("오류"));
        inner.expectDialog(QStringLiteral("CInterestDlg"), [&](QDialog* i) {
            auto* interest = qobject_cast<CInterestDlg*>(i);
            EXPECT_FALSE(interest->PayButton()->isEnabled());
            EXPECT_EQ(interest->Grid()->GetItemText(0, 0), QStringLiteral("예금주 성명"));
            EXPECT_EQ(interest->Grid()->GetItemText(0, 1), QString());
            press(i, "btnPay");  // nothing opens
            return QDialog::Accepted;
        });
        press(d, "btnInterest");
        inner.verify();
        return QDialog::Accepted;
    });
    press(screen->GeneralPage(), "btnDetail");
    modals.verify();
    EXPECT_TRUE(sent("PDA_L003").empty());
}
