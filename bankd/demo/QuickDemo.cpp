#include "QuickDemo.h"

#include <cmath>
#include <cstdio>

#include "Accounts.h"
#include "Enrolment.h"
#include "ExchangeRates.h"
#include "ReplyFormat.h"

namespace bankd {

namespace {

struct Currency {
    const char* code;
    const char* country;
    double base;  // won per unit (JPY per 100)
};

const Currency kCurrencies[] = {
    {"USD", "미국", 1312.50}, {"JPY", "일본(100)", 884.27}, {"EUR", "유럽연합", 1418.36},
    {"CNY", "중국", 181.04},  {"GBP", "영국", 1652.91},     {"HKD", "홍콩", 168.22},
    {"CAD", "캐나다", 958.60}, {"AUD", "호주", 861.73},
};

// "1,312.50": two decimals, grouped integer part.
std::string money(double v)
{
    long long cents = std::llround(v * 100.0);
    char frac[8];
    std::snprintf(frac, sizeof frac, ".%02lld", cents % 100);
    return reply::grouped(cents / 100) + frac;
}

} // namespace

void addDemoRates(Db& db, Clock::time_point now)
{
    using std::chrono::hours;
    for (int daysAgo = 0; daysAgo <= 40; ++daysAgo) {
        BankTime t = bankTime(now - hours(24 * daysAgo));
        const std::string posted =
            t.date.substr(0, 4) + "." + t.date.substr(4, 2) + "." + t.date.substr(6, 2) + " 09:10";
        double drift = 1.0 + 0.004 * std::sin(daysAgo * 0.7);
        const double usd = kCurrencies[0].base * drift;
        int seq = 0;
        for (const Currency& c : kCurrencies) {
            double base = c.base * drift * (1.0 + 0.001 * std::cos(daysAgo + seq));
            char usdRate[16];
            std::snprintf(usdRate, sizeof usdRate, "%.4f", base / usd);
            rates::add(db, {t.date, ++seq, c.code, c.country, money(base * 1.01), money(base * 0.99),
                            money(base * 1.0175), money(base * 0.9825), money(base * 1.012), money(base),
                            money(base * 0.999), usdRate, posted});
        }
    }
}

void addDemoEnrolment(Db& db, Clock::time_point now, const std::string& accountHash)
{
    using std::chrono::hours;
    const std::string stamp = bankTimestamp(now);
    auto at = [&](int daysAgo) { return bankTimestamp(now - hours(24 * daysAgo)); };
    auto openAccount = [&](std::int64_t holder, const char* display, std::int64_t opening) {
        Account a;
        a.accountNo = accounts::digitsOnly(display);
        a.customerId = holder;
        a.displayNo = display;
        a.kindName = "보통예금";
        a.kindCode = "A04";
        a.withdrawal = true;
        a.openedOn = bankTime(now - hours(24 * 200)).date;
        accounts::add(db, a, accountHash);
        accounts::post(db, a.accountNo, opening, at(90), "신규", "");
        accounts::post(db, a.accountNo, 1'800'000, at(25), "급여", "타브린상사");
        accounts::post(db, a.accountNo, -64'000, at(9), "카드대금", "타브린카드");
        accounts::post(db, a.accountNo, -30'000, at(1), "이체", "김민준");
    };

    std::int64_t holder = enrolment::addHolder(db, "최유진", "9203152456781", stamp);
    openAccount(holder, "110-567-890123", 1'250'000);

    std::int64_t applicant = enrolment::addHolder(db, "정하늘", "8808082456789", stamp);
    openAccount(applicant, "110-678-901234", 640'000);
    enrolment::addApplication(db, {"8808082456789", "SKYJUNG", "정하늘", bankTime(now - hours(24 * 3)).date,
                                   bankTime(now + hours(24 * 27)).date, 0});
}

} // namespace bankd
