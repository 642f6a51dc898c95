#pragma once
// Terms of a time deposit: the applied interest rate and the maturity date,
// shown in its details and its history.
#include <optional>
#include <string>

namespace bankd {

class Db;

struct DepositTerms {
    std::string accountNo;  // digits
    std::string rate;       // "3.50" (per cent a year)
    std::string maturity;   // YYYYMMDD
};

namespace deposits {

void setTerms(Db& db, const DepositTerms& t);
std::optional<DepositTerms> terms(Db& db, const std::string& accountNo);

} // namespace deposits
} // namespace bankd
