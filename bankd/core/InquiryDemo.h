#pragma once
// Demo data of the account inquiry: months of instalments on savings accounts,
// time-deposit terms, months of salary and spending on the first ordinary
// account, and issued cheques (one with an accident record).
#include "Clock.h"

namespace bankd {

class Db;
struct Account;

// Movements and terms for one demo account after its opening deposit.
void addInquiryDemoHistory(Db& db, const Account& account, int index, Clock::time_point now);
// The demo bank's issued cheques.
void addDemoCheques(Db& db, Clock::time_point now);

} // namespace bankd
