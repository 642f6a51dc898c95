#include "LossDemo.h"

#include <chrono>

#include "LossReports.h"

namespace bankd {

void addDemoLossReports(Db& db, Clock::time_point now)
{
    // DEMOS's savings passbook "220-11-0045679", reported ten days ago.
    loss::reportPassbook(db, "220110045679", bankTimestamp(now - std::chrono::hours(24 * 10)));
}

} // namespace bankd
