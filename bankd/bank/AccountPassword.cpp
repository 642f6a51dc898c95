#include "AccountPassword.h"

#include "PasswordHash.h"
#include "Store.h"

namespace bankd {

AccountCheck checkAccountPassword(Store& store, const std::string& accountNo, std::string_view password,
                                  Clock::time_point now, const AccountFilter& accept)
{
    struct Found {
        std::optional<Account> account;
        std::string hash;
    };
    Found found = store.read([&](Db& db) {
        Found f;
        auto a = accounts::find(db, accountNo);
        if (a && (!accept || accept(db, *a))) {
            f.hash = accounts::passwordHash(db, accountNo).value_or("");
            if (!f.hash.empty())
                f.account = a;
        }
        return f;
    });
    AccountCheck out;
    if (found.account) {
        auto checked = guard::check(store, Secret::AccountPassword, accountNo, found.hash, password, now);
        out.verdict = checked.verdict;
        if (checked.verdict == guard::Verdict::Right)
            out.account = std::move(found.account);
        return out;
    }
    const std::string at = bankTimestamp(now);
    if (store.write([&](Db& db) { return guard::begin(db, Secret::AccountPassword, accountNo, at); }) ==
        guard::Admit::Locked) {
        out.verdict = guard::Verdict::Locked;
        return out;
    }
    verifyAgainstDecoy(password, store.hashCost());
    guard::Failure f = store.write([&](Db& db) { return guard::failed(db, Secret::AccountPassword, accountNo, at); });
    out.verdict = f.locked ? guard::Verdict::Locked : guard::Verdict::Wrong;
    return out;
}

} // namespace bankd
