#include "Transfers.h"

#include <cstdio>
#include <optional>
#include <sodium.h>
#include <vector>

#include "Accounts.h"
#include "BankCodes.h"
#include "Customers.h"
#include "Quotes.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "SecurityValue.h"
#include "Sqlite.h"
#include "Store.h"
#include "TransferCodes.h"

namespace bankd::transfers {

namespace {

using namespace std::chrono;

Refusal refuse(const char* code, const char* text)
{
    return {code, text};
}

std::optional<year_month_day> parseDate(const std::string& t)
{
    if (t.size() != 8 || accounts::digitsOnly(t) != t)
        return std::nullopt;
    year_month_day d{year(std::stoi(t.substr(0, 4))), month(static_cast<unsigned>(std::stoi(t.substr(4, 2)))),
                     day(static_cast<unsigned>(std::stoi(t.substr(6, 2))))};
    if (!d.ok())
        return std::nullopt;
    return d;
}

// Whole won: 1 to 13 digits, nothing else.
std::optional<std::int64_t> parseAmount(const std::string& t)
{
    if (t.empty() || t.size() > 13 || accounts::digitsOnly(t) != t)
        return std::nullopt;
    return std::stoll(t);
}

bool plainAccountNo(const std::string& t)
{
    return !t.empty() && t.size() <= 20 && accounts::digitsOnly(t) == t;
}

std::string messageNumber()
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%07u", 1 + randombytes_uniform(9'999'999));
    return buf;
}

} // namespace

// Name of the holder of a deposit account: in this bank the customer, in
// another bank the clearing house's record. Empty when there is no such
// account (loan accounts cannot receive transfers).
std::string recipientOf(Db& db, const std::string& bankCode, const std::string& accountNo)
{
    if (bankCode == banks::kOwnBank) {
        auto s = db.prepare(
            "SELECT c.name FROM accounts a JOIN customers c ON c.id = a.customer_id "
            "WHERE a.account_no = ?1 AND a.kind_code <> 'A07'");
        s.bind(1, accountNo);
        return s.step() ? s.text(0) : std::string();
    }
    auto s = db.prepare("SELECT holder FROM other_bank_accounts WHERE bank_code = ?1 AND account_no = ?2");
    s.bind(1, bankCode).bind(2, accountNo);
    return s.step() ? s.text(0) : std::string();
}

