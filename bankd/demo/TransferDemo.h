#pragma once
// Demo data of the transfers: accounts of other banks the clearing house
// knows, favourite deposit accounts, a month of past transfer results, and
// scheduled transfers in every state (pending, carried out, failed).
#include "Clock.h"

namespace bankd {

class Db;

// After the demo customers and their accounts exist.
void addTransferDemo(Db& db, Clock::time_point now);

} // namespace bankd
