#pragma once
// Enrolment of new internet-banking users without a login. Two roads: a
// customer who applied at a branch (the ID chosen there, valid for a while,
// three wrong IDs end it) sets a password; an account holder who did not
// apply enrols with an own demand-deposit account and its password. Every
// check of the identification is repeated inside the transaction that
// creates the user, so a repeat or a parallel twin never creates a second one.
#include <cstdint>
#include <optional>
#include <string>

#include "Customers.h"

namespace bankd {

class Db;

struct EnrolApplication {
    std::string juminNo;
    std::string userId;
    std::string name;
    std::string appliedOn;   // YYYYMMDD
    std::string validUntil;  // YYYYMMDD, last valid day
    int failures = 0;        // wrong IDs given so far
};

namespace enrolment {

// The identification's outcomes, as the client reads them.
enum class Outcome {
    Branch = 0,       // applied at a branch: set the password
    Expired = 1,      // application past its validity or ended by wrong IDs
    Registered = 2,   // already a user
    OtherId = 3,      // not the ID chosen at the branch
    IdTaken = 4,      // the ID belongs to someone else
    OwnAccount = 5,   // account holder: enrol with an own account
    NoAccount = 6,    // no demand-deposit account at the bank
};

inline constexpr int kApplicationIdFailures = 3;

const char* outcomeText(Outcome o);

void addApplication(Db& db, const EnrolApplication& a);
std::optional<EnrolApplication> application(Db& db, const std::string& juminNo);
// An account holder who is not a user (no login can name the record).
std::int64_t addHolder(Db& db, const std::string& name, const std::string& juminNo, const std::string& now);
std::optional<std::int64_t> holderOf(Db& db, const std::string& juminNo);

// Demand-deposit kinds (보통예금, 저축예금 ...).
bool demandDeposit(const std::string& kindCode);
// 4 to 8 letters and digits with at least one of each, both entries equal.
bool passwordRuleMet(const std::string& pwd1, const std::string& pwd2);

// Identification of userId (upper case) and a 13-digit resident number on
// `today` (YYYYMMDD). A wrong ID for a branch application is counted, so run
// it in a write transaction.
Outcome identify(Db& db, const std::string& userId, const std::string& juminNo, const std::string& today);

// Makes the identified person a user with the password hash and security
// card: the holder record becomes the user, or a new customer is made from
// the branch application (which is then used up). Inside the caller's write
// transaction, right after identify() gave Branch or OwnAccount.
std::int64_t createUser(Db& db, const std::string& userId, const std::string& juminNo, const std::string& pwdHash,
                        const SecurityCard& card, const std::string& now);

} // namespace enrolment
} // namespace bankd
