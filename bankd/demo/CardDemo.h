#pragma once
// Demo data of the cards: each demo customer has a credit card, a check card
// and a cash card; DEMOS also a family card in arrears and an old card with a
// loss report. Approvals over several pages, bills on the card's billing day
// with their items, special limits and a past cash advance.
#include <map>
#include <string>
#include <vector>

#include "Clock.h"

namespace bankd {

class Db;

// PIN of every demo card.
inline constexpr const char* kDemoCardPin = "1234";

// After the demo customers and their accounts exist. pinHash: the hash of
// kDemoCardPin. Returns per user ID the lines that tell the demo cards.
std::map<std::string, std::vector<std::string>> addCardDemo(Db& db, Clock::time_point now,
                                                             const std::string& pinHash);

} // namespace bankd
