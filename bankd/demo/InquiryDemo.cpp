#include "InquiryDemo.h"

#include "Accounts.h"
#include "DepositTerms.h"

namespace bankd {

namespace {
using std::chrono::hours;

std::string daysAgo(Clock::time_point now, int days, int hour = 10)
{
    return bankTimestamp(now - hours(24 * days) + hours(hour - 10));
}
} // namespace

void addInquiryDemoHistory(Db& db, const Account& a, int index, Clock::time_point now)
{
    if (a.kindCode == "A01") {
        // Monthly instalments over the last six months.
        for (int m = 6; m >= 1; --m)
            accounts::post(db, a.accountNo, 200'000, daysAgo(now, 30 * m - 3), "적금불입", "자동이체");
    } else if (a.kindCode == "A06") {
        deposits::setTerms(db, {a.accountNo, index % 2 ? "3.80" : "3.50",
                                bankTime(now + hours(24 * (240 + 30 * index))).date});
    } else if (a.kindCode == "A04" && index == 0) {
        // The main ordinary account: three more months of salary and spending,
        // with two movements on the same day.
        for (int m = 3; m >= 1; --m) {
            int base = 30 * m + 45;
            accounts::post(db, a.accountNo, 2'500'000, daysAgo(now, base, 9), "급여", "타브린상사");
            accounts::post(db, a.accountNo, -350'000, daysAgo(now, base - 5, 11), "관리비", "한빛아파트");
            accounts::post(db, a.accountNo, -73'200, daysAgo(now, base - 5, 15), "통신요금", "무선통신");
            accounts::post(db, a.accountNo, -500'000, daysAgo(now, base - 12, 14), "이체", "김영희");
        }
    }
}

} // namespace bankd
