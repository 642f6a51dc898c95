#pragma once
// Cards: credit and check cards with a settlement account, PIN, limits and
// billing day, and cash cards of deposit accounts. An accident record (a loss
// report) stops a card. Card numbers are kept as their digits; the bank
// prints them in groups of four.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Clock.h"
#include "Customers.h"

namespace bankd {

class Db;
class Store;

struct Card {
    std::string cardNo;        // digits
    std::int64_t customerId = 0;
    std::string kind;          // "credit", "check", "cash"
    std::string kindName;      // "개인신용" ...
    std::string expiry;        // YYYYMM, last month of validity
    std::string branch;
    std::string settlementNo;  // digits of the settlement (or linked) account
    int billingDay = 0;        // 5, 12, 20, 23 or 27; 0 without bills
    std::int64_t totalLimit = 0;
    std::int64_t cashLimit = 0;
    std::int64_t advanceLimit = 0;  // per cash advance
    std::int64_t usedAmount = 0;    // purchases not yet paid
    std::int64_t cashUsed = 0;      // cash-service balance (sum of advances)
    std::int64_t cashFees = 0;      // fees of those advances
    std::string specialFrom, specialTo;  // special limit period, YYYYMMDD
    std::int64_t specialAmount = 0;
    std::int64_t specialUsed = 0;
    std::string accident;      // empty: none
    std::string issuedOn;      // YYYYMMDD
};

namespace cards {

// The billing days a card may have.
inline constexpr int kBillingDays[] = {5, 12, 20, 23, 27};

void add(Db& db, const Card& c, const std::string& pinHash);
std::optional<Card> find(Db& db, const std::string& cardNo);
std::optional<std::string> pinHash(Db& db, const std::string& cardNo);

// "9410-1234-5678-9012"; "2028-05".
std::string displayNo(const std::string& cardNo);
std::string displayExpiry(const std::string& expiry);
std::string displayAccount(Db& db, const std::string& accountNo);
bool expired(const Card& c, Clock::time_point now);
// "1,234,500".
std::string amountText(std::int64_t amount);
// "2026-12-08" from YYYYMMDD.
std::string dashedDate(const std::string& yyyymmdd);

// Paging by continuation key: the client asks with the last reply key plus
// one ("000" at first); the reply key is the page just sent while more
// follow, "000" on the last. Anything but three digits is refused.
std::optional<int> pageOfKey(const std::string& key);
std::string replyKey(int page, bool more);

struct CardPage {
    std::vector<Card> cards;
    bool more = false;
};
// The customer's credit and check cards, newest issue first.
CardPage heldCards(Db& db, std::int64_t customerId, int page, int pageSize);

struct Refusal {
    std::string code;
    std::string text;
};

// A card of the user, opened with its PIN: the card must be the user's
// credit or check card, and the PIN is checked under the card's failure count
// and lock (one lock for every card transaction).
struct Opened {
    Customer customer;
    Card card;
};
std::variant<Refusal, Opened> open(Store& store, const std::string& userId, const std::string& cardNo,
                                   const std::string& pin, Clock::time_point now);

} // namespace cards
} // namespace bankd
