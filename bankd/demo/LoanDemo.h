#pragma once
// Demo data of the loans: the terms of the demo customers' loan accounts. Each
// of DEMOS and DEMOK has a general loan in good standing, one overdue (its
// interest day passed unpaid), a credit line in use and a loan whose interest
// is paid up to today.
#include "Clock.h"

namespace bankd {

class Db;

// After the demo customers and their loan accounts exist.
void addLoanDemo(Db& db, Clock::time_point now);

} // namespace bankd
