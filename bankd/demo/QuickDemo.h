#pragma once
// Demo data of the login-free screens: exchange rates of the last weeks, an
// account holder who can enrol with an own account (최유진, resident number
// 9203152456781, account 110-567-890123, password 1234) and a branch
// application still pending (정하늘, 8808082456789, ID SKYJUNG, account
// 110-678-901234, password 1234).
#include <string>

#include "Clock.h"

namespace bankd {

class Db;
class Store;

void addDemoRates(Db& db, Clock::time_point now);
void addDemoEnrolment(Db& db, Clock::time_point now, const std::string& accountHash);

} // namespace bankd
