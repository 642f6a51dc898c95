#pragma once
// Demo data of the account inquiry: months of instalments on savings accounts,
// time-deposit terms, months of salary and spending on the first ordinary
// account.
#include "Clock.h"

namespace bankd {

class Db;
struct Account;

// Movements and terms for one demo account after its opening deposit.
void addInquiryDemoHistory(Db& db, const Account& account, int index, Clock::time_point now);

} // namespace bankd
