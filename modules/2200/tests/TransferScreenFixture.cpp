#include "TransferScreenFixture.h"

#include "Accounts.h"
#include "CExTabCtrl.h"
#include "CTVPB2200.h"
#include "Sqlite.h"

namespace t2200 {

TransferScreen::TransferScreen() : harness::ModuleBankTest("gate-2200") {}

TransferScreen::~TransferScreen()
{
    screen.reset();
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
