#include "Transfers.h"

#include <cstdio>
#include <optional>
#include <sodium.h>
#include <vector>

#include "Accounts.h"
#include "BankCodes.h"
#include "Customers.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"
#include "TransferCodes.h"
#include "velcor/Signature.h"

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

std::string randomDigits(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out.push_back(static_cast<char>('0' + randombytes_uniform(10)));
    return out;
}

std::string messageNumber()
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%07u", 1 + randombytes_uniform(9'999'999));
    return buf;
}

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

std::int64_t daySum(Db& db, const std::string& accountNo, const std::string& date)
{
    auto s = db.prepare(
        "SELECT coalesce(sum(amount), 0) FROM transfers WHERE from_account = ?1 AND transfer_date = ?2 "
        "AND result_code = '0000'");
    s.bind(1, accountNo).bind(2, date);
    s.step();
    return s.integer(0);
}

struct SourceAccount {
    Account account;
    bool locked = false;
    int failedPwd = 0;
};

std::optional<SourceAccount> sourceOf(Db& db, std::int64_t customerId, const std::string& accountNo)
{
    auto a = accounts::find(db, accountNo);
    if (!a || a->customerId != customerId || !a->withdrawal || a->kindCode == "A07")
        return std::nullopt;
    auto s = db.prepare("SELECT locked, failed_pwd FROM accounts WHERE account_no = ?1");
    s.bind(1, accountNo);
    s.step();
    return SourceAccount{*a, s.integer(0) != 0, static_cast<int>(s.integer(1))};
}

// The movement of one transfer; the caller's transaction makes it atomic.
// Returns "0000" when the money moved, else the failure code (nothing moved).
std::string moveMoney(Db& db, std::int64_t customerId, const Quote& q, const std::string& at, const std::string& date,
                      const Limits& limits, std::int64_t* balanceAfter)
{
    auto src = sourceOf(db, customerId, q.fromAccount);
    if (!src || src->locked)
        return kFailAccount;
    if (q.bankCode == banks::kOwnBank && recipientOf(db, q.bankCode, q.toAccount).empty())
        return kFailAccount;
    if (daySum(db, q.fromAccount, date) + q.amount > limits.daily)
        return kFailLimit;
    if (src->account.balance < q.amount + q.fee)
        return kFailFunds;
    const std::string toWhom = q.recipient;
    if (!accounts::post(db, q.fromAccount, -q.amount, at, "PDA이체", toWhom))
        return kFailFunds;
    if (q.fee > 0 && !accounts::post(db, q.fromAccount, -q.fee, at, "이체수수료", ""))
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
    *balanceAfter = accounts::find(db, q.fromAccount)->balance;
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
}

struct StoredQuote {
    Quote q;
    std::int64_t customerId = 0;
    std::string sessionKey;
    std::string expiresAt;
    std::string state;
};

std::optional<StoredQuote> loadQuote(Db& db, const std::string& serial)
{
    auto s = db.prepare(
        "SELECT customer_id, session_key, from_account, bank_code, to_account, recipient, amount, fee, sender, "
        "cms_code, exec_date, expires_at, state FROM transfer_quotes WHERE serial = ?1");
    s.bind(1, serial);
    if (!s.step())
        return std::nullopt;
    StoredQuote r;
    r.customerId = s.integer(0);
    r.sessionKey = s.text(1);
    r.q.serial = serial;
    r.q.fromAccount = s.text(2);
    r.q.bankCode = s.text(3);
    r.q.bankName = banks::nameOf(r.q.bankCode);
    r.q.toAccount = s.text(4);
    r.q.recipient = s.text(5);
    r.q.amount = s.integer(6);
    r.q.fee = s.integer(7);
    r.q.sender = s.text(8);
    r.q.cms = s.text(9);
    r.q.execDate = s.text(10);
    r.expiresAt = s.text(11);
    r.state = s.text(12);
    return r;
}

