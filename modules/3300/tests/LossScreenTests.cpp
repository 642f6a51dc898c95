// The loss report screen end to end: the three lists, marks, the Yes/No
// question, the reports and the reload, the passbook report with the keypad,
// and the card data the client refuses to send; screenshots with the demo bank.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "Accounts.h"
#include "CBmpButton.h"
#include "CCashCardLossPage.h"
#include "CCreditCardLossPage.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CPassbookLossPage.h"
#include "CTVPB3300.h"
#include "Cards.h"
#include "Customers.h"
#include "Envelope.h"
#include "LossCodes.h"
#include "LossReports.h"
#include "ModalScript.h"
#include "ModuleBankTest.h"
#include "PasswordHash.h"
#include "Screenshot.h"
#include "Sqlite.h"

using harness::ModalScript;

namespace {

const QString kMark = QStringLiteral("√");

class LossScreen : public harness::ModuleBankTest {
protected:
    LossScreen() : harness::ModuleBankTest("gate-3300")
    {
        kimA = addAccount("KIM", "110-234-567890", "보통예금", "A04", 3'250'000);
        kimB = addAccount("KIM", "220-11-0045678", "정기적금", "A01", 2'400'000);
        addAccount("KIM", "770-01-0012345", "가계일반대출", "A07", 15'000'000);
        leeA = addAccount("LEE", "110-345-678901", "보통예금", "A04", 1'000'000);
        addCard("KIM", kimCredit, "credit", "개인신용", kimA, "20240301");
        addCard("KIM", kimCheck, "check", "개인체크", kimA, "20240201");
        addCard("LEE", leeCredit, "credit", "개인신용", leeA, "20240101");
        login();
    }
    ~LossScreen() override { screen.reset(); }

    std::string addAccount(const std::string& owner, const std::string& displayNo, const std::string& kindName,
                           const std::string& kind, std::int64_t balance)
    {
        const std::string digits = bankd::accounts::digitsOnly(displayNo);
        const std::string hash = bankd::hashPassword("1234", bankd::HashCost::minimal());
        bank.store->write([&](bankd::Db& db) {
            bankd::Account a;
            a.accountNo = digits;
            a.customerId = bankd::customers::find(db, owner)->id;
            a.displayNo = displayNo;
            a.kindName = kindName;
            a.kindCode = kind;
            a.openedOn = "20200101";
            bankd::accounts::add(db, a, hash);
            bankd::accounts::post(db, digits, balance, "2024-01-01 09:00:00", "신규", "");
        });
        return digits;
    }
    void addCard(const std::string& owner, const std::string& no, const std::string& kind, const std::string& name,
                 const std::string& account, const std::string& issuedOn)
    {
        bank.store->write([&](bankd::Db& db) {
            bankd::Card c;
            c.cardNo = no;
            c.customerId = bankd::customers::find(db, owner)->id;
            c.kind = kind;
            c.kindName = name;
            c.expiry = "202711";
            c.branch = "강남지점";
            c.settlementNo = account;
            c.billingDay = kind == "cash" ? 0 : 27;
            c.issuedOn = issuedOn;
            bankd::cards::add(db, c, "x");
        });
    }
    std::string accident(const std::string& cardNo)
    {
        return bank.store->read([&](bankd::Db& db) { return bankd::cards::find(db, cardNo)->accident; });
    }
    std::string passbookLoss(const std::string& accountNo)
    {
        return bank.store->read([&](bankd::Db& db) { return bankd::loss::passbookLoss(db, accountNo); });
    }
    // Counts the requests of one transaction the bank answers.
    int* countRequests(const std::string& code)
    {
        auto counter = std::make_shared<int>(0);
        bankd::TransactionDef def = *clientBank.dispatcher().find(code);
        bankd::Handler real = def.handler;
        def.handler = [real, counter](bankd::RequestContext& ctx) {
            ++*counter;
            return real(ctx);
        };
        clientBank.dispatcher().add(def);
        counters_.push_back(counter);
        return counter.get();
    }
    CTVPB3300* open()
    {
        return openModule(screen);
    }
    CBmpButton* button(QWidget* page, const char* name)
    {
        return page->findChild<CBmpButton*>(QLatin1String(name));
    }

