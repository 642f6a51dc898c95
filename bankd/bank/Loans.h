#pragma once
// Loans: general loans and credit lines are accounts of kind "A07" whose
// balance (what is owed) lives in the accounts table like any other balance;
// the loan terms (rate, dates, paid-to date, overdue mark) are kept beside
// it. Interest on a general loan is quoted for a payment date (a single-use
// quote bound to the session, the loan and the date) and paid from one of the
// customer's withdrawal accounts in one database transaction.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Clock.h"

namespace bankd {

class Db;
class Store;

struct Loan {
    std::string accountNo;     // digits
    std::string displayNo;
    std::string kindName;      // "가계일반대출" ...
    bool creditLine = false;
    std::int64_t balance = 0;  // what is owed (credit line: what is drawn)
    std::int64_t amount = 0;   // amount lent (credit line: the limit)
    int rateBp = 0;            // yearly rate in hundredths of a percent
    int overdueBp = 0;         // extra yearly rate while overdue
    std::string startedOn;     // YYYYMMDD
    std::string maturityOn;
    std::string paidTo;        // interest paid up to and including this day
    std::string nextDue;       // next interest payment day
    std::string overdueSince;  // empty when not overdue
    std::string repayment;     // "만기일시상환" ...
    std::string autoAccount;   // display number of the auto-debit account, or empty
    std::string interestTerms; // "후취" ...
    int payments = 0;
    std::string lastPaidOn;
};

namespace loans {

struct NewLoan {
    std::string accountNo;
    bool creditLine = false;
    std::int64_t amount = 0;
    int rateBp = 0;
    int overdueBp = 300;
    std::string startedOn, maturityOn, paidTo, nextDue, overdueSince;
    std::string repayment = "만기일시상환";
    std::string autoAccount;
    std::string interestTerms = "후취";
    int payments = 0;
};
// The terms of an existing "A07" account.
void add(Db& db, const NewLoan& loan);

// The customer's loans of one kind, in account order. `today` decides the
// overdue mark of loans whose interest day has passed.
std::vector<Loan> ofCustomer(Db& db, std::int64_t customerId, bool creditLines, const std::string& today);
// One loan of the customer; the number may be written with "-" as listed.
std::optional<Loan> ownLoan(Db& db, std::int64_t customerId, const std::string& accountNo, const std::string& today);

// "YYYY.MM.DD" from YYYYMMDD (empty stays empty); "5.20%" from basis points.
std::string dotted(const std::string& date);
std::string rateText(int bp);

struct Refusal {
    std::string code;
    std::string text;
};

// Interest of a general loan due on a payment date.
struct Due {
    Loan loan;
    std::string holder;     // the borrower's name
    std::string date;       // payment date YYYYMMDD
    std::string from;       // first day of the period (the day after paid-to)
    std::int64_t interest = 0;
    std::int64_t overdueInterest = 0;
    std::string overdueSince;
};

// Interest for the days after paid-to up to the payment date:
// balance x rate x days / 365, plus balance x overdue rate x days overdue /
// 365, each rounded down to whole won.
Due dueOn(const Loan& loan, const std::string& date, const std::string& today);

struct Limits {
    std::chrono::seconds quoteLife{600};
    std::int64_t signatureMaxAge = 300;
};

// PDA_L003: checks the loan and the date and opens the single-use quote.
std::variant<Refusal, Due> quote(Store& store, const std::string& userId, const std::string& sessionKey,
                                 const std::string& loanAccNo, const std::string& sdate, Clock::time_point now,
                                 const Limits& limits = {});

// PDA_L004 as the client sends it.
struct PayInput {
    std::string userId;
    std::string sessionKey;
    std::string from;       // OutAccNO
    std::string password;   // OutAccPWD
    std::string loan;       // LoanAccNo
    std::string sdate;
    std::string scrtyWay;
    std::string randomNum;
    std::string secPwd;
    std::string signedMsg;
};

struct Paid {
    Due due;
    std::string fromDisplay;
    std::int64_t balanceAfter = 0;  // of the paying account
};

std::variant<Refusal, Paid> pay(Store& store, const PayInput& in, Clock::time_point now, const Limits& limits = {});

} // namespace loans
} // namespace bankd
