// A certificate user's transfer end to end: entry page, confirmation, the
// engine's signing prompt, and PDA_T002 carrying the signature to the bank,
// which checks it against the certificate registered for the user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimeZone>

#include "Accounts.h"
#include "QuoteBook.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB2200.h"
#include "CTransferConfirmDlg.h"
#include "CTransferPage.h"
#include "Clock.h"
#include "ModalScript.h"
#include "Services.h"
#include "Sqlite.h"
#include "TransferScreenFixture.h"

using harness::ModalScript;
using t2200::TransferScreen;

namespace {

const QString kCertPassword = QStringLiteral("인증서암호7");

class CertificateTransfer : public TransferScreen {
protected:
    void SetUp() override
    {
        // The signature carries the client's Unix time and the bank accepts it
        // only near its own: both clocks read the same instant (14:32:10 KST).
        platform::setClock([] {
            return QDateTime(QDate(2024, 11, 5), QTime(14, 32, 10), QTimeZone(9 * 3600));
        });
        bank.addCustomer("PARK", "PW3", "K", "박지훈");
        parkA = addAccount("PARK", "110-456-789012", 800'000);
        kimA = addAccount("KIM", "110-234-567890", 100'000);

        addCertificate("PARK", "박지훈", kCertPassword);
        login("PARK", "PW3");
        user.SetUserID(QStringLiteral("PARK"));
        user.SetUserName(QStringLiteral("박지훈"));
        user.SetSecurityWay(QStringLiteral("K"));
    }

    CTransferPage* page() { return screen->TransferPage(); }
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
        modals.expectDialog(QStringLiteral("CNumberKbd"), [digits](QDialog* d) { return typeOnKeypad(d, digits); });
        focus(edit);
    }
    // 120,000 won from PARK's account to KIM's.
    void fillForm(ModalScript& modals)
    {
        ASSERT_EQ(page()->SourceList()->count(), 1);
        page()->SourceList()->setCurrentIndex(0);
        keypad(modals, page()->PasswordEdit(), QStringLiteral("1234"));
        page()->BankList()->setCurrentIndex(page()->BankList()->findText(QStringLiteral("타브린은행")));
        keypad(modals, page()->DepositEdit(), QStringLiteral("110234567890"));
        keypad(modals, page()->AmountEdit(), QStringLiteral("120000"));
        modals.verify();
    }
    static void pressExecute(QDialog* d) { d->findChild<CBmpButton*>(QStringLiteral("btnExecute"))->click(); }

    // Transfers executed at the bank, and quotes still waiting for execution.
    int executedTransfers()
    {
        return bank.store->read([](bankd::Db& db) {
            auto s = db.prepare("SELECT count(*) FROM transfers WHERE result_code = '0000'");
            s.step();
            return static_cast<int>(s.integer(0));
        });
    }
    // (A bank served by one process keeps its open quotes in memory and
    // writes each as used when it is executed.)
    int openQuotes()
    {
        return bank.store->read([](bankd::Db& db) {
            auto count = [&](const char* state) {
                auto s = db.prepare("SELECT count(*) FROM quotes WHERE kind = 'transfer' AND state = ?1");
                s.bind(1, state);
                s.step();
                return static_cast<int>(s.integer(0));
            };
            int open = count("open");
            if (const bankd::QuoteBook* book = db.quoteBook())
                open += static_cast<int>(book->size()) - count("used");
            return open;
        });
    }

    std::string parkA, kimA;
};

// Drives the signing prompt: the only certificate, the password, OK.
int answerPrompt(QDialog* d, const QString& password)
{
    auto* list = d->findChild<QListWidget*>(QStringLiteral("certificateList"));
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
    auto* ok = d->findChild<QPushButton*>(QStringLiteral("okButton"));
    EXPECT_TRUE(list && edit && ok);
    if (!list || !edit || !ok)
        return QDialog::Rejected;
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    list->setCurrentRow(0);
    edit->setText(password);
    ok->click();
    return d->result();
}

} // namespace

TEST_F(CertificateTransfer, TheSignedExecutionMovesTheMoneyOnce)
{
    ModalScript modals;
    openScreen();
    fillForm(modals);
    CTransferConfirmDlg* seen = nullptr;
    modals.expectDialog(QStringLiteral("CTransferConfirmDlg"), [&](QDialog* d) {
        seen = qobject_cast<CTransferConfirmDlg*>(d);
        EXPECT_EQ(seen->Grid()->GetItemText(4, 1), QStringLiteral("120,000"));
        EXPECT_EQ(seen->Grid()->GetItemText(5, 1), QStringLiteral("김민준"));
        ModalScript inner;
        inner.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* p) {
            // A wrong password is said in the prompt, which stays open for another try.
            answerPrompt(p, QStringLiteral("틀린암호"));
            EXPECT_TRUE(p->isVisible());
            auto* error = p->findChild<QLabel*>(QStringLiteral("errorLabel"));
            EXPECT_TRUE(error && !error->text().isEmpty());
            return answerPrompt(p, kCertPassword);
        });
        inner.expectMessage(QStringLiteral("이체가 정상처리 되었습니다."), QStringLiteral("확인"));
        inner.expectDialog(QStringLiteral("CTransferResultDlg"), [](QDialog* r) {
            CGridCtrl* g = r->findChild<CGridCtrl*>(QStringLiteral("resultGrid"));
            EXPECT_EQ(g->GetItemText(6, 1), QStringLiteral("120000"));
            EXPECT_EQ(g->GetItemText(8, 1), QStringLiteral("680000"));  // balance after
            return QDialog::Accepted;
        });
        pressExecute(d);
        inner.verify();
        // The signed path carried the certificate's signature and no card values.
        const QStringList& p = seen->Parameters();
        EXPECT_EQ(p.size(), 24);
        if (p.size() == 24) {
            EXPECT_EQ(p[20], QStringLiteral("K"));
            EXPECT_TRUE(p[21].isEmpty());
            EXPECT_TRUE(p[22].isEmpty());
            EXPECT_TRUE(p[23].startsWith(QStringLiteral("V1."))) << p[23].toStdString();
        }
        return d->result();
    });
    page()->findChild<CBmpButton*>(QStringLiteral("btnTransfer"))->click();
    modals.verify();
    EXPECT_EQ(balance(parkA), 680'000);
    EXPECT_EQ(balance(kimA), 220'000);
    EXPECT_EQ(executedTransfers(), 1);
    EXPECT_EQ(openQuotes(), 0);
    EXPECT_EQ(page()->SourceList()->currentIndex(), -1);  // the form is fresh again
}

TEST_F(CertificateTransfer, CancelInTheSigningPromptSendsNothing)
{
    ModalScript modals;
    openScreen();
    fillForm(modals);
    modals.expectDialog(QStringLiteral("CTransferConfirmDlg"), [&](QDialog* d) {
        auto* confirm = qobject_cast<CTransferConfirmDlg*>(d);
        // Cancel in the prompt: no message, nothing sent, the confirmation stays.
        // (A refused PDA_T002 would show a message this script does not expect.)
        ModalScript inner;
        inner.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* p) {
            p->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            return p->result();
        });
        pressExecute(d);
        inner.verify();
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(confirm->Parameters().isEmpty());
        EXPECT_EQ(openQuotes(), 1);
        d->findChild<CBmpButton*>(QStringLiteral("btnCancel"))->click();
        return d->result();
    });
    page()->findChild<CBmpButton*>(QStringLiteral("btnTransfer"))->click();
    modals.verify();
    EXPECT_EQ(balance(parkA), 800'000);
    EXPECT_EQ(balance(kimA), 100'000);
    EXPECT_EQ(executedTransfers(), 0);
    EXPECT_EQ(openQuotes(), 1);  // the checked transfer was never executed
    EXPECT_TRUE(page()->AmountEdit()->text().isEmpty());
}
