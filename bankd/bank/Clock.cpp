#include "Clock.h"

#include <cstdio>
#include <ctime>

namespace bankd {

namespace {
constexpr std::chrono::hours kBankOffset{9};

std::tm bankTm(Clock::time_point t)
{
    std::time_t secs = std::chrono::system_clock::to_time_t(t + kBankOffset);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    return tm;
}
} // namespace

BankTime bankTime(Clock::time_point t)
{
    std::tm tm = bankTm(t);
    char d[48];
    char h[48];
    std::snprintf(d, sizeof d, "%04d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    std::snprintf(h, sizeof h, "%02d%02d%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return {d, h};
}

std::string bankTimestamp(Clock::time_point t)
{
    std::tm tm = bankTm(t);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

bool parseBankTimestamp(const std::string& text, Clock::time_point* out)
{
    std::tm tm{};
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec) != 6)
        return false;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    std::time_t secs = timegm(&tm);
    *out = std::chrono::system_clock::from_time_t(secs) - kBankOffset;
    return true;
}

} // namespace bankd
