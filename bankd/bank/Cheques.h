#pragma once
// Cheques the bank has issued, for the cheque inquiry: the issuing bank and
// branch, number, kind, amount, issue date and any accident record (loss or
// theft report, payment stop). An empty accident text means none.
#include <cstdint>
#include <optional>
#include <string>

namespace bankd {

class Db;

struct Cheque {
    std::string bankCode;   // "20", "83"
    std::string branchNo;   // issuing branch number, digits
    std::string chequeNo;   // digits
    std::string kindCode;   // "50" ordinary, "51" / "53" / "55" / "56" fixed amounts
    std::int64_t amount = 0;
    std::string issuedOn;   // YYYYMMDD
    std::string accident;   // empty: no accident recorded
};

namespace cheques {

void add(Db& db, const Cheque& c);
// The cheque with this number from this bank, if the bank issued one.
std::optional<Cheque> find(Db& db, const std::string& bankCode, const std::string& chequeNo);

} // namespace cheques
} // namespace bankd
