#pragma once
// Account management: which of the customer's accounts may be used for
// transfers (withdrawal accounts, behind the account password and, to
// register, the security value), the favourite deposit accounts (the holder's
// name is always the bank's own lookup), and the accounts hidden from the
// inquiry screens. Every change is one database transaction.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "Clock.h"
#include "SecurityValue.h"

namespace bankd {

class Db;
class Store;

namespace accountmgmt {

struct Refusal {
    std::string code;
    std::string text;
};

struct Done {
    std::string text;  // the bank's confirmation shown to the customer
};

// PDA_A004: SqlType "1" registers, "2" deletes a withdrawal account. Both
// need the account password; registering needs the security value. Repeats
// succeed without changing anything.
struct WithdrawalInput {
    std::string userId;
    std::string sqlType;
    std::string accountNo;
    std::string password;
    SecurityInput security;
};
std::variant<Refusal, Done> changeWithdrawal(Store& store, const WithdrawalInput& in, Clock::time_point now);

// PDA_A002: SqlType "1" registers, "2" modifies (IPANO names the entry), "3"
// deletes a favourite deposit account.
struct FavouriteInput {
    std::string userId;
    std::string sqlType;
    std::string bankCode;
    std::string accountNo;
    std::string nickname;
    std::string serial;  // IPANO
};
inline constexpr int kMaxFavourites = 30;
std::variant<Refusal, Done> changeFavourite(Store& store, const FavouriteInput& in, Clock::time_point now);

// PDA_A007: the holder's name of a deposit account, asked with one of the
// customer's own accounts as the inquiring account.
std::variant<Refusal, std::string> holderName(Store& store, const std::string& userId, const std::string& bankCode,
                                              const std::string& accountNo, const std::string& withdrawalNo);

// PDA_A005: the security value of the hiding screen (a card cell or a
// signature, accepted once).
std::variant<Refusal, Done> checkHidingSecurity(Store& store, const std::string& userId, const SecurityInput& in,
                                                Clock::time_point now);

struct HiddenRow {
    std::string kindName;
    std::string displayNo;
    std::int64_t balance = 0;
    bool hidden = false;
};
std::vector<HiddenRow> hiddenFlags(Store& store, const std::string& userId);

// PDA_A006: "number;flag;|" for each account, flags "0" or "1". Nothing is
// changed unless every row is well formed and names one of the customer's
// accounts once.
std::variant<Refusal, Done> saveHiddenFlags(Store& store, const std::string& userId, const std::string& rows);

} // namespace accountmgmt
} // namespace bankd
