#include "CardScreenFixture.h"

#include "Accounts.h"
#include "CBmpButton.h"
#include "CExTabCtrl.h"
#include "CTVPB2400.h"
#include "Cards.h"
#include "PasswordHash.h"
#include "Sqlite.h"

namespace t2400 {

CardScreen::CardScreen() : harness::ModuleBankTest("gate-2400") {}

CardScreen::~CardScreen()
{
    screen.reset();
}

std::string CardScreen::cardNo(int i)
{
    return "941011112222333" + std::to_string(i);
}

QString CardScreen::shownNo(int i)
{
    return QStringLiteral("9410-1111-2222-333%1").arg(i);
}

void CardScreen::addCards()
{
    const std::string pin = bankd::hashPassword("4321", bankd::HashCost::minimal());
    bank.store->write([&](bankd::Db& db) {
        const std::int64_t kim = bankd::customers::find(db, "KIM")->id;
        bankd::Account a;
        a.accountNo = account;
        a.customerId = kim;
        a.displayNo = "110-234-567890";
        a.kindName = "보통예금";
        a.kindCode = "A04";
        a.withdrawal = true;
        a.openedOn = "20240101";
        bankd::accounts::add(db, a, pin);
        bankd::accounts::post(db, account, 1'000'000, "2024-01-01 09:00:00", "신규", "");
        for (int i = 0; i < 7; ++i) {
            bankd::Card c;
            c.cardNo = cardNo(i);
            c.customerId = kim;
            c.kind = i == 1 ? "check" : "credit";
            c.kindName = i == 1 ? "개인체크" : "개인신용";
            c.expiry = "202711";
            c.branch = i % 2 ? "역삼지점" : "강남지점";
            c.settlementNo = account;
            c.billingDay = i == 1 ? 0 : 27;
            c.totalLimit = i == 1 ? 0 : 5'000'000;
            c.cashLimit = i == 1 ? 0 : 1'000'000;
            c.advanceLimit = i == 1 ? 0 : 700'000;
            c.issuedOn = "202410" + std::to_string(20 - i);
            c.accident = i == 5 ? "분실신고" : "";
            bankd::cards::add(db, c, pin);
        }
        // 23 approvals of card 0, one a day from 2024-10-12.
        for (int i = 0; i < 23; ++i) {
            char at[32];
            std::snprintf(at, sizeof at, "2024-%02d-%02d 10:00:00", i < 20 ? 10 : 11, i < 20 ? 12 + i : i - 19);
            auto s = db.prepare(
                "INSERT INTO card_approvals (card_no, approved_at, merchant, amount, sales_kind, instalments, receipt) "
                "VALUES (?1, ?2, ?3, ?4, '일시불', 0, '매입')");
            s.bind(1, cardNo(0)).bind(2, at).bind(3, "가맹점" + std::to_string(i)).bind(4, 1000 * (i + 1)).run();
        }
        for (const char* date : {"20240327", "20241027"}) {
            auto s = db.prepare(
                "INSERT INTO card_bills (card_no, billing_date, settlement_no, lump_principal, cash_principal, cash_fee) "
                "VALUES (?1, ?2, ?3, ?4, 300000, 4500)");
            s.bind(1, cardNo(0)).bind(2, date).bind(3, account).bind(4, std::string(date) == "20240327" ? 120000 : 80000);
            s.run();
        }
    });
}

std::int64_t CardScreen::balance()
{
    return bank.store->read([&](bankd::Db& db) { return bankd::accounts::find(db, account)->balance; });
}

std::int64_t CardScreen::cashUsed(int card)
{
    return bank.store->read([&](bankd::Db& db) { return bankd::cards::find(db, cardNo(card))->cashUsed; });
}

CTVPB2400* CardScreen::openScreen()
{
    return openModule(screen);
}

void CardScreen::tapTab(int index)
{
    ModuleBankTest::tapTab(screen->TabCtrl(), index);
}

CBmpButton* CardScreen::button(QWidget* in, const char* name)
{
    return in->findChild<CBmpButton*>(QString::fromLatin1(name));
}

} // namespace t2400
