#pragma once
// Deposit accounts (balances in whole won) and their history.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bankd {

class Db;

struct Account {
    std::string accountNo;   // digits only, the key
    std::int64_t customerId = 0;
    std::string displayNo;   // with "-" as the bank prints it
    std::string kindName;    // "보통예금" ...
    std::string kindCode;    // "A01" ...
    std::int64_t balance = 0;
    bool withdrawal = false; // may be used as a transfer's source account
    bool hidden = false;
    std::string nickname;
    std::string openedOn;    // YYYYMMDD
};

struct HistoryEntry {
    std::int64_t id = 0;
    std::string accountNo;
    std::string at;          // "YYYY-MM-DD HH:MM:SS" bank time
    std::string direction;   // "입금" / "지급"
    std::int64_t amount = 0;
    std::int64_t balanceAfter = 0;
    std::string memo;
    std::string counterpart;
};

namespace accounts {

std::string digitsOnly(const std::string& text);

void add(Db& db, const Account& a, const std::string& pwdHash);
std::optional<Account> find(Db& db, const std::string& accountNo);
std::vector<Account> ofCustomer(Db& db, std::int64_t customerId);
// What the account list shows of one account.
struct ListedAccount {
    std::string accountNo;
    std::string displayNo;
    std::string kindName;
    std::string kindCode;
    std::int64_t balance = 0;
    bool withdrawal = false;
    std::string nickname;
    std::string openedOn;
    std::string lastMovementDay;  // "YYYY-MM-DD" of its last history line, "" when none
};
// Calls each() with every account of the enrolled user userId that is not
// hidden, in opening order (then by number), from one query; false when
// userId names no enrolled customer.
bool forEachListed(Db& db, const std::string& userId, const std::function<void(const ListedAccount&)>& each);
std::optional<std::string> passwordHash(Db& db, const std::string& accountNo);
void setPasswordHash(Db& db, const std::string& accountNo, const std::string& hash);

// Moves money into (amount > 0) or out of (amount < 0) one account and
// records the history line; returns the balance after it, or nothing (and
// moves nothing) when it would go below zero. Must run inside the caller's
// transaction so that both sides of a transfer commit together.
std::optional<std::int64_t> post(Db& db, const std::string& accountNo, std::int64_t amount, const std::string& at,
                                 const std::string& memo, const std::string& counterpart);

std::vector<HistoryEntry> history(Db& db, const std::string& accountNo, const std::string& from,
                                  const std::string& to);

} // namespace accounts
} // namespace bankd