    std::string kimA, kimB, leeA;
    std::string kimCredit = "9410111122223333", kimCheck = "9410111122224444", leeCredit = "9410555566667777";
    std::unique_ptr<CTVPB3300> screen;

private:
    std::vector<std::shared_ptr<int>> counters_;
};

// The demo bank's screens (its own customers and numbers).
class LossDemo : public harness::ModuleBankTest {
protected:
    LossDemo() : harness::ModuleBankTest("gate-3300-demo") {}
    ~LossDemo() override { screen.reset(); }
    std::unique_ptr<CTVPB3300> screen;
};

} // namespace

TEST_F(LossScreen, CreditCardsMarkedAskedReportedOnceAndReloaded)
{
    ModalScript modals;
    open();
    CCreditCardLossPage* page = screen->CreditPage();
    CGridCtrl* grid = page->Grid();
    ASSERT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("카드번호"));
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("9410-1111-2222-3333"));
    EXPECT_EQ(grid->GetItemText(2, 1), QStringLiteral("9410-1111-2222-4444"));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("110-234-567890"));
    EXPECT_EQ(grid->GetRowHeight(0), 24);
    EXPECT_EQ(grid->GetRowHeight(1), 22);
    // The first and third data rows grey.
    EXPECT_EQ(grid->GetItemBkColour(1, 1), RGB(224, 224, 224));
    EXPECT_EQ(grid->GetItemBkColour(2, 1), RGB(255, 255, 255));

    // Nothing marked.
    modals.expectMessage(QStringLiteral("신용카드를 선택하십시요"), QStringLiteral("오류"));
    button(page, "btnConfirm")->click();
    modals.verify();

    // Taps toggle the marks; the header takes none; 취소 clears them.
    tapCell(grid, 0, 0);
    tapCell(grid, 1, 2);
    tapCell(grid, 2, 0);
    EXPECT_EQ(grid->GetItemText(0, 0), QStringLiteral("선택"));
    EXPECT_EQ(page->MarkedCards().size(), 2);
    button(page, "btnCancel")->click();
    EXPECT_TRUE(page->MarkedCards().isEmpty());
    tapCell(grid, 1, 1);
    tapCell(grid, 2, 1);
    tapCell(grid, 2, 1);
    tapCell(grid, 2, 1);
    EXPECT_EQ(grid->GetItemText(1, 0), kMark);
    EXPECT_EQ(grid->GetItemText(2, 0), kMark);

    // No sends nothing and keeps the marks.
    modals.expectMessage(QStringLiteral("선택된 신용카드를 분실신고하시겠습니까?"), QStringLiteral("신용카드분실"),
                         platform::IDNO);
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(accident(kimCredit), "");
    EXPECT_EQ(page->MarkedCards().size(), 2);

    // Yes: one report of both cards, the bank's message, the reloaded list.
    int* reports = countRequests("PDA_R006");
    modals.expectMessage(QStringLiteral("선택된 신용카드를 분실신고하시겠습니까?"), QStringLiteral("신용카드분실"),
                         platform::IDYES);
    modals.expectMessage(QString::fromUtf8(bankd::result::kLossCardsDoneText), QStringLiteral("확인"));
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(*reports, 1);
    EXPECT_EQ(accident(kimCredit), bankd::loss::kLostMark);
    EXPECT_EQ(accident(kimCheck), bankd::loss::kLostMark);
    EXPECT_EQ(accident(leeCredit), "");
    EXPECT_TRUE(page->MarkedCards().isEmpty());
    EXPECT_EQ(grid->GetItemText(1, 3), QStringLiteral("분실신고(11/05)"));
    EXPECT_EQ(grid->GetItemText(2, 3), QStringLiteral("분실신고(11/05)"));
}