// The security value of an execution, checked against the customer's means.
std::optional<Refusal> checkSecurity(Db& db, const Customer& c, const ExecInput& in, Clock::time_point now,
                                     const Limits& limits)
{
    if (in.scrtyWay != c.securityWay)
        return refuse(result::kTrfSecurityWay, result::kTrfSecurityWayText);
    if (c.securityWay == "S") {
        const std::string& n = in.randomNum;
        int cell = (n.size() >= 1 && n.size() <= 2 && accounts::digitsOnly(n) == n) ? std::stoi(n) : 0;
        if (!customers::checkSecurityCell(db, c.id, cell, in.secPwd))
            return refuse(result::kTrfCard, result::kTrfCardText);
        return std::nullopt;
    }
    if (in.signedMsg.empty() || in.signedMsg.size() > 512)
        return refuse(result::kTrfSignature, result::kTrfSignatureText);
    const std::int64_t nowSec = duration_cast<seconds>(now.time_since_epoch()).count();
    bool good = false;
    for (const CertificateRecord& cert : customers::certificates(db, c.id)) {
        auto check = velcor::verifySignature(cert.publicKey, "1", in.signedMsg, in.sessionKey, nowSec,
                                             limits.signatureMaxAge);
        if (check.ok && check.certId == cert.subject) {
            good = true;
            break;
        }
    }
    if (!good)
        return refuse(result::kTrfSignature, result::kTrfSignatureText);
    // A signature authorises one execution only.
    auto used = db.prepare("INSERT OR IGNORE INTO used_signatures (signed_text, used_at) VALUES (?1, ?2)");
    used.bind(1, in.signedMsg).bind(2, bankTimestamp(now));
    used.run();
    if (db.changes() == 0)
        return refuse(result::kTrfSignature, result::kTrfSignatureText);
    return std::nullopt;
}

} // namespace

std::int64_t feeFor(const std::string& bankCode, std::int64_t amount)
{
    if (bankCode == banks::kOwnBank)
        return 0;
    return amount <= 1'000'000 ? 500 : 1'000;
}

