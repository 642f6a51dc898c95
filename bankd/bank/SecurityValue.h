#pragma once
#include <utility>
// The security value of a transaction that moves money or changes what
// protects it: the asked cell of the customer's 35-cell security card (means
// "S") or a certificate signature of "1" bound to the gateway session and to
// the time of signing (means "K"), accepted once. Checked under the security
// means' failure count and lock, inside the caller's write transaction, so
// that the count, the check and the transaction's own work commit together.
#include <cstdint>
#include <string>

#include "Clock.h"

namespace bankd {

class Db;
struct Customer;

struct SecurityInput {
    std::string way;        // ScrtyWay: "S" or "K"
    std::string cell;       // RandomNum: the asked cell, "1" to "35"
    std::string value;      // SecPwd: the cell's four digits
    std::string signedMsg;  // SignedMsg
    std::string sessionKey;
};

enum class SecurityResult {
    Ok,
    OtherMeans,      // not the customer's registered means (not counted)
    WrongCard,
    WrongSignature,
    Locked,          // five wrong values: refused until `bankd unlock --security`
};

// signatureMaxAge: seconds a signature stays valid after signing.
SecurityResult checkSecurityValue(Db& db, const Customer& customer, const SecurityInput& in, Clock::time_point now,
                                  std::int64_t signatureMaxAge = 300);

// The result code and text a money movement is refused with after a failed
// check ({nullptr, nullptr} for Ok).
std::pair<const char*, const char*> moneyRefusalOf(SecurityResult r);

} // namespace bankd
