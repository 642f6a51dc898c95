#include "ReplyFormat.h"

#include <cstdio>

#include "Accounts.h"

namespace bankd::reply {

// Grouped by three with ",", as the screens show amounts.
std::string grouped(std::int64_t v)
{
    bool negative = v < 0;
    std::string digits = std::to_string(negative ? -v : v);
    std::string out;
    int n = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (n > 0 && n % 3 == 0)
            out.insert(out.begin(), ',');
        out.insert(out.begin(), *it);
        ++n;
    }
    return negative ? "-" + out : out;
}

// "YYYYMMDD" or the date part of "YYYY-MM-DD HH:MM:SS" as "YYYY.MM.DD".
std::string dotted(const std::string& date)
{
    std::string d = accounts::digitsOnly(date.substr(0, date.size() >= 10 && date[4] == '-' ? 10 : 8));
    if (d.size() != 8)
        return {};
    return d.substr(0, 4) + "." + d.substr(4, 2) + "." + d.substr(6, 2);
}

// A YYYYMMDD text that names a real calendar day.
std::optional<std::chrono::year_month_day> parseDate(const std::string& text)
{
    if (text.size() != 8 || accounts::digitsOnly(text) != text)
        return std::nullopt;
    using namespace std::chrono;
    year_month_day ymd{year(std::stoi(text.substr(0, 4))), month(static_cast<unsigned>(std::stoi(text.substr(4, 2)))),
                       day(static_cast<unsigned>(std::stoi(text.substr(6, 2))))};
    if (!ymd.ok())
        return std::nullopt;
    return ymd;
}

std::string ymdText(std::chrono::year_month_day ymd)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    return buf;
}

} // namespace bankd::reply
