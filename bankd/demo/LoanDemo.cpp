#include "LoanDemo.h"

#include <string>

#include "Accounts.h"
#include "Loans.h"
#include "Sqlite.h"

namespace bankd {

namespace {

using namespace std::chrono;

std::string dayOf(Clock::time_point now, int daysFromNow)
{
    return bankTime(now + hours(24 * daysFromNow)).date;
}

struct DemoLoan {
    const char* displayNo;
    bool creditLine;
    std::int64_t amount;  // lent, or the limit of a credit line
    int rateBp;
    int startedDaysAgo;
    int yearsToRun;
    int paidDaysAgo;      // interest paid up to this many days ago
    int payments;
    const char* repayment;
    const char* autoAccount;
};

} // namespace

void addLoanDemo(Db& db, Clock::time_point now)
{
    // paidDaysAgo 0: paid up to today. 45: the interest day 15 days ago went unpaid.
    const DemoLoan demo[] = {
        {"770-01-0012345", false, 20'000'000, 520, 400, 3, 20, 13, "만기일시상환", "110-234-567890"},
        {"770-01-0023456", false, 150'000'000, 410, 900, 20, 45, 28, "원리금균등분할상환", ""},
        {"770-05-0034567", true, 10'000'000, 690, 200, 1, 12, 6, "만기일시상환", "110-234-567890"},
        {"770-01-0045678", false, 5'000'000, 480, 300, 2, 0, 10, "만기일시상환", "110-234-567891"},
        {"770-02-0056789", false, 10'000'000, 550, 250, 2, 10, 8, "만기일시상환", "110-345-678901"},
        {"770-02-0067890", false, 60'000'000, 390, 500, 2, 40, 15, "만기일시상환", ""},
        {"770-06-0078901", true, 5'000'000, 720, 150, 1, 25, 4, "만기일시상환", "110-345-678902"},
        {"770-02-0089012", false, 2'000'000, 290, 700, 5, 0, 23, "원금균등분할상환", "110-345-678901"},
    };
    for (const DemoLoan& d : demo) {
        const std::string accountNo = accounts::digitsOnly(d.displayNo);
        if (!accounts::find(db, accountNo))
            continue;
        loans::NewLoan l;
        l.accountNo = accountNo;
        l.creditLine = d.creditLine;
        l.amount = d.amount;
        l.rateBp = d.rateBp;
        l.startedOn = dayOf(now, -d.startedDaysAgo);
        l.maturityOn = dayOf(now, 365 * d.yearsToRun - d.startedDaysAgo + 30);
        l.paidTo = dayOf(now, -d.paidDaysAgo);
        l.nextDue = dayOf(now, 30 - d.paidDaysAgo);
        l.repayment = d.repayment;
        l.autoAccount = d.autoAccount;
        l.payments = d.payments;
        loans::add(db, l);
    }
}

} // namespace bankd
