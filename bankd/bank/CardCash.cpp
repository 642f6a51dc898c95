#include "CardCash.h"

#include <optional>

#include "Accounts.h"
#include "CardCodes.h"
#include "Quotes.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "SecurityValue.h"
#include "Sqlite.h"
#include "Store.h"
#include "TransferCodes.h"

namespace bankd::cardcash {

namespace {

using cards::Refusal;

constexpr const char* kCheckKind = "card-cash";

Refusal refuse(const char* code, const char* text)
{
    return {code, text};
}

// Whole won: 1 to 13 digits, nothing else, not zero.
std::optional<std::int64_t> parseAmount(const std::string& t)
{
    if (t.empty() || t.size() > 13 || accounts::digitsOnly(t) != t)
        return std::nullopt;
    std::int64_t v = std::stoll(t);
    if (v <= 0)
        return std::nullopt;
    return v;
}

// The card as it stands in this transaction may give this advance: a credit
// card of the customer, valid, without accident or PIN lock, its settlement
// account open, the amount within the per-advance limit, the remaining cash
// limit and the remaining total limit. Re-run when executing, so that checks
// made in parallel cannot together outrun a limit.
std::optional<Refusal> refusalOf(Db& db, const Card& c, std::int64_t customerId, std::int64_t amount,
                                 Clock::time_point now)
{
    if (c.customerId != customerId || c.kind == "cash")
        return refuse(result::kCardUnknown, result::kCardUnknownText);
    if (!c.accident.empty())
        return refuse(result::kCardAccident, result::kCardAccidentText);
    if (guard::locked(db, Secret::CardPin, c.cardNo))
        return refuse(result::kCardPinLocked, result::kCardPinLockedText);
    if (cards::expired(c, now))
        return refuse(result::kCardExpired, result::kCardExpiredText);
    if (c.kind != "credit" || c.cashLimit <= 0)
        return refuse(result::kCardNoCash, result::kCardNoCashText);
    auto account = accounts::find(db, c.settlementNo);
    if (!account || account->customerId != customerId)
        return refuse(result::kCardNoCash, result::kCardNoCashText);
    if (amount > c.advanceLimit)
        return refuse(result::kCardAdvanceLimit, result::kCardAdvanceLimitText);
    if (c.cashUsed + amount > c.cashLimit || c.usedAmount + c.cashUsed + amount > c.totalLimit)
        return refuse(result::kCardCashLimit, result::kCardCashLimitText);
    return std::nullopt;
}

quotes::Values boundValues(const std::string& cardNo, std::int64_t amount, std::int64_t fee,
                           const std::string& account)
{
    return {{"card", cardNo}, {"amount", std::to_string(amount)}, {"fee", std::to_string(fee)}, {"account", account}};
}

} // namespace

std::int64_t feeFor(std::int64_t amount)
{
    return amount * 15 / 1000 / 10 * 10;
}

std::variant<Refusal, Checked> check(Store& store, const Request& in, Clock::time_point now, const Limits& limits)
{
    auto amount = parseAmount(in.amount);
    auto opened = cards::open(store, in.userId, in.cardNo, in.pin, now);
    if (auto* no = std::get_if<Refusal>(&opened))
        return *no;
    const std::int64_t customerId = std::get<cards::Opened>(opened).customer.id;
    if (!amount)
        return refuse(result::kCardAmount, result::kCardAmountText);
    return quotes::inCheck(store, [&](Db& db) -> std::variant<Refusal, Checked> {
        auto c = cards::find(db, in.cardNo);
        if (!c)
            return refuse(result::kCardUnknown, result::kCardUnknownText);
        if (auto no = refusalOf(db, *c, customerId, *amount, now))
            return *no;
        Checked out;
        out.cardDisplay = cards::displayNo(c->cardNo);
        out.accountDisplay = cards::displayAccount(db, c->settlementNo);
        out.amount = *amount;
        out.cashBefore = c->cashUsed;
        out.fee = feeFor(*amount);
        quotes::open(db, {kCheckKind, customerId, in.sessionKey},
                     boundValues(c->cardNo, *amount, out.fee, c->settlementNo), now, limits.checkLife);
        return out;
    });
}

std::variant<Refusal, Executed> execute(Store& store, const Request& in, Clock::time_point now, const Limits& limits)
{
    auto opened = cards::open(store, in.userId, in.cardNo, in.pin, now);
    if (auto* no = std::get_if<Refusal>(&opened))
        return *no;
    const Customer customer = std::get<cards::Opened>(opened).customer;
    const std::string at = bankTimestamp(now);
    return store.write([&](Db& db) -> std::variant<Refusal, Executed> {
        const quotes::Binding binding{kCheckKind, customer.id, in.sessionKey};
        // The session's newest check of this card and amount is the one executed.
        auto asked = parseAmount(in.amount);
        if (!asked)
            return refuse(result::kCardNoCheck, result::kCardNoCheckText);
        std::string serial;
        quotes::Found found =
            quotes::findLatest(db, binding, {{"card", in.cardNo}, {"amount", std::to_string(*asked)}}, now, &serial);
        if (found.state == quotes::State::Used)
            return refuse(result::kCardDone, result::kCardDoneText);
        if (found.state != quotes::State::Open)
            return refuse(result::kCardNoCheck, result::kCardNoCheckText);
        auto& v = found.values;

        const SecurityResult security = checkSecurityValue(
            db, customer, {in.scrtyWay, in.randomNum, in.secPwd, in.signedMsg, in.sessionKey},
            now, limits.signatureMaxAge);
        if (auto [code, text] = moneyRefusalOf(security); code)
            return refuse(code, text);

        const std::int64_t amount = std::stoll(v["amount"]);
        const std::int64_t fee = std::stoll(v["fee"]);
        auto c = cards::find(db, in.cardNo);
        if (!c)
            return refuse(result::kCardUnknown, result::kCardUnknownText);
        if (auto no = refusalOf(db, *c, customer.id, amount, now))
            return *no;
        if (c->settlementNo != v["account"])
            return refuse(result::kCardNoCheck, result::kCardNoCheckText);

        if (!accounts::post(db, c->settlementNo, amount, at, "현금서비스", c->kindName))
            throw DbError("cash advance posting failed");
        auto u = db.prepare(
            "UPDATE cards SET cash_used = cash_used + ?2, cash_fees = cash_fees + ?3 WHERE card_no = ?1");
        u.bind(1, c->cardNo).bind(2, amount).bind(3, fee).run();
        auto r = db.prepare(
            "INSERT INTO card_cash_advances (card_no, customer_id, serial, at, account_no, amount, fee, cash_after) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        r.bind(1, c->cardNo).bind(2, customer.id).bind(3, serial).bind(4, at).bind(5, c->settlementNo);
        r.bind(6, amount).bind(7, fee).bind(8, c->cashUsed + amount).run();
        if (!quotes::consume(db, binding, serial, "executed", now))
            throw DbError("cash service check changed under the transaction");

        Executed ex;
        ex.memberName = customer.name;
        ex.cardDisplay = cards::displayNo(c->cardNo);
        ex.accountDisplay = cards::displayAccount(db, c->settlementNo);
        ex.amount = amount;
        ex.cashAfter = c->cashUsed + amount;
        ex.fee = fee;
        return ex;
    });
}

} // namespace bankd::cardcash
