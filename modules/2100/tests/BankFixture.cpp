#include "BankFixture.h"

#include "Accounts.h"
#include "CTVPB2100.h"
#include "Sqlite.h"

namespace t2100 {

BankFixture::BankFixture() : harness::ModuleBankTest("gate-2100") {}

BankFixture::~BankFixture()
{
    screen.reset();
}

std::string BankFixture::addAccount(const std::string& displayNo, const std::string& kindName, const std::string& kind,
                                    const std::string& openedOn, bool hidden, const std::string& owner)
{
    std::string digits = bankd::accounts::digitsOnly(displayNo);
    bank.store->write([&](bankd::Db& db) {
        bankd::Account a;
        a.accountNo = digits;
        a.customerId = bankd::customers::find(db, owner)->id;
        a.displayNo = displayNo;
        a.kindName = kindName;
        a.kindCode = kind;
        a.openedOn = openedOn;
        a.hidden = hidden;
        bankd::accounts::add(db, a, "x");
    });
    return digits;
}

void BankFixture::post(const std::string& displayNo, std::int64_t amount, const std::string& at,
                       const std::string& memo, const std::string& counterpart)
{
    bank.store->write([&](bankd::Db& db) {
        ASSERT_TRUE(bankd::accounts::post(db, bankd::accounts::digitsOnly(displayNo), amount, at, memo, counterpart));
    });
}

CTVPB2100* BankFixture::openScreen()
{
    return openModule(screen);
}

} // namespace t2100