std::variant<Refusal, Quote> makeQuote(Store& store, const QuoteInput& in, Clock::time_point now, const Limits& limits)
{
    const std::string today = bankTime(now).date;
    if (!plainAccountNo(in.from))
        return refuse(result::kTrfAccount, result::kTrfAccountText);
    if (in.password.empty() || in.password.size() > 16)
        return refuse(result::kTrfPassword, result::kTrfPasswordText);

    // The password hash is checked outside any write transaction: it is the
    // slow step and must not hold the database's write lock.
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
    if (pre.source->locked)
        return refuse(result::kTrfAccountLocked, result::kTrfAccountLockedText);
    const bool passwordOk = verifyPassword(pre.hash, in.password);

    return store.write([&](Db& db) -> std::variant<Refusal, Quote> {
        const std::int64_t cid = pre.customer->id;
        if (!passwordOk) {
            auto s = db.prepare(
                "UPDATE accounts SET failed_pwd = failed_pwd + 1, locked = (failed_pwd + 1 >= ?2) "
                "WHERE account_no = ?1 RETURNING locked");
            s.bind(1, in.from).bind(2, limits.passwordLimit);
            bool locked = s.step() && s.integer(0) != 0;
            s.run();
            return locked ? refuse(result::kTrfAccountLocked, result::kTrfAccountLockedText)
                          : refuse(result::kTrfPassword, result::kTrfPasswordText);
        }
        auto src = sourceOf(db, cid, in.from);
        if (!src)
            return refuse(result::kTrfAccount, result::kTrfAccountText);
        if (src->locked)
            return refuse(result::kTrfAccountLocked, result::kTrfAccountLockedText);
        if (src->failedPwd > 0) {
            auto s = db.prepare("UPDATE accounts SET failed_pwd = 0 WHERE account_no = ?1");
            s.bind(1, in.from).run();
        }

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
        q.sender = in.sender.empty() ? pre.customer->name : in.sender;
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

        // The serial: the date and eight random digits, unique among quotes.
        for (int attempt = 0;; ++attempt) {
            q.serial = today + randomDigits(8);
            auto s = db.prepare(
                "INSERT OR IGNORE INTO transfer_quotes (serial, customer_id, session_key, from_account, bank_code, "
                "to_account, recipient, amount, fee, sender, cms_code, exec_date, created_at, expires_at) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
            s.bind(1, q.serial).bind(2, cid).bind(3, in.sessionKey).bind(4, q.fromAccount).bind(5, q.bankCode);
            s.bind(6, q.toAccount).bind(7, q.recipient).bind(8, q.amount).bind(9, q.fee).bind(10, q.sender);
            s.bind(11, q.cms).bind(12, q.execDate).bind(13, bankTimestamp(now));
            s.bind(14, bankTimestamp(now + limits.quoteLife));
            s.run();
            if (db.changes() == 1)
                break;
            if (attempt > 20)
                throw DbError("no free transfer serial");
        }
        return q;
    });
}

std::variant<Refusal, Executed> execute(Store& store, const ExecInput& in, Clock::time_point now, const Limits& limits)
{
    const std::string today = bankTime(now).date;
    const std::string at = bankTimestamp(now);
    return store.write([&](Db& db) -> std::variant<Refusal, Executed> {
        auto customer = customers::find(db, in.userId);
        if (!customer || in.serial.empty() || in.serial.size() > 32)
            return refuse(result::kTrfNoQuote, result::kTrfNoQuoteText);
        auto stored = loadQuote(db, in.serial);
        // Another user's or another session's quote reads as unknown.
        if (!stored || stored->customerId != customer->id || stored->sessionKey != in.sessionKey)
            return refuse(result::kTrfNoQuote, result::kTrfNoQuoteText);
        if (stored->state != "open")
            return refuse(result::kTrfDone, result::kTrfDoneText);
        if (stored->expiresAt < at)
            return refuse(result::kTrfNoQuote, result::kTrfNoQuoteText);
        const Quote& q = stored->q;
        // Every echoed value must be the quote's own.
        if (accounts::digitsOnly(in.from) != q.fromAccount || accounts::digitsOnly(in.to) != q.toAccount ||
            in.bankCode != q.bankCode || in.bankName != q.bankName || in.recipient != q.recipient ||
            in.amount != std::to_string(q.amount) || in.fee != std::to_string(q.fee) || in.execDate != q.execDate ||
            in.sender != q.sender || in.cms != q.cms)
            return refuse(result::kTrfAltered, result::kTrfAlteredText);
        if (auto bad = checkSecurity(db, *customer, in, now, limits))
            return *bad;

        Executed ex;
        ex.quote = q;
        if (auto a = accounts::find(db, q.fromAccount))
            ex.quote.fromDisplay = a->displayNo;
        if (q.execDate > today) {
            auto s = db.prepare(
                "INSERT INTO scheduled_transfers (customer_id, serial, exec_date, from_account, bank_code, "
                "to_account, recipient, amount, fee, sender, cms_code, registered_at) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
            s.bind(1, customer->id).bind(2, q.serial).bind(3, q.execDate).bind(4, q.fromAccount).bind(5, q.bankCode);
            s.bind(6, q.toAccount).bind(7, q.recipient).bind(8, q.amount).bind(9, q.fee).bind(10, q.sender);
            s.bind(11, q.cms).bind(12, at);
            s.run();
            ex.scheduled = true;
            ex.scheduleId = db.lastInsertId();
            ex.messageNo = "0000000";
            ex.balanceAfter = accounts::find(db, q.fromAccount)->balance;
            auto u = db.prepare("UPDATE transfer_quotes SET state = 'scheduled' WHERE serial = ?1 AND state = 'open'");
            u.bind(1, q.serial).run();
            return ex;
        }
        std::int64_t after = 0;
        std::string code = moveMoney(db, customer->id, q, at, today, limits, &after);
        if (code == kFailFunds)
            return refuse(result::kTrfFunds, result::kTrfFundsText);
        if (code == kFailLimit)
            return refuse(result::kTrfLimit, result::kTrfLimitText);
        if (code != kDone)
            return refuse(result::kTrfAccount, result::kTrfAccountText);
        ex.balanceAfter = after;
        ex.messageNo = messageNumber();
        recordResult(db, customer->id, q, today, at, after, ex.messageNo, kDone, 0);
        auto u = db.prepare("UPDATE transfer_quotes SET state = 'executed' WHERE serial = ?1 AND state = 'open'");
        u.bind(1, q.serial).run();
        if (db.changes() != 1)
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
            auto s = db.prepare(
                "SELECT customer_id, serial, exec_date, from_account, bank_code, to_account, recipient, amount, fee, "
                "sender, cms_code FROM scheduled_transfers WHERE id = ?1 AND result_code = '' AND cancelled = 0");
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

Books books(Db& db)
{
    Books b;
    auto one = [&](const char* sql) {
        auto s = db.prepare(sql);
        s.step();
        return s.integer(0);
    };
    b.balances = one("SELECT coalesce(sum(balance), 0) FROM accounts");
    b.fees = one("SELECT coalesce(sum(fee), 0) FROM transfers WHERE result_code = '0000'");
    b.sentOut = one("SELECT coalesce(sum(amount), 0) FROM interbank_out");
    return b;
}

} // namespace bankd::transfers
