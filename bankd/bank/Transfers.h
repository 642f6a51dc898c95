#pragma once
// Transfers: a transfer is first checked and priced (a quote with a serial
// number that names this one transfer), then executed once after the security
// step, or registered as a scheduled transfer when its date lies ahead.
// Scheduled transfers run when due. Amounts are whole won in 64-bit integers;
// every movement of money is one database transaction, and the sum over all
// balances changes only by the fees (and by what is sent to other banks).
#include <chrono>
#include <cstdint>
#include <string>
#include <variant>

#include "Clock.h"

namespace bankd {

class Db;
class Store;

namespace transfers {

struct Limits {
    std::int64_t perTransfer = 10'000'000;  // won per transfer
    std::int64_t daily = 50'000'000;        // won per source account and day
    std::chrono::seconds quoteLife{600};    // a quote must be executed within this time
    int maxDaysAhead = 90;                  // latest date of a scheduled transfer
    std::int64_t signatureMaxAge = 300;     // seconds between signing and executing
};

// Counts an executed transfer into its source account's sum of the day (the
// daily limit); every transfer recorded with result "0000" must pass here,
// in the same transaction.
void addToDaySum(Db& db, const std::string& accountNo, const std::string& date, std::int64_t amount);

// The fee of a transfer: none inside the bank, 500 won to another bank up to
// 1,000,000 won and 1,000 won above.
std::int64_t feeFor(const std::string& bankCode, std::int64_t amount);

// The holder's name of a deposit account as the bank knows it (its own
// accounts but loans, and other banks' accounts the clearing house knows);
// empty when unknown.
std::string recipientOf(Db& db, const std::string& bankCode, const std::string& accountNo);

struct Refusal {
    std::string code;
    std::string text;
};

// PDA_T001 as the client sends it (values as they arrive).
struct QuoteInput {
    std::string userId;
    std::string sessionKey;
    std::string from;      // WthrwAccNO
    std::string password;  // AccPwd
    std::string bankCode;  // DepstBankCD
    std::string to;        // DepstAccNO
    std::string amount;    // TranMny
    std::string sender;    // Sender (empty: the holder's name)
    std::string cms;       // CMSCD
    std::string execDate;  // IcheExecdate, YYYYMMDD
};

// A checked and priced transfer.
struct Quote {
    std::string serial;
    std::string fromAccount;  // digits
    std::string fromDisplay;  // as the bank prints it
    std::string bankCode;
    std::string bankName;
    std::string toAccount;    // digits
    std::string recipient;
    std::int64_t amount = 0;
    std::int64_t fee = 0;
    std::string sender;
    std::string cms;
    std::string execDate;     // YYYYMMDD
    std::int64_t balanceBefore = 0;
    std::int64_t daySum = 0;  // executed today from the source account
    std::int64_t dailyLimit = 0;
    bool scheduled = false;   // the date lies ahead
};

std::variant<Refusal, Quote> makeQuote(Store& store, const QuoteInput& in, Clock::time_point now,
                                       const Limits& limits);

// PDA_T002: the echoed quote and the security fields.
struct ExecInput {
    std::string userId;
    std::string sessionKey;
    std::string serial;       // Seq
    std::string from;         // WthrwAccNO
    std::string bankName;     // DepstBankNm
    std::string recipient;    // RcverNm
    std::string cms;          // CMSCD
    std::string execDate;     // IcheExecdate
    std::string to;           // DepstAccNO
    std::string amount;       // TranMny
    std::string sender;       // Sender
    std::string fee;          // Charge
    std::string bankCode;     // DepstBankCD
    std::string scrtyWay;
    std::string randomNum;
    std::string secPwd;
    std::string signedMsg;
};

struct Executed {
    Quote quote;
    bool scheduled = false;
    std::int64_t balanceAfter = 0;
    std::string messageNo;    // seven digits
    std::int64_t scheduleId = 0;
};

std::variant<Refusal, Executed> execute(Store& store, const ExecInput& in, Clock::time_point now,
                                        const Limits& limits);

// Runs every scheduled transfer due by `now` (bank date), each in its own
// transaction: result "0000" when carried out, else the failure code. Returns
// how many ran.
int runDue(Store& store, Clock::time_point now, const Limits& limits = {});

} // namespace transfers
} // namespace bankd
