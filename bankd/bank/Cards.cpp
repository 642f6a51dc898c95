#include "Cards.h"

#include <cstdio>

#include "Accounts.h"
#include "CardCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd::cards {

namespace {

constexpr const char* kColumns =
    "card_no, customer_id, kind, kind_name, expiry, branch, settlement_no, billing_day, total_limit, cash_limit, "
    "advance_limit, used_amount, cash_used, cash_fees, special_from, special_to, special_amount, special_used, "
    "accident, issued_on";

Card cardOf(Stmt& s)
{
    Card c;
    c.cardNo = s.text(0);
    c.customerId = s.integer(1);
    c.kind = s.text(2);
    c.kindName = s.text(3);
    c.expiry = s.text(4);
    c.branch = s.text(5);
    c.settlementNo = s.text(6);
    c.billingDay = static_cast<int>(s.integer(7));
    c.totalLimit = s.integer(8);
    c.cashLimit = s.integer(9);
    c.advanceLimit = s.integer(10);
    c.usedAmount = s.integer(11);
    c.cashUsed = s.integer(12);
    c.cashFees = s.integer(13);
    c.specialFrom = s.text(14);
    c.specialTo = s.text(15);
    c.specialAmount = s.integer(16);
    c.specialUsed = s.integer(17);
    c.accident = s.text(18);
    c.issuedOn = s.text(19);
    return c;
}

Refusal refuse(const char* code, const char* text)
{
    return {code, text};
}

} // namespace

void add(Db& db, const Card& c, const std::string& pinHash)
{
    auto s = db.prepare(
        "INSERT INTO cards (card_no, customer_id, kind, kind_name, expiry, branch, settlement_no, pin_hash, "
        "billing_day, total_limit, cash_limit, advance_limit, used_amount, special_from, special_to, "
        "special_amount, special_used, accident, issued_on) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19)");
    s.bind(1, c.cardNo).bind(2, c.customerId).bind(3, c.kind).bind(4, c.kindName).bind(5, c.expiry);
    s.bind(6, c.branch).bind(7, c.settlementNo).bind(8, pinHash).bind(9, static_cast<std::int64_t>(c.billingDay));
    s.bind(10, c.totalLimit).bind(11, c.cashLimit).bind(12, c.advanceLimit).bind(13, c.usedAmount);
    s.bind(14, c.specialFrom).bind(15, c.specialTo).bind(16, c.specialAmount).bind(17, c.specialUsed);
    s.bind(18, c.accident).bind(19, c.issuedOn);
    s.run();
}

std::optional<Card> find(Db& db, const std::string& cardNo)
{
    auto s = db.prepare(std::string("SELECT ") + kColumns + " FROM cards WHERE card_no = ?1");
    s.bind(1, cardNo);
    if (!s.step())
        return std::nullopt;
    return cardOf(s);
}

std::optional<std::string> pinHash(Db& db, const std::string& cardNo)
{
    auto s = db.prepare("SELECT pin_hash FROM cards WHERE card_no = ?1");
    s.bind(1, cardNo);
    if (!s.step())
        return std::nullopt;
    return s.text(0);
}

std::string displayNo(const std::string& cardNo)
{
    std::string out;
    for (std::size_t i = 0; i < cardNo.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            out += '-';
        out += cardNo[i];
    }
    return out;
}

std::string displayExpiry(const std::string& expiry)
{
    return expiry.size() == 6 ? expiry.substr(0, 4) + "-" + expiry.substr(4, 2) : expiry;
}

std::string displayAccount(Db& db, const std::string& accountNo)
{
    auto a = accounts::find(db, accountNo);
    return a ? a->displayNo : accountNo;
}

bool expired(const Card& c, Clock::time_point now)
{
    return c.expiry < bankTime(now).date.substr(0, 6);
}

std::string amountText(std::int64_t amount)
{
    std::string digits = std::to_string(amount < 0 ? -amount : amount);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return amount < 0 ? "-" + out : out;
}

std::string dashedDate(const std::string& d)
{
    return d.size() == 8 ? d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) : d;
}

std::optional<int> pageOfKey(const std::string& key)
{
    if (key.size() != 3 || accounts::digitsOnly(key) != key)
        return std::nullopt;
    int n = std::stoi(key);
    return n == 0 ? 1 : n;
}

std::string replyKey(int page, bool more)
{
    if (!more || page >= 999)
        return "000";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", page);
    return buf;
}

CardPage heldCards(Db& db, std::int64_t customerId, int page, int pageSize)
{
    CardPage out;
    auto s = db.prepare(std::string("SELECT ") + kColumns +
                        " FROM cards WHERE customer_id = ?1 AND kind IN ('credit','check') "
                        "ORDER BY issued_on DESC, card_no LIMIT ?2 OFFSET ?3");
    s.bind(1, customerId).bind(2, static_cast<std::int64_t>(pageSize) + 1);
    s.bind(3, static_cast<std::int64_t>(page - 1) * pageSize);
    while (s.step())
        out.cards.push_back(cardOf(s));
    if (static_cast<int>(out.cards.size()) > pageSize) {
        out.cards.pop_back();
        out.more = true;
    }
    return out;
}

std::variant<Refusal, Opened> open(Store& store, const std::string& userId, const std::string& cardNo,
                                   const std::string& pin, Clock::time_point now)
{
    if (cardNo.size() < 14 || cardNo.size() > 19 || accounts::digitsOnly(cardNo) != cardNo)
        return refuse(result::kCardUnknown, result::kCardUnknownText);
    struct Pre {
        std::optional<Customer> customer;
        std::optional<Card> card;
        std::string hash;
    };
    Pre pre = store.read([&](Db& db) {
        Pre p;
        p.customer = customers::find(db, userId);
        p.card = find(db, cardNo);
        if (p.card)
            p.hash = pinHash(db, cardNo).value_or("");
        return p;
    });
    // Another customer's card reads as unknown.
    if (!pre.customer || !pre.card || pre.card->customerId != pre.customer->id || pre.card->kind == "cash")
        return refuse(result::kCardUnknown, result::kCardUnknownText);
    // A PIN is four digits; anything else cannot be right and is not counted.
    if (pin.size() != 4 || accounts::digitsOnly(pin) != pin)
        return refuse(result::kCardPin, result::kCardPinText);
    auto checked = guard::check(store, Secret::CardPin, cardNo, pre.hash, pin, now);
    if (checked.verdict == guard::Verdict::Locked)
        return refuse(result::kCardPinLocked, result::kCardPinLockedText);
    if (checked.verdict == guard::Verdict::Wrong)
        return Refusal{result::kCardPin, guard::wrongSecretText(result::kCardPinText, checked)};
    return Opened{*pre.customer, *pre.card};
}

} // namespace bankd::cards
