#pragma once
// How replies print amounts and dates, and how requests give dates: shared by
// the handlers.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace bankd::reply {

// Grouped by three with ",", as the screens show amounts.
std::string grouped(std::int64_t v);
// "YYYYMMDD" or the date part of "YYYY-MM-DD HH:MM:SS" as "YYYY.MM.DD".
std::string dotted(const std::string& date);
// A YYYYMMDD text that names a real calendar day.
std::optional<std::chrono::year_month_day> parseDate(const std::string& text);
std::string ymdText(std::chrono::year_month_day ymd);

} // namespace bankd::reply
