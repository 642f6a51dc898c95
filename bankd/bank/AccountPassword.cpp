#include "AccountPassword.h"

#include <sodium.h>

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
    if (!found.account) {
        // A keyed hash of a random secret: the same work and the same count
        // as a real account's wrong password, and never right.
        unsigned char noise[16];
        randombytes_buf(noise, sizeof noise);
        found.hash = hashShortSecret(std::string_view(reinterpret_cast<const char*>(noise), sizeof noise), store.keys());
        guard::Checked checked = guard::check(store, Secret::AccountPassword, accountNo, found.hash, password, now);
        out.verdict = checked.verdict == guard::Verdict::Locked ? guard::Verdict::Locked : guard::Verdict::Wrong;
        return out;
    }
    auto checked = guard::check(store, Secret::AccountPassword, accountNo, found.hash, password, now,
                                [&](Db& db, const std::string& keyed) { accounts::setPasswordHash(db, accountNo, keyed); });
    out.verdict = checked.verdict;
    if (checked.verdict == guard::Verdict::Right)
        out.account = std::move(found.account);
    return out;
}

} // namespace bankd
