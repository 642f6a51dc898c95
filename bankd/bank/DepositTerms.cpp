#include "DepositTerms.h"

#include "Sqlite.h"

namespace bankd::deposits {

void setTerms(Db& db, const DepositTerms& t)
{
    auto s = db.prepare(
        "INSERT INTO deposit_terms (account_no, rate, maturity) VALUES (?1, ?2, ?3) "
        "ON CONFLICT(account_no) DO UPDATE SET rate = excluded.rate, maturity = excluded.maturity");
    s.bind(1, t.accountNo).bind(2, t.rate).bind(3, t.maturity);
    s.run();
}

std::optional<DepositTerms> terms(Db& db, const std::string& accountNo)
{
    auto s = db.prepare("SELECT account_no, rate, maturity FROM deposit_terms WHERE account_no = ?1");
    s.bind(1, accountNo);
    if (!s.step())
        return std::nullopt;
    return DepositTerms{s.text(0), s.text(1), s.text(2)};
}

} // namespace bankd::deposits