namespace {

std::int64_t daySum(Db& db, const std::string& accountNo, const std::string& date)
{
    auto s = db.prepare("SELECT total FROM transfer_day_totals WHERE from_account = ?1 AND transfer_date = ?2");
    s.bind(1, accountNo).bind(2, date);
    return s.step() ? s.integer(0) : 0;
}

struct SourceAccount {
    Account account;
    bool locked = false;  // by wrong account passwords
};

// `lockKnownOpen`: the account password was found right and unlocked in the
// same transaction just before, so its lock is not read again.
std::optional<SourceAccount> sourceOf(Db& db, std::int64_t customerId, const std::string& accountNo,
                                      bool lockKnownOpen = false)
{
    auto a = accounts::find(db, accountNo);
    if (!a || a->customerId != customerId || !a->withdrawal || a->kindCode == "A07")
        return std::nullopt;
    return SourceAccount{*a, !lockKnownOpen && guard::locked(db, Secret::AccountPassword, accountNo)};
}

// The movement of one transfer; the caller's transaction makes it atomic.
// Returns "0000" when the money moved, else the failure code (nothing moved).
std::string moveMoney(Db& db, std::int64_t customerId, const Quote& q, const std::string& at, const std::string& date,
                      const Limits& limits, std::int64_t* balanceAfter, std::string* fromDisplay = nullptr)
{
    auto src = sourceOf(db, customerId, q.fromAccount);
    if (!src || src->locked)
        return kFailAccount;
    if (fromDisplay)
        *fromDisplay = src->account.displayNo;
    if (q.bankCode == banks::kOwnBank && recipientOf(db, q.bankCode, q.toAccount).empty())
        return kFailAccount;
    if (daySum(db, q.fromAccount, date) + q.amount > limits.daily)
        return kFailLimit;
    if (src->account.balance < q.amount + q.fee)
        return kFailFunds;
    const std::string toWhom = q.recipient;
    std::optional<std::int64_t> after = accounts::post(db, q.fromAccount, -q.amount, at, "PDA이체", toWhom);
    if (!after)
        return kFailFunds;
    if (q.fee > 0 && !(after = accounts::post(db, q.fromAccount, -q.fee, at, "이체수수료", "")))
        throw DbError("fee posting failed after the balance check");
    if (q.bankCode == banks::kOwnBank) {
        if (!accounts::post(db, q.toAccount, q.amount, at, "PDA입금", q.sender))
            throw DbError("deposit posting failed");
    } else {
        auto s = db.prepare(
            "INSERT INTO interbank_out (serial, bank_code, account_no, amount, at) VALUES (?1, ?2, ?3, ?4, ?5)");
        s.bind(1, q.serial).bind(2, q.bankCode).bind(3, q.toAccount).bind(4, q.amount).bind(5, at);
        s.run();
    }
    *balanceAfter = *after;
    return kDone;
}

void recordResult(Db& db, std::int64_t customerId, const Quote& q, const std::string& date, const std::string& at,
                  std::optional<std::int64_t> balanceAfter, const std::string& messageNo, const std::string& code,
                  std::int64_t scheduleId)
{
    auto s = db.prepare(
        "INSERT INTO transfers (customer_id, serial, transfer_date, at, from_account, bank_code, to_account, "
        "recipient, amount, fee, sender, cms_code, balance_after, message_no, result_code, scheduled_id) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
    s.bind(1, customerId).bind(2, q.serial).bind(3, date).bind(4, at).bind(5, q.fromAccount).bind(6, q.bankCode);
    s.bind(7, q.toAccount).bind(8, q.recipient).bind(9, q.amount).bind(10, code == kDone ? q.fee : 0);
    s.bind(11, q.sender).bind(12, q.cms);
    if (balanceAfter)
        s.bind(13, *balanceAfter);
    else
        s.bindNull(13);
    s.bind(14, messageNo).bind(15, code);
    if (scheduleId)
        s.bind(16, scheduleId);
    else
        s.bindNull(16);
    s.run();
    if (code == kDone)
        addToDaySum(db, q.fromAccount, date, q.amount);
}

constexpr const char* kQuoteKind = "transfer";

// What a transfer quote binds: every value the execution must echo.
quotes::Values boundValues(const Quote& q)
{
    return {{"from", q.fromAccount}, {"bank", q.bankCode},   {"to", q.toAccount},   {"recipient", q.recipient},
            {"amount", std::to_string(q.amount)}, {"fee", std::to_string(q.fee)}, {"sender", q.sender},
            {"cms", q.cms},          {"date", q.execDate}};
}

Quote quoteOf(const std::string& serial, quotes::Values v)
{
    Quote q;
    q.serial = serial;
    q.fromAccount = v["from"];
    q.bankCode = v["bank"];
    q.bankName = banks::nameOf(q.bankCode);
    q.toAccount = v["to"];
    q.recipient = v["recipient"];
    q.amount = parseAmount(v["amount"]).value_or(0);
    q.fee = parseAmount(v["fee"]).value_or(0);
    q.sender = v["sender"];
    q.cms = v["cms"];
    q.execDate = v["date"];
    return q;
}

std::optional<Refusal> passwordRefusal(const guard::Checked& checked)
{
    if (checked.verdict == guard::Verdict::Locked)
        return refuse(result::kTrfAccountLocked, result::kTrfAccountLockedText);
    if (checked.verdict == guard::Verdict::Wrong)
        return Refusal{result::kTrfPassword, guard::wrongSecretText(result::kTrfPasswordText, checked)};
    return std::nullopt;
}

// The checks and pricing of a transfer whose password was right, and its
// quote opened; inside the caller's write.
std::variant<Refusal, Quote> quoteIn(Db& db, const QuoteInput& in, const Customer& customer, Clock::time_point now,
                                     const Limits& limits, bool lockKnownOpen = false)
{
    const std::string today = bankTime(now).date;
    auto src = sourceOf(db, customer.id, in.from, lockKnownOpen);
    if (!src)
        return refuse(result::kTrfAccount, result::kTrfAccountText);
    if (src->locked)
        return refuse(result::kTrfAccountLocked, result::kTrfAccountLockedText);

    Quote q;
    q.fromAccount = in.from;
    q.fromDisplay = src->account.displayNo;
    q.bankCode = in.bankCode;
    q.bankName = banks::nameOf(in.bankCode);
    if (q.bankName.empty())
        return refuse(result::kTrfBank, result::kTrfBankText);
    if (!plainAccountNo(in.to) || (in.bankCode == banks::kOwnBank && in.to == in.from))
        return refuse(result::kTrfRecipient, result::kTrfRecipientText);
    q.toAccount = in.to;
    q.recipient = recipientOf(db, q.bankCode, q.toAccount);
    if (q.recipient.empty())
        return refuse(result::kTrfRecipient, result::kTrfRecipientText);
    auto amount = parseAmount(in.amount);
    if (!amount || *amount <= 0)
        return refuse(result::kTrfAmount, result::kTrfAmountText);
    if (*amount > limits.perTransfer)
        return refuse(result::kTrfLimit, result::kTrfLimitText);
    q.amount = *amount;
    q.fee = feeFor(q.bankCode, q.amount);

    auto date = parseDate(in.execDate);
    auto first = parseDate(today);
    if (!date || !first || sys_days(*date) < sys_days(*first) ||
        sys_days(*date) > sys_days(*first) + days(limits.maxDaysAhead))
        return refuse(result::kTrfDate, result::kTrfDateText);
    q.execDate = in.execDate;
    q.scheduled = in.execDate > today;

    if (in.sender.size() > 60 || in.cms.size() > 20 || (!in.cms.empty() && accounts::digitsOnly(in.cms) != in.cms))
        return refuse(result::kBadValue, result::kBadValueText);
    q.sender = in.sender.empty() ? customer.name : in.sender;
    q.cms = in.cms;
    q.balanceBefore = src->account.balance;
    q.daySum = daySum(db, q.fromAccount, today);
    q.dailyLimit = limits.daily;
    if (!q.scheduled) {
        if (q.daySum + q.amount > limits.daily)
            return refuse(result::kTrfLimit, result::kTrfLimitText);
        if (q.balanceBefore < q.amount + q.fee)
            return refuse(result::kTrfFunds, result::kTrfFundsText);
    }

    q.serial = quotes::open(db, {kQuoteKind, customer.id, in.sessionKey}, boundValues(q), now,
                            limits.quoteLife);
    return q;
}

} // namespace

void addToDaySum(Db& db, const std::string& accountNo, const std::string& date, std::int64_t amount)
{
    auto s = db.prepare(
        "INSERT INTO transfer_day_totals (from_account, transfer_date, total) VALUES (?1, ?2, ?3) "
        "ON CONFLICT (from_account, transfer_date) DO UPDATE SET total = transfer_day_totals.total + excluded.total");
    s.bind(1, accountNo).bind(2, date).bind(3, amount).run();
}

std::int64_t feeFor(const std::string& bankCode, std::int64_t amount)
{
    if (bankCode == banks::kOwnBank)
        return 0;
    return amount <= 1'000'000 ? 500 : 1'000;
}

std::variant<Refusal, Quote> makeQuote(Store& store, const QuoteInput& in, Clock::time_point now, const Limits& limits)
{
    if (!plainAccountNo(in.from))
        return refuse(result::kTrfAccount, result::kTrfAccountText);
    if (in.password.empty() || in.password.size() > 16)
        return refuse(result::kTrfPassword, result::kTrfPasswordText);

    struct Pre {
        std::optional<Customer> customer;
        std::optional<SourceAccount> source;
        std::string hash;
    };
    Pre pre = store.read([&](Db& db) {
        Pre p;
        p.customer = customers::find(db, in.userId);
        if (p.customer)
            p.source = sourceOf(db, p.customer->id, in.from);
        if (p.source)
            p.hash = accounts::passwordHash(db, in.from).value_or("");
        return p;
    });
    if (!pre.customer || !pre.source)
        return refuse(result::kTrfAccount, result::kTrfAccountText);
    if (isKeyedHash(pre.hash) && store.servesAlone()) {
        // A keyed hash, this process alone: the password is checked in turn
        // with its other checks, the quote opened in memory; the usual right
        // check writes nothing.
        auto checked = guard::checkInTurn(store, Secret::AccountPassword, in.from, now, [&](Db& db) {
            const std::string hash = accounts::passwordHash(db, in.from).value_or("");
            return isKeyedHash(hash) && verifySecret(hash, in.password, store.keys());
        });
        if (auto no = passwordRefusal(checked))
            return *no;
        return quotes::inCheck(store, [&](Db& db) { return quoteIn(db, in, *pre.customer, now, limits, true); });
    }
    if (isKeyedHash(pre.hash)) {
        // A keyed hash: the password's attempt, check and outcome and the quote
        // are one write. The quote need not wait for a sync of its own (the
        // execution's sync takes it to disk); a wrong password's count does.
        return store.write(
            [&](Db& db) -> std::variant<Refusal, Quote> {
                const std::string hash = accounts::passwordHash(db, in.from).value_or("");
                auto checked =
                    guard::checkKeyed(db, store.keys(), Secret::AccountPassword, in.from, hash, in.password, now);
                if (auto no = passwordRefusal(checked))
                    return *no;
                return quoteIn(db, in, *pre.customer, now, limits, true);
            },
            Durability::WithNextSync);
    }
    // An Argon2id hash (made before keyed ones): checked outside any
    // transaction, and replaced by a keyed one when right.
    auto checked = guard::check(store, Secret::AccountPassword, in.from, pre.hash, in.password, now,
                                [&](Db& db, const std::string& keyed) { accounts::setPasswordHash(db, in.from, keyed); });
    if (auto no = passwordRefusal(checked))
        return *no;
    return quotes::inCheck(store, [&](Db& db) { return quoteIn(db, in, *pre.customer, now, limits); });
}


std::variant<Refusal, Executed> execute(Store& store, const ExecInput& in, Clock::time_point now, const Limits& limits)
{
    const std::string today = bankTime(now).date;
    const std::string at = bankTimestamp(now);
    return store.write([&](Db& db) -> std::variant<Refusal, Executed> {
        auto customer = customers::find(db, in.userId);
        if (!customer)
            return refuse(result::kTrfNoQuote, result::kTrfNoQuoteText);
        const quotes::Binding binding{kQuoteKind, customer->id, in.sessionKey};
        // Another user's or another session's quote reads as unknown.
        quotes::Found found = quotes::find(db, binding, in.serial, now);
        if (found.state == quotes::State::Used)
            return refuse(result::kTrfDone, result::kTrfDoneText);
        if (found.state != quotes::State::Open)
            return refuse(result::kTrfNoQuote, result::kTrfNoQuoteText);
        const Quote q = quoteOf(in.serial, found.values);
        // Every echoed value must be the quote's own.
        if (accounts::digitsOnly(in.from) != q.fromAccount || accounts::digitsOnly(in.to) != q.toAccount ||
            in.bankCode != q.bankCode || in.bankName != q.bankName || in.recipient != q.recipient ||
            in.amount != std::to_string(q.amount) || in.fee != std::to_string(q.fee) || in.execDate != q.execDate ||
            in.sender != q.sender || in.cms != q.cms)
            return refuse(result::kTrfAltered, result::kTrfAlteredText);
        const SecurityResult security = checkSecurityValue(
            db, *customer, {in.scrtyWay, in.randomNum, in.secPwd, in.signedMsg, in.sessionKey},
            now, limits.signatureMaxAge);
        if (auto [code, text] = moneyRefusalOf(security); code)
            return refuse(code, text);

        Executed ex;
        ex.quote = q;
        if (q.execDate > today) {
            if (auto a = accounts::find(db, q.fromAccount))
                ex.quote.fromDisplay = a->displayNo;
            auto s = db.prepare(
                "INSERT INTO scheduled_transfers (customer_id, serial, exec_date, from_account, bank_code, "
                "to_account, recipient, amount, fee, sender, cms_code, registered_at) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12) RETURNING id");
            s.bind(1, customer->id).bind(2, q.serial).bind(3, q.execDate).bind(4, q.fromAccount).bind(5, q.bankCode);
            s.bind(6, q.toAccount).bind(7, q.recipient).bind(8, q.amount).bind(9, q.fee).bind(10, q.sender);
            s.bind(11, q.cms).bind(12, at);
            s.step();
            ex.scheduled = true;
            ex.scheduleId = s.integer(0);
            ex.messageNo = "0000000";
            ex.balanceAfter = accounts::find(db, q.fromAccount)->balance;
            if (!quotes::consume(db, binding, q.serial, "scheduled", now))
                throw DbError("transfer quote changed under the transaction");
            return ex;
        }
        std::int64_t after = 0;
        std::string code = moveMoney(db, customer->id, q, at, today, limits, &after, &ex.quote.fromDisplay);
        if (code == kFailFunds)
            return refuse(result::kTrfFunds, result::kTrfFundsText);
        if (code == kFailLimit)
            return refuse(result::kTrfLimit, result::kTrfLimitText);
        if (code != kDone)
            return refuse(result::kTrfAccount, result::kTrfAccountText);
        ex.balanceAfter = after;
        ex.messageNo = messageNumber();
        recordResult(db, customer->id, q, today, at, after, ex.messageNo, kDone, 0);
        if (!quotes::consume(db, binding, q.serial, "executed", now))
            throw DbError("transfer quote changed under the transaction");
        return ex;
    });
}

int runDue(Store& store, Clock::time_point now, const Limits& limits)
{
    const std::string today = bankTime(now).date;
    const std::string at = bankTimestamp(now);
    std::vector<std::int64_t> due = store.read([&](Db& db) {
        std::vector<std::int64_t> ids;
        auto s = db.prepare(
            "SELECT id FROM scheduled_transfers WHERE result_code = '' AND cancelled = 0 AND exec_date <= ?1 "
            "ORDER BY exec_date, id");
        s.bind(1, today);
        while (s.step())
            ids.push_back(s.integer(0));
        return ids;
    });
    int ran = 0;
    for (std::int64_t id : due) {
        ran += store.write([&](Db& db) {
            // Every node runs due transfers. On PostgreSQL a transfer another
            // node is running is skipped (its row lock held); one that node
            // finished meanwhile fails this serialisable transaction, whose
            // next run finds it done. SQLite has one writer and no row locks.
            std::string sql =
                "SELECT customer_id, serial, exec_date, from_account, bank_code, to_account, recipient, amount, fee, "
                "sender, cms_code FROM scheduled_transfers WHERE id = ?1 AND result_code = '' AND cancelled = 0";
            if (db.engine() == DbEngine::Postgres)
                sql += " FOR UPDATE SKIP LOCKED";
            auto s = db.prepare(sql);
            s.bind(1, id);
            if (!s.step())
                return 0;  // cancelled or run meanwhile
            std::int64_t cid = s.integer(0);
            Quote q;
            q.serial = s.text(1);
            q.execDate = s.text(2);
            q.fromAccount = s.text(3);
            q.bankCode = s.text(4);
            q.bankName = banks::nameOf(q.bankCode);
            q.toAccount = s.text(5);
            q.recipient = s.text(6);
            q.amount = s.integer(7);
            q.fee = s.integer(8);
            q.sender = s.text(9);
            q.cms = s.text(10);
            std::int64_t after = 0;
            std::string code = moveMoney(db, cid, q, at, today, limits, &after);
            bool done = code == kDone;
            recordResult(db, cid, q, today, at, done ? std::optional<std::int64_t>(after) : std::nullopt,
                         done ? messageNumber() : "0000000", code, id);
            auto u = db.prepare("UPDATE scheduled_transfers SET result_code = ?2, ran_at = ?3 WHERE id = ?1");
            u.bind(1, id).bind(2, code).bind(3, at).run();
            return 1;
        });
    }
    return ran;
}

} // namespace bankd::transfers