TEST_F(LossScreen, CashCardTabLoadsOnceEmptyListMarksNothing)
{
    ModalScript modals;
    int* lists = countRequests("PDA_R003");
    open();
    EXPECT_EQ(*lists, 0);
    tapTab(screen->TabCtrl(), 1);
    tapTab(screen->TabCtrl(), 0);
    tapTab(screen->TabCtrl(), 1);
    EXPECT_EQ(*lists, 1);
    CCashCardLossPage* page = screen->CashPage();
    CGridCtrl* grid = page->Grid();
    // No cash card: the header and one empty row, which takes no mark.
    ASSERT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("종류"));
    tapCell(grid, 1, 0);
    EXPECT_EQ(grid->GetItemText(1, 0), QString());
    modals.expectMessage(QStringLiteral("현금카드를 선택하십시요"));
    button(page, "btnConfirm")->click();
    modals.verify();
    // No owner window: the program's own caption, not the kit's "오류".
    EXPECT_EQ(modals.seen().last().caption, QGuiApplication::applicationDisplayName());

    // A cash card appears on 이전으로; its type leads the row.
    addCard("KIM", "9410200100000001", "cash", "현금카드", kimA, "20230101");
    button(page, "btnReload")->click();
    EXPECT_EQ(*lists, 2);
    ASSERT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("현금카드"));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("9410-2001-0000-0001"));
    tapCell(grid, 1, 2);
    modals.expectMessage(QStringLiteral("선택된 현금카드를 분실신고하시겠습니까?"), QStringLiteral("현금카드분실"),
                         platform::IDYES);
    modals.expectMessage(QString::fromUtf8(bankd::result::kLossCardsDoneText), QStringLiteral("확인"));
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(accident("9410200100000001"), bankd::loss::kLostMark);
}

TEST_F(LossScreen, ForeignCardInTheListReportsNothing)
{
    // A list that names another customer's card (as a tampered reply would):
    // the bank refuses the whole report and the marks stay.
    const std::string mine = kimCredit, theirs = leeCredit;
    clientBank.dispatcher().add({"PDA_R005", true, false, [mine, theirs](bankd::RequestContext&) {
                                     bankd::Envelope e = bankd::Envelope::ok();
                                     e.emptyList();
                                     e.addRecord({bankd::cards::displayNo(mine), "110-234-567890", ""});
                                     e.addRecord({bankd::cards::displayNo(theirs), "110-345-678901", ""});
                                     return e;
                                 }});
    ModalScript modals;
    open();
    CCreditCardLossPage* page = screen->CreditPage();
    tapCell(page->Grid(), 1, 1);
    tapCell(page->Grid(), 2, 1);
    modals.expectMessage(QStringLiteral("선택된 신용카드를 분실신고하시겠습니까?"), QStringLiteral("신용카드분실"),
                         platform::IDYES);
    modals.expectMessage(QStringLiteral("LOS03:") + QString::fromUtf8(bankd::result::kLossNotOwnCardText),
                         QStringLiteral("오류"));
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(accident(kimCredit), "");
    EXPECT_EQ(accident(leeCredit), "");
    EXPECT_EQ(page->MarkedCards().size(), 2);
}

TEST_F(LossScreen, CardDataOverItsLimitIsNotSent)
{
    // Twenty-two cards of 45 digits: their card data would pass 1023 characters.
    clientBank.dispatcher().add({"PDA_R005", true, false, [](bankd::RequestContext&) {
                                     bankd::Envelope e = bankd::Envelope::ok();
                                     e.emptyList();
                                     for (int i = 0; i < 22; ++i)
                                         e.addRecord({std::string(43, '9') + std::to_string(10 + i), "", ""});
                                     return e;
                                 }});
    int* reports = countRequests("PDA_R006");
    ModalScript modals;
    open();
    CCreditCardLossPage* page = screen->CreditPage();
    ASSERT_EQ(page->Grid()->GetRowCount(), 23);
    for (int r = 1; r <= 22; ++r)
        page->OnCellTapped(r, 1);
    modals.expectMessageContaining(QStringLiteral("카드를 나누어 신고하십시오"), QStringLiteral("오류"));
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(*reports, 0);
    // Twenty of them fit and go in one report (which the bank refuses: not KIM's).
    for (int r = 21; r <= 22; ++r)
        page->OnCellTapped(r, 1);
    modals.expectMessage(QStringLiteral("선택된 신용카드를 분실신고하시겠습니까?"), QStringLiteral("신용카드분실"),
                         platform::IDYES);
    modals.expectMessageContaining(QStringLiteral("LOS03:"), QStringLiteral("오류"));
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(*reports, 1);
}

