#include "LossReports.h"

#include <algorithm>
#include <set>

#include "Accounts.h"
#include "Cards.h"
#include "Sqlite.h"

namespace bankd::loss {

namespace {

// Characters of a UTF-8 text (Korean letters are one each).
std::size_t chars(const std::string& s)
{
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool allDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const char* kindCondition(CardKind kind)
{
    return kind == CardKind::Cash ? "kind = 'cash'" : "kind IN ('credit','check')";
}

} // namespace

std::string lossText(const std::string& accident, const std::string& at)
{
    if (accident.empty())
        return {};
    if (at.size() >= 10) {
        std::string withDate = accident + "(" + at.substr(5, 2) + "/" + at.substr(8, 2) + ")";
        if (chars(withDate) <= kTextLimit)
            return withDate;
    }
    return chars(accident) <= kTextLimit ? accident : std::string("사고등록");
}

std::vector<CardLine> cardsOf(Db& db, std::int64_t customerId, CardKind kind)
{
    auto s = db.prepare(std::string("SELECT card_no, settlement_no, accident, COALESCE(accident_at, ''), kind_name "
                                    "FROM cards WHERE customer_id = ?1 AND ") +
                        kindCondition(kind) + " ORDER BY issued_on DESC, card_no");
    s.bind(1, customerId);
    std::vector<CardLine> out;
    while (s.step()) {
        CardLine l;
        l.cardNo = cards::displayNo(s.text(0));
        l.accountNo = s.text(1);
        l.loss = lossText(s.text(2), s.text(3));
        l.type = s.text(4);
        out.push_back(std::move(l));
    }
    for (CardLine& l : out)
        l.accountNo = cards::displayAccount(db, l.accountNo);
    return out;
}

std::vector<PassbookLine> passbooksOf(Db& db, std::int64_t customerId)
{
    std::vector<PassbookLine> out;
    for (const Account& a : accounts::ofCustomer(db, customerId)) {
        if (a.kindCode == "A07")
            continue;
        out.push_back({a.kindName, a.displayNo, cards::amountText(a.balance)});
    }
    return out;
}

std::optional<std::vector<std::string>> parseCardData(const std::string& cardData)
{
    if (cardData.empty() || cardData.size() > kCardDataLimit || cardData.back() != ';')
        return std::nullopt;
    std::vector<std::string> out;
    std::set<std::string> seen;
    std::size_t from = 0;
    while (from < cardData.size()) {
        const std::size_t end = cardData.find(';', from);
        std::string number = cardData.substr(from, end - from);
        if (!allDigits(number) || number.size() > kCardDigitsLimit)
            return std::nullopt;
        if (seen.insert(number).second)
            out.push_back(std::move(number));
        if (out.size() > kMaxCards)
            return std::nullopt;
        from = end + 1;
    }
    return out;
}

Outcome reportCards(Db& db, std::int64_t customerId, CardKind kind, const std::vector<std::string>& cardNos,
                    const std::string& at)
{
    auto own = db.prepare(std::string("SELECT 1 FROM cards WHERE card_no = ?1 AND customer_id = ?2 AND ") +
                          kindCondition(kind));
    for (const std::string& no : cardNos) {
        own.reset();
        own.bind(1, no).bind(2, customerId);
        if (!own.step())
            return Outcome::NotOwn;
    }
    auto mark = db.prepare("UPDATE cards SET accident = ?2, accident_at = ?3 WHERE card_no = ?1 AND accident = ''");
    for (const std::string& no : cardNos) {
        mark.reset();
        mark.bind(1, no).bind(2, std::string(kLostMark)).bind(3, at);
        mark.run();
    }
    return Outcome::Reported;
}

bool isOwnPassbook(Db& db, std::int64_t customerId, const std::string& accountNo)
{
    auto a = accounts::find(db, accountNo);
    return a && a->customerId == customerId && a->kindCode != "A07";
}

void reportPassbook(Db& db, const std::string& accountNo, const std::string& at)
{
    auto s = db.prepare(
        "UPDATE accounts SET passbook_accident = ?2, passbook_accident_at = ?3 "
        "WHERE account_no = ?1 AND passbook_accident = ''");
    s.bind(1, accountNo).bind(2, std::string(kLostMark)).bind(3, at);
    s.run();
}

std::string passbookLoss(Db& db, const std::string& accountNo)
{
    auto s = db.prepare("SELECT passbook_accident FROM accounts WHERE account_no = ?1");
    s.bind(1, accountNo);
    return s.step() ? s.text(0) : std::string();
}

} // namespace bankd::loss
