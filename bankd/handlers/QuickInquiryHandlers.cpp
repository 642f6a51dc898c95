// Login-free inquiries: PDA_S001 (balance of one account) and PDA_S002 (its
// history between two dates), both with the account password checked under
// the account's failure count and lock on every request, and PDA_S004 (the
// exchange rates of a day) on the unencrypted servlet.
#include "Handlers.h"

#include <chrono>

#include "AccountPassword.h"
#include "Accounts.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "ExchangeRates.h"
#include "ReplyFormat.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

// Longest history period and most lines one reply carries (the newest).
constexpr int kMaxHistoryDays = 366;
constexpr std::size_t kMaxHistoryLines = 300;

bool plainNumber(const std::string& text, std::size_t max)
{
    return !text.empty() && text.size() <= max && accounts::digitsOnly(text) == text;
}

// Loans have no balance a quick inquiry may show.
bool inquirable(Db&, const Account& a)
{
    return a.kindCode != "A07";
}

// The account named by AccNO when AccPwd is its password, else the refusal.
std::optional<Envelope> refuseUnlessPassword(RequestContext& ctx, std::optional<Account>* account)
{
    const std::string& accNo = ctx.query.value("AccNO");
    const std::string& pwd = ctx.query.value("AccPwd");
    if (!plainNumber(accNo, 20) || pwd.empty() || pwd.size() > 16)
        return Envelope(result::kQuickAccount, result::kQuickAccountText);
    AccountCheck checked = checkAccountPassword(ctx.store, accNo, pwd, ctx.clock.now(), inquirable);
    if (checked.verdict == guard::Verdict::Locked)
        return Envelope(result::kQuickLocked, result::kQuickLockedText);
    if (checked.verdict != guard::Verdict::Right)
        return Envelope(result::kQuickAccount, result::kQuickAccountText);
    *account = std::move(checked.account);
    return std::nullopt;
}

std::string holderName(Db& db, std::int64_t customerId)
{
    auto s = db.prepare("SELECT name FROM customers WHERE id = ?1");
    s.bind(1, customerId);
    return s.step() ? s.text(0) : std::string();
}

Envelope quickBalance(RequestContext& ctx)
{
    std::optional<Account> a;
    if (auto refusal = refuseUnlessPassword(ctx, &a))
        return *refusal;
    return ctx.store.read([&](Db& db) {
        auto now = accounts::find(db, a->accountNo);
        if (!now)
            return Envelope(result::kQuickAccount, result::kQuickAccountText);
        auto s = db.prepare("SELECT max(at) FROM account_history WHERE account_no = ?1");
        s.bind(1, now->accountNo);
        std::string last = s.step() && !s.isNull(0) ? s.text(0) : std::string();
        Envelope env = Envelope::ok();
        // 1 number, 2 holder, 3 kind, 4 kind code, 5 opened, 6 last movement,
        // 7 current balance, 8 available balance, 9 balance after the last movement.
        env.addRecord({now->displayNo, holderName(db, now->customerId), now->kindName, now->kindCode,
                       reply::dotted(now->openedOn), reply::dotted(last), reply::grouped(now->balance),
                       reply::grouped(now->balance), reply::grouped(now->balance)});
        return env;
    });
}

Envelope quickHistory(RequestContext& ctx)
{
    auto from = reply::parseDate(ctx.query.value("sdate"));
    auto to = reply::parseDate(ctx.query.value("edate"));
    using std::chrono::sys_days;
    if (!from || !to || sys_days(*from) > sys_days(*to) ||
        (sys_days(*to) - sys_days(*from)).count() > kMaxHistoryDays)
        return Envelope(result::kQuickRange, result::kQuickRangeText);
    std::optional<Account> a;
    if (auto refusal = refuseUnlessPassword(ctx, &a))
        return *refusal;
    std::string sdate = reply::ymdText(*from);
    std::string edate = reply::ymdText(*to);
    auto stamp = [](const std::string& d, const char* time) {
        return d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) + " " + time;
    };
    return ctx.store.read([&](Db& db) {
        auto lines = accounts::history(db, a->accountNo, stamp(sdate, "00:00:00"), stamp(edate, "23:59:59"));
        Envelope env = Envelope::ok();
        env.emptyList();
        // Newest first, at most the newest kMaxHistoryLines.
        std::size_t shown = 0;
        for (auto it = lines.rbegin(); it != lines.rend() && shown < kMaxHistoryLines; ++it, ++shown)
            env.addRecord({reply::dotted(it->at), it->memo, it->counterpart, it->direction, reply::grouped(it->amount),
                           reply::grouped(it->balanceAfter)});
        return env;
    });
}

Envelope exchangeRates(RequestContext& ctx)
{
    auto day = reply::parseDate(ctx.query.value("sdate"));
    if (!day)
        return Envelope(result::kBadValue, result::kBadValueText);
    auto list = ctx.store.read([&](Db& db) { return rates::ofDay(db, reply::ymdText(*day)); });
    if (list.empty())
        return Envelope(result::kNoRates, result::kNoRatesText);
    Envelope env = Envelope::ok();
    for (const ExchangeRate& r : list)
        env.addRecord({r.currency, r.country, r.send, r.receive, r.cashBuy, r.cashSell, r.tcBuy, r.baseRate, r.bokRate,
                       r.usdRate, r.postedAt});
    return env;
}

} // namespace

void registerQuickInquiryHandlers(Dispatcher& d)
{
    // Guessing an account password: counted per address and session and per
    // account, besides the account's own failure count and lock.
    TransactionDef balance{"PDA_S001", /*needsSession=*/false, /*plainRoute=*/false, quickBalance};
    balance.rate = {true, {{RateScope::Account, "AccNO"}}};
    d.add(std::move(balance));
    TransactionDef history{"PDA_S002", /*needsSession=*/false, /*plainRoute=*/false, quickHistory};
    history.rate = {true, {{RateScope::Account, "AccNO"}}};
    d.add(std::move(history));
    TransactionDef fx{"PDA_S004", /*needsSession=*/false, /*plainRoute=*/true, exchangeRates};
    fx.rate = {true, {}};
    d.add(std::move(fx));
}

} // namespace bankd