TEST_F(LossScreen, PassbookReportWithTheKeypadPassword)
{
    ModalScript modals;
    open();
    tapTab(screen->TabCtrl(), 2);
    CPassbookLossPage* page = screen->PassbookPage();
    CGridCtrl* grid = page->Grid();
    // Loans have no passbook.
    ASSERT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(grid->GetItemText(1, 0), QStringLiteral("보통예금"));
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("110-234-567890"));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("3,250,000"));
    EXPECT_EQ(grid->GetItemFormat(1, 2) & DT_RIGHT, UINT(DT_RIGHT));
    EXPECT_FALSE(button(page, "btnCancel")->isVisible());

    modals.expectMessage(QStringLiteral("예금통장을 선택하십시요"), QStringLiteral("오류"));
    button(page, "btnConfirm")->click();
    modals.verify();

    int* reports = countRequests("PDA_R002");
    tapCell(grid, 1, 1);
    // Cancelled keypad: nothing sent.
    modals.expectDialog(QStringLiteral("CNumberKbd"), QDialog::Rejected);
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(*reports, 0);

    // A wrong password: the bank's refusal, nothing reported, no password kept.
    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) { return typeOnKeypad(d, QStringLiteral("9999")); });
    modals.expectMessageContaining(QStringLiteral("LOS05:"), QStringLiteral("오류"));
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(passbookLoss(kimA), "");
    EXPECT_TRUE(page->PendingPassword().isEmpty());

    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("계좌 비밀번호"));
        return typeOnKeypad(d, QStringLiteral("1234"));
    });
    modals.expectMessage(QString::fromUtf8(bankd::result::kLossPassbookDoneText), QStringLiteral("확인"));
    button(page, "btnConfirm")->click();
    modals.verify();
    EXPECT_EQ(*reports, 2);
    EXPECT_EQ(passbookLoss(kimA), bankd::loss::kLostMark);
    EXPECT_EQ(passbookLoss(kimB), "");
    EXPECT_TRUE(page->PendingPassword().isEmpty());
    EXPECT_EQ(grid->GetRowCount(), 3);
}

TEST_F(LossDemo, Screenshots)
{
    ModalScript modals;
    useDemoBank();
    openModule(screen);
    EXPECT_GE(screen->CreditPage()->Grid()->GetRowCount(), 4);
    bool reported = false;
    for (const auto& c : screen->CreditPage()->Cards())
        reported = reported || !c.loss.isEmpty();
    EXPECT_TRUE(reported);
    harness::saveShot(screen.get(), QStringLiteral("3300_credit"));
    EXPECT_EQ(harness::shotImage(screen.get()).size(), QSize(240, 294));
    // Each list is wider than the screen: its scroll bar reaches the accident records.
    EXPECT_TRUE(scrollsToLastColumn(screen->CreditPage()->Grid()));
    tapTab(screen->TabCtrl(), 1);
    EXPECT_GE(screen->CashPage()->Grid()->GetRowCount(), 2);
    harness::saveShot(screen.get(), QStringLiteral("3300_cash"));
    EXPECT_TRUE(scrollsToLastColumn(screen->CashPage()->Grid()));
    tapTab(screen->TabCtrl(), 2);
    EXPECT_GE(screen->PassbookPage()->Grid()->GetRowCount(), 4);
    harness::saveShot(screen.get(), QStringLiteral("3300_passbook"));
    EXPECT_TRUE(scrollsToLastColumn(screen->PassbookPage()->Grid()));
}
