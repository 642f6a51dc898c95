// Accounts a transfer is made from and to: PDA_A003 (the user's accounts with
// the withdrawal-account code) and PDA_A001 (the user's favourite deposit
// accounts).
//
// PDA_A003 record: kind name; account number as printed; balance; code ("1"
// withdrawal account, "3" withdrawal account hidden from the account list,
// "0" not a withdrawal account); withdrawable balance (0 for a loan).
// PDA_A001 record: bank code; account name the customer gave it; account
// number; holder's name as the bank looked it up; serial number of the entry;
// withdrawal account of the entry (empty: any).
#include "Handlers.h"

#include "Accounts.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

Envelope sourceAccounts(RequestContext& ctx)
{
    return ctx.store.read([&](Db& db) {
        auto c = customers::find(db, ctx.user);
        if (!c)
            return Envelope(result::kSession, result::kSessionText);
        Envelope env = Envelope::ok();
        env.emptyList();
        for (const Account& a : accounts::ofCustomer(db, c->id)) {
            const char* code = !a.withdrawal || a.kindCode == "A07" ? "0" : a.hidden ? "3" : "1";
            const std::int64_t withdrawable = a.kindCode == "A07" ? 0 : a.balance;
            env.addRecord({a.kindName, a.displayNo, std::to_string(a.balance), code, std::to_string(withdrawable)});
        }
        return env;
    });
}

Envelope favouriteAccounts(RequestContext& ctx)
{
    return ctx.store.read([&](Db& db) {
        auto c = customers::find(db, ctx.user);
        if (!c)
            return Envelope(result::kSession, result::kSessionText);
        Envelope env = Envelope::ok();
        env.emptyList();
        auto s = db.prepare(
            "SELECT bank_code, account_name, account_no, holder, id, withdrawal_no "
            "FROM favourite_accounts WHERE customer_id = ?1 ORDER BY id");
        s.bind(1, c->id);
        while (s.step())
            env.addRecord({s.text(0), s.text(1), s.text(2), s.text(3), s.text(4), s.text(5)});
        return env;
    });
}

} // namespace

void registerDepositAccountHandlers(Dispatcher& d)
{
    d.add({"PDA_A003", /*needsSession=*/true, /*plainRoute=*/false, sourceAccounts});
    d.add({"PDA_A001", /*needsSession=*/true, /*plainRoute=*/false, favouriteAccounts});
}

} // namespace bankd
