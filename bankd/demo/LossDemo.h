#pragma once
// Demo loss reports: a passbook of the demo customer already reported (the
// demo cards bring a reported credit card of their own).
#include "Clock.h"

namespace bankd {

class Db;

void addDemoLossReports(Db& db, Clock::time_point now);

} // namespace bankd
