#include "TransferScreenFixture.h"

#include "Accounts.h"
#include "CExTabCtrl.h"
#include "CTVPB2200.h"
#include "PasswordHash.h"
#include "Sqlite.h"

namespace t2200 {

TransferScreen::TransferScreen() : harness::ModuleBankTest("gate-2200") {}

TransferScreen::~TransferScreen()
{
    screen.reset();
}

std::string TransferScreen::addAccount(const std::string& owner, const std::string& displayNo, std::int64_t amount,
                                       bool withdrawal, bool hidden, const std::string& kind)
{
    std::string digits = bankd::accounts::digitsOnly(displayNo);
    std::string hash = bankd::hashPassword("1234", bankd::HashCost::minimal());
    bank.store->write([&](bankd::Db& db) {
        bankd::Account a;
        a.accountNo = digits;
        a.customerId = bankd::customers::find(db, owner)->id;
        a.displayNo = displayNo;
        a.kindName = "보통예금";
        a.kindCode = kind;
        a.withdrawal = withdrawal;
        a.hidden = hidden;
        a.openedOn = "20240101";
        bankd::accounts::add(db, a, hash);
        if (amount > 0)
            bankd::accounts::post(db, digits, amount, "2024-01-01 09:00:00", "신규", "");
    });
    return digits;
}

void TransferScreen::addFavourite(const std::string& bankCode, const std::string& name, const std::string& accountNo)
{
    bank.store->write([&](bankd::Db& db) {
        auto s = db.prepare(
            "INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, registered_on) "
            "SELECT id, ?1, ?2, ?3, '20241001' FROM customers WHERE user_id = 'KIM'");
        s.bind(1, bankCode).bind(2, name).bind(3, accountNo).run();
    });
}

std::int64_t TransferScreen::balance(const std::string& accountNo)
{
    return bank.store->read([&](bankd::Db& db) { return bankd::accounts::find(db, accountNo)->balance; });
}

CTVPB2200* TransferScreen::openScreen()
{
    return openModule(screen);
}

void TransferScreen::tapTab(int index)
{
    ModuleBankTest::tapTab(screen->TabCtrl(), index);
}

} // namespace t2200
