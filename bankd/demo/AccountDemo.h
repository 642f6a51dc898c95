#pragma once
// Demo data of customer information: the profiles of the demo customers
// (addresses, phones, dates, occupation, workplace).
namespace bankd {

class Db;

// After the demo customers exist.
void addAccountDemo(Db& db);

} // namespace bankd
