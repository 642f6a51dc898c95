#pragma once
// Demo data of the notices: more than one page, one a week, newest last.
#include "Clock.h"

namespace bankd {

class Db;

void addDemoNotices(Db& db, Clock::time_point now);

} // namespace bankd
