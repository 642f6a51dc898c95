#pragma once
// Customer information: the profile the bank keeps, the change of the login
// password (the current one checked under the login lock) and of the
// security means (only to a means the customer holds).
#include <cstdint>
#include <string>
#include <variant>

#include "Clock.h"

namespace bankd {

class Db;
class Store;

struct Profile {
    std::string zipCode;
    std::string address1;
    std::string address2;
    std::string homePhone;
    std::string mobile;
    std::string email;
    std::string solar = "1";              // "1" solar calendar, "2" lunar
    std::string birthDate;                // YYYYMMDD
    std::string weddingDate = "00000000"; // "00000000": none
    std::string businessCode;             // occupation table code
    std::string workplace;
    std::string workPhone;
    std::string position;
};

namespace customerinfo {

struct Refusal {
    std::string code;
    std::string text;
};

void setProfile(Db& db, std::int64_t customerId, const Profile& p);
// The stored profile, or an empty one.
Profile profile(Db& db, std::int64_t customerId);

// True for 4 to 8 letters and digits with at least one of each (upper case,
// as login compares them).
bool acceptablePassword(const std::string& normalised);

// PDA_I003. On success the caller ends the user's other sessions.
std::variant<Refusal, std::string> changePassword(Store& store, const std::string& userId, const std::string& current,
                                                  const std::string& next, Clock::time_point now);

// PDA_I005: "S" needs an issued security card, "K" an active certificate.
// The change is recorded (old and new means, time).
std::variant<Refusal, std::string> changeSecurityWay(Store& store, const std::string& userId, const std::string& way,
                                                     Clock::time_point now);

} // namespace customerinfo
} // namespace bankd
