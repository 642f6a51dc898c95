#pragma once
// An account password checked without a login (quick inquiry, enrolment with
// an own account). Every attempt counts under the account's failure count and
// lock. An account that does not exist, or that the caller does not accept,
// is counted and answered exactly like a wrong password (with the same hash
// work), so the answer never tells an account number apart from a guess.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Accounts.h"
#include "Clock.h"
#include "SecretGuard.h"

namespace bankd {

class Store;

struct AccountCheck {
    guard::Verdict verdict = guard::Verdict::Wrong;
    std::optional<Account> account;  // set when Right
};

using AccountFilter = std::function<bool(Db&, const Account&)>;

AccountCheck checkAccountPassword(Store& store, const std::string& accountNo, std::string_view password,
                                  Clock::time_point now, const AccountFilter& accept = {});

} // namespace bankd
