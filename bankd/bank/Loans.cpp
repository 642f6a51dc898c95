#include "Loans.h"

#include <cstdio>

#include "Accounts.h"
#include "Customers.h"
#include "LoanCodes.h"
#include "Quotes.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "SecurityValue.h"
#include "Sqlite.h"
#include "Store.h"
#include "TransferCodes.h"

namespace bankd::loans {

namespace {

using namespace std::chrono;

constexpr const char* kQuoteKind = "loan-interest";

std::optional<sys_days> dayOf(const std::string& t)
{
    if (t.size() != 8 || accounts::digitsOnly(t) != t)
        return std::nullopt;
    year_month_day d{year(std::stoi(t.substr(0, 4))), month(static_cast<unsigned>(std::stoi(t.substr(4, 2)))),
                     day(static_cast<unsigned>(std::stoi(t.substr(6, 2))))};
    if (!d.ok())
        return std::nullopt;
    return sys_days(d);
}

std::string textOf(sys_days d)
{
    year_month_day ymd(d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    return buf;
}

// The same day a month later, or the month's last day when it has none.
std::string monthAfter(const std::string& date)
{
    auto d = dayOf(date);
    if (!d)
        return date;
    year_month_day ymd(*d);
    year_month_day next = ymd + months(1);
    if (!next.ok())
        next = year_month_day(year_month_day_last(next.year(), month_day_last(next.month())));
    return textOf(sys_days(next));
}

std::int64_t daysBetween(const std::string& from, const std::string& to)
{
    auto a = dayOf(from);
    auto b = dayOf(to);
    if (!a || !b || *b <= *a)
        return 0;
    return (*b - *a).count();
}

// balance x bp / 10000 x days / 365, rounded down, without overflow.
std::int64_t interestOf(std::int64_t balance, int bp, std::int64_t days)
{
    if (balance <= 0 || bp <= 0 || days <= 0)
        return 0;
    __int128 v = static_cast<__int128>(balance) * bp * days;
    return static_cast<std::int64_t>(v / (10000 * 365));
}

const char* kSelect =
    "SELECT l.account_no, a.display_no, a.kind_name, l.kind, a.balance, l.amount, l.rate_bp, l.overdue_bp, "
    "l.started_on, l.maturity_on, l.paid_to, l.next_due, l.overdue_since, l.repayment, l.auto_account, "
    "l.interest_terms, l.payments, l.last_paid_on FROM loans l JOIN accounts a ON a.account_no = l.account_no ";

Loan loanFrom(Stmt& s, const std::string& today)
{
    Loan l;
    l.accountNo = s.text(0);
    l.displayNo = s.text(1);
    l.kindName = s.text(2);
    l.creditLine = s.text(3) == "credit";
    l.balance = s.integer(4);
    l.amount = s.integer(5);
    l.rateBp = static_cast<int>(s.integer(6));
    l.overdueBp = static_cast<int>(s.integer(7));
    l.startedOn = s.text(8);
    l.maturityOn = s.text(9);
    l.paidTo = s.text(10);
    l.nextDue = s.text(11);
    l.overdueSince = s.text(12);
    l.repayment = s.text(13);
    l.autoAccount = s.text(14);
    l.interestTerms = s.text(15);
    l.payments = static_cast<int>(s.integer(16));
    l.lastPaidOn = s.text(17);
    // An interest day that passed unpaid makes the loan overdue from that day.
    if (l.overdueSince.empty() && l.balance > 0 && !l.nextDue.empty() && l.nextDue < today)
        l.overdueSince = l.nextDue;
    return l;
}

// A loan number as the screens send it: digits, or digits with "-".
std::optional<std::string> loanNumber(const std::string& text)
{
    if (text.empty() || text.size() > 24)
        return std::nullopt;
    for (char c : text)
        if (!(c >= '0' && c <= '9') && c != '-')
            return std::nullopt;
    std::string digits = accounts::digitsOnly(text);
    if (digits.empty())
        return std::nullopt;
    return digits;
}

Refusal refuse(const char* code, const char* text)
{
    return {code, text};
}

// The checks of a payment date: not before today, not after the next
// interest day (or today, when that has passed) nor the maturity, and after
// the paid-to date.
std::optional<Refusal> dateRefusal(const Loan& l, const std::string& sdate, const std::string& today)
{
    if (!dayOf(sdate))
        return refuse(result::kLoanDate, result::kLoanDateText);
    if (sdate <= l.paidTo)
        return refuse(result::kLoanPaid, result::kLoanPaidText);
    const std::string last = l.nextDue > today ? l.nextDue : today;
    if (sdate < today || sdate > last || sdate > l.maturityOn)
        return refuse(result::kLoanDate, result::kLoanDateText);
    return std::nullopt;
}

quotes::Values boundValues(const Due& d)
{
    return {{"loan", d.loan.accountNo}, {"date", d.date}, {"interest", std::to_string(d.interest)},
            {"overdue", std::to_string(d.overdueInterest)}, {"paidTo", d.loan.paidTo}};
}

} // namespace

void add(Db& db, const NewLoan& n)
{
    auto s = db.prepare(
        "INSERT INTO loans (account_no, kind, amount, rate_bp, overdue_bp, started_on, maturity_on, paid_to, next_due, "
        "overdue_since, repayment, auto_account, interest_terms, payments) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    s.bind(1, n.accountNo).bind(2, n.creditLine ? "credit" : "general").bind(3, n.amount);
    s.bind(4, static_cast<std::int64_t>(n.rateBp)).bind(5, static_cast<std::int64_t>(n.overdueBp));
    s.bind(6, n.startedOn).bind(7, n.maturityOn).bind(8, n.paidTo).bind(9, n.nextDue).bind(10, n.overdueSince);
    s.bind(11, n.repayment).bind(12, n.autoAccount).bind(13, n.interestTerms);
    s.bind(14, static_cast<std::int64_t>(n.payments));
    s.run();
}

std::vector<Loan> ofCustomer(Db& db, std::int64_t customerId, bool creditLines, const std::string& today)
{
    auto s = db.prepare(std::string(kSelect) + "WHERE a.customer_id = ?1 AND l.kind = ?2 ORDER BY a.account_no");
    s.bind(1, customerId).bind(2, creditLines ? "credit" : "general");
    std::vector<Loan> out;
    while (s.step())
        out.push_back(loanFrom(s, today));
    return out;
}

std::optional<Loan> ownLoan(Db& db, std::int64_t customerId, const std::string& accountNo, const std::string& today)
{
    auto digits = loanNumber(accountNo);
    if (!digits)
        return std::nullopt;
    auto s = db.prepare(std::string(kSelect) + "WHERE l.account_no = ?1 AND a.customer_id = ?2");
    s.bind(1, *digits).bind(2, customerId);
    if (!s.step())
        return std::nullopt;
    return loanFrom(s, today);
}

std::string dotted(const std::string& date)
{
    if (date.size() != 8)
        return date;
    return date.substr(0, 4) + "." + date.substr(4, 2) + "." + date.substr(6, 2);
}

std::string rateText(int bp)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d%%", bp / 100, bp % 100);
    return buf;
}

Due dueOn(const Loan& loan, const std::string& date, const std::string& /*today*/)
{
    Due d;
    d.loan = loan;
    d.date = date;
    if (auto p = dayOf(loan.paidTo))
        d.from = textOf(*p + days(1));
    d.interest = interestOf(loan.balance, loan.rateBp, daysBetween(loan.paidTo, date));
    d.overdueSince = loan.overdueSince;
    if (!loan.overdueSince.empty())
        d.overdueInterest = interestOf(loan.balance, loan.overdueBp, daysBetween(loan.overdueSince, date));
    return d;
}

std::variant<Refusal, Due> quote(Store& store, const std::string& userId, const std::string& sessionKey,
                                 const std::string& loanAccNo, const std::string& sdate, Clock::time_point now,
                                 const Limits& limits)
{
    const std::string today = bankTime(now).date;
    return quotes::inCheck(store, [&](Db& db) -> std::variant<Refusal, Due> {
        auto c = customers::find(db, userId);
        if (!c)
            return refuse(result::kLoanAccount, result::kLoanAccountText);
        auto loan = ownLoan(db, c->id, loanAccNo, today);
        if (!loan)
            return refuse(result::kLoanAccount, result::kLoanAccountText);
        if (loan->creditLine)
            return refuse(result::kLoanCreditLine, result::kLoanCreditLineText);
        if (auto no = dateRefusal(*loan, sdate, today))
            return *no;
        Due d = dueOn(*loan, sdate, today);
        if (d.interest + d.overdueInterest <= 0)
            return refuse(result::kLoanNothingDue, result::kLoanNothingDueText);
        d.holder = c->name;
        quotes::open(db, {kQuoteKind, c->id, sessionKey}, boundValues(d), now, limits.quoteLife);
        return d;
    });
}

std::variant<Refusal, Paid> pay(Store& store, const PayInput& in, Clock::time_point now, const Limits& limits)
{
    const std::string today = bankTime(now).date;
    const std::string at = bankTimestamp(now);
    auto loanDigits = loanNumber(in.loan);
    if (!loanDigits)
        return refuse(result::kLoanAccount, result::kLoanAccountText);
    const std::string from = in.from;
    if (from.empty() || from.size() > 20 || accounts::digitsOnly(from) != from)
        return refuse(result::kTrfAccount, result::kTrfAccountText);
    if (in.password.size() > 16)
        return refuse(result::kTrfPassword, result::kTrfPasswordText);

    // What can be refused without a secret: whose loan and account, and whether
    // the quote is there at all (a repeated payment is told so before any
    // password or security value is counted).
    struct Pre {
        std::optional<Refusal> no;
        std::string hash;
    };
    Pre pre = store.read([&](Db& db) {
        Pre p;
        auto c = customers::find(db, in.userId);
        auto loan = c ? ownLoan(db, c->id, *loanDigits, today) : std::nullopt;
        if (!c || !loan) {
            p.no = refuse(result::kLoanAccount, result::kLoanAccountText);
            return p;
        }
        if (loan->creditLine) {
            p.no = refuse(result::kLoanCreditLine, result::kLoanCreditLineText);
            return p;
        }
        auto a = accounts::find(db, from);
        if (!a || a->customerId != c->id || !a->withdrawal || a->kindCode == "A07") {
            p.no = refuse(result::kTrfAccount, result::kTrfAccountText);
            return p;
        }
        std::string serial;
        auto found = quotes::findLatest(db, {kQuoteKind, c->id, in.sessionKey},
                                        {{"loan", *loanDigits}, {"date", in.sdate}}, now, &serial);
        if (found.state == quotes::State::Used)
            p.no = refuse(result::kLoanDone, result::kLoanDoneText);
        else if (found.state != quotes::State::Open)
            p.no = refuse(result::kLoanNoQuote, result::kLoanNoQuoteText);
        p.hash = accounts::passwordHash(db, from).value_or("");
        return p;
    });
    if (pre.no)
        return *pre.no;

    // The account password, empty or not, under the account's failure count.
    auto checked = guard::check(store, Secret::AccountPassword, from, pre.hash, in.password, now,
                                [&](Db& db, const std::string& keyed) { accounts::setPasswordHash(db, from, keyed); });
    if (checked.verdict == guard::Verdict::Locked)
        return refuse(result::kTrfAccountLocked, result::kTrfAccountLockedText);
    if (checked.verdict == guard::Verdict::Wrong)
        return Refusal{result::kTrfPassword, guard::wrongSecretText(result::kTrfPasswordText, checked)};

    return store.write([&](Db& db) -> std::variant<Refusal, Paid> {
        auto c = customers::find(db, in.userId);
        if (!c)
            return refuse(result::kLoanAccount, result::kLoanAccountText);
        const quotes::Binding binding{kQuoteKind, c->id, in.sessionKey};
        std::string serial;
        auto found = quotes::findLatest(db, binding, {{"loan", *loanDigits}, {"date", in.sdate}}, now, &serial);
        if (found.state == quotes::State::Used)
            return refuse(result::kLoanDone, result::kLoanDoneText);
        if (found.state != quotes::State::Open)
            return refuse(result::kLoanNoQuote, result::kLoanNoQuoteText);
        if (guard::locked(db, Secret::AccountPassword, from))
            return refuse(result::kTrfAccountLocked, result::kTrfAccountLockedText);

        const SecurityResult security = checkSecurityValue(
            db, *c, {in.scrtyWay, in.randomNum, in.secPwd, in.signedMsg, in.sessionKey},
            now, limits.signatureMaxAge);
        if (auto [code, text] = moneyRefusalOf(security); code)
            return refuse(code, text);

        auto loan = ownLoan(db, c->id, *loanDigits, today);
        if (!loan || loan->creditLine)
            return refuse(result::kLoanAccount, result::kLoanAccountText);
        if (auto no = dateRefusal(*loan, in.sdate, today))
            return *no;
        // The amount due now must be the amount quoted.
        Due d = dueOn(*loan, in.sdate, today);
        d.holder = c->name;
        if (boundValues(d) != found.values)
            return refuse(result::kLoanChanged, result::kLoanChangedText);
        const std::int64_t total = d.interest + d.overdueInterest;
        auto src = accounts::find(db, from);
        if (!src || src->customerId != c->id || !src->withdrawal || src->kindCode == "A07")
            return refuse(result::kTrfAccount, result::kTrfAccountText);
        if (src->balance < total || !accounts::post(db, from, -total, at, "대출이자", loan->displayNo))
            return refuse(result::kTrfFunds, result::kTrfFundsText);

        auto u = db.prepare(
            "UPDATE loans SET paid_to = ?2, next_due = ?3, overdue_since = '', payments = payments + 1, "
            "last_paid_on = ?4 WHERE account_no = ?1 AND paid_to = ?5");
        u.bind(1, loan->accountNo).bind(2, in.sdate).bind(3, monthAfter(in.sdate)).bind(4, today);
        u.bind(5, loan->paidTo).run();
        if (db.changes() != 1)
            throw DbError("loan changed under the payment transaction");
        Paid p;
        p.due = d;
        p.fromDisplay = src->displayNo;
        p.balanceAfter = accounts::find(db, from)->balance;
        auto s = db.prepare(
            "INSERT INTO loan_payments (serial, customer_id, loan_account, from_account, period_from, period_to, "
            "interest, overdue_interest, overdue_since, balance_after, at) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
        s.bind(1, serial).bind(2, c->id).bind(3, loan->accountNo).bind(4, from).bind(5, d.from).bind(6, in.sdate);
        s.bind(7, d.interest).bind(8, d.overdueInterest).bind(9, d.overdueSince).bind(10, p.balanceAfter).bind(11, at);
        s.run();
        if (!quotes::consume(db, binding, serial, "paid", now))
            throw DbError("interest quote changed under the transaction");
        return p;
    });
}

} // namespace bankd::loans
