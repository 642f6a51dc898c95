#pragma once
// Card cash service: a cash advance from a credit card to the card's own
// settlement account. PDA_C007 checks it (card usable, amount within the
// per-advance and remaining limits, fee) and keeps a single-use check bound
// to the session, the card and the amount; PDA_C008 executes that check once,
// after the PIN and the security value, in one database transaction: the
// settlement account is credited, the advance and its fee recorded and the
// card's cash-service balance raised.
#include <chrono>
#include <cstdint>
#include <string>
#include <variant>

#include "Cards.h"
#include "Clock.h"

namespace bankd {

class Store;

namespace cardcash {

struct Limits {
    std::chrono::seconds checkLife{600};  // a check must be executed within this time
    std::int64_t signatureMaxAge = 300;
};

// The fee of an advance: 1.5 % of the amount, in whole ten won (cut).
std::int64_t feeFor(std::int64_t amount);

struct Request {
    std::string userId;
    std::string sessionKey;
    std::string cardNo;  // CardNO, digits
    std::string pin;     // CardPwd
    std::string amount;  // Cash, digits
    // PDA_C008 only
    std::string scrtyWay, randomNum, secPwd, signedMsg;
};

struct Checked {
    std::string cardDisplay;
    std::string accountDisplay;
    std::int64_t amount = 0;
    std::int64_t cashBefore = 0;  // cash-service balance before the advance
    std::int64_t fee = 0;
};
std::variant<cards::Refusal, Checked> check(Store& store, const Request& in, Clock::time_point now,
                                            const Limits& limits = {});

struct Executed {
    std::string memberName;
    std::string cardDisplay;
    std::string accountDisplay;
    std::int64_t amount = 0;
    std::int64_t cashAfter = 0;
    std::int64_t fee = 0;
};
std::variant<cards::Refusal, Executed> execute(Store& store, const Request& in, Clock::time_point now,
                                               const Limits& limits = {});

} // namespace cardcash
} // namespace bankd
