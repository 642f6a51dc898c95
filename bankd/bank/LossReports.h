#pragma once
// Loss reports: the user's credit (and check) cards, cash cards and passbooks
// with any loss already recorded, and the reports that record a loss. A
// reported card is stopped (its accident record); a reported passbook keeps
// its account but carries the loss. A report of several cards is one
// transaction: all of them or none.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"

namespace bankd {

class Db;
class Store;

namespace loss {

// The text a card or passbook carries once reported.
inline constexpr const char* kLostMark = "분실신고";
// Loss texts and list fields go out within 14 characters.
inline constexpr std::size_t kTextLimit = 14;
// A report names at most this many cards; CARDDATA is at most 1023
// characters, each number at most 49 digits.
inline constexpr std::size_t kMaxCards = 20;
inline constexpr std::size_t kCardDataLimit = 1023;
inline constexpr std::size_t kCardDigitsLimit = 49;

enum class CardKind { Credit, Cash };

struct CardLine {
    std::string cardNo;     // as printed, "9410-1234-5678-9012"
    std::string accountNo;  // as printed
    std::string loss;       // "" or "분실신고(11/05)"
    std::string type;       // kind name (cash cards)
};
struct PassbookLine {
    std::string type;       // kind name
    std::string accountNo;  // as printed
    std::string balance;    // "3,250,000"
};

// The loss text of an accident record and its time ("YYYY-MM-DD HH:MM:SS"):
// the record with the month and day when that fits 14 characters, else the
// record alone when it fits, else "사고등록".
std::string lossText(const std::string& accident, const std::string& at);

std::vector<CardLine> cardsOf(Db& db, std::int64_t customerId, CardKind kind);
std::vector<PassbookLine> passbooksOf(Db& db, std::int64_t customerId);

// CARDDATA: numbers of digits, each ended by ";". No value for anything else
// (empty, over-long, too many cards, a number that is not 1 to 49 digits).
// Repeated numbers count once.
std::optional<std::vector<std::string>> parseCardData(const std::string& cardData);

enum class Outcome { Reported, NotOwn };
// Records the loss of every card in `cardNos`, all in the caller's write
// transaction, when every one is the customer's card of that kind; otherwise
// nothing. A card reported before stays as it was and counts as done.
Outcome reportCards(Db& db, std::int64_t customerId, CardKind kind, const std::vector<std::string>& cardNos,
                    const std::string& at);

// A passbook (any account but a loan) of the customer.
bool isOwnPassbook(Db& db, std::int64_t customerId, const std::string& accountNo);
// Records the passbook's loss once; a passbook reported before stays as it was.
void reportPassbook(Db& db, const std::string& accountNo, const std::string& at);
// "" when the passbook has no loss recorded.
std::string passbookLoss(Db& db, const std::string& accountNo);

} // namespace loss
} // namespace bankd
