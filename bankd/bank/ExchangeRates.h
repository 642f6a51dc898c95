#pragma once
// Exchange rates the bank posts for a day: one row per currency, rates kept as
// the texts the bank prints ("1,312.50").
#include <string>
#include <vector>

namespace bankd {

class Db;

struct ExchangeRate {
    std::string date;      // YYYYMMDD
    int seq = 0;           // order of the currencies on the board
    std::string currency;  // "USD"
    std::string country;   // "미국"
    std::string send, receive, cashBuy, cashSell, tcBuy, baseRate, bokRate, usdRate;
    std::string postedAt;  // "2026.12.08 09:10"
};

namespace rates {

void add(Db& db, const ExchangeRate& r);
// The rates of one day in board order; empty when none were posted.
std::vector<ExchangeRate> ofDay(Db& db, const std::string& date);

} // namespace rates
} // namespace bankd
