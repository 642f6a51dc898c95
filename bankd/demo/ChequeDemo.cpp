#include "ChequeDemo.h"

#include "Cheques.h"

namespace bankd {

using std::chrono::hours;

void addDemoCheques(Db& db, Clock::time_point now)
{
    auto issued = [&](int days) { return bankTime(now - hours(24 * days)).date; };
    cheques::add(db, {"20", "0123", "12345678", "50", 1'234'000, issued(12), ""});
    cheques::add(db, {"20", "0123", "12345679", "51", 100'000, issued(30), ""});
    cheques::add(db, {"20", "0456", "23456789", "53", 300'000, issued(5), ""});
    cheques::add(db, {"20", "0456", "23456790", "55", 500'000, issued(40), "분실신고 접수"});
    cheques::add(db, {"20", "0789", "34567890", "56", 1'000'000, issued(2), ""});
    cheques::add(db, {"83", "0077", "45678901", "50", 750'000, issued(60), "지급정지"});
}

} // namespace bankd
