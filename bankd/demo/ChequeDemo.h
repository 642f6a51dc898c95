#pragma once
// Demo data of the cheque inquiry: cheques the bank issued, one with an
// accident record, and one of another bank with a payment stop.
#include "Clock.h"

namespace bankd {

class Db;

void addDemoCheques(Db& db, Clock::time_point now);

} // namespace bankd
