#pragma once
// What a card's holder may look up with the card's PIN: approvals between two
// dates, the bill of a billing date and its items, the available amounts and
// the arrears. Lists are paged and newest first.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Cards.h"

namespace bankd {

class Db;

namespace cards {

// The longest period of an approval inquiry.
inline constexpr int kMaxPeriodDays = 92;

// Both dates real YYYYMMDD dates, the start not after the end, the period
// within kMaxPeriodDays.
bool validPeriod(const std::string& from, const std::string& to);

struct Approval {
    std::string date;  // YYYYMMDD
    std::string merchant;
    std::int64_t amount = 0;
    std::string salesKind;  // "일시불", "할부", "현금서비스"
    int instalments = 0;
    std::string receipt;    // "매입" / "미매입"
    std::string cancelledOn;  // YYYYMMDD or empty
};
struct ApprovalPage {
    std::vector<Approval> items;
    bool more = false;
};
ApprovalPage approvals(Db& db, const std::string& cardNo, const std::string& from, const std::string& to, int page,
                       int pageSize);

// The ten amounts of a bill, principal and fee in turn: lump sum, cash
// service, instalments, overseas use, revolving payment.
struct Bill {
    std::string billingDate;  // YYYYMMDD
    std::string settlementNo;
    std::array<std::int64_t, 10> amounts{};
    std::int64_t total() const;
};
// A bill of the card on that date: the date must be a real billing date of
// the card (its billing day) with a bill.
std::optional<Bill> bill(Db& db, const Card& card, const std::string& billingDate);

struct BillItem {
    std::string usedOn;  // YYYYMMDD
    std::string merchant;
    std::string salesKind;
    std::int64_t amount = 0;
    std::int64_t fee = 0;
    std::string instalmentNo;  // "2/3" or empty
    std::int64_t instalmentAmount = 0;
    std::int64_t instalmentBalance = 0;
};
struct BillItemPage {
    std::vector<BillItem> items;
    bool more = false;
};
BillItemPage billItems(Db& db, const std::string& cardNo, const std::string& billingDate, int page, int pageSize);

// Arrears of a card: first overdue day, today's unpaid bill, and eleven
// amounts (lump sum, cash service, instalments, overseas use, each principal
// and fee; advance principal and interest; annual fee).
struct Arrears {
    std::string firstOverdueOn;  // YYYYMMDD, empty without arrears
    std::int64_t todayUnpaid = 0;
    std::array<std::int64_t, 11> amounts{};
    std::int64_t total() const;
};
Arrears arrears(Db& db, const std::string& cardNo);

} // namespace cards
} // namespace bankd
