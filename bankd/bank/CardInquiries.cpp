#include "CardInquiries.h"

#include <chrono>

#include "Accounts.h"
#include "Sqlite.h"

namespace bankd::cards {

namespace {

using namespace std::chrono;

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

// "YYYY-MM-DD ..." -> "YYYYMMDD".
std::string plainDate(const std::string& at)
{
    return at.size() >= 10 ? at.substr(0, 4) + at.substr(5, 2) + at.substr(8, 2) : at;
}

std::string isoDate(const std::string& d)
{
    return d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2);
}

} // namespace

bool validPeriod(const std::string& from, const std::string& to)
{
    auto a = dayOf(from);
    auto b = dayOf(to);
    return a && b && *a <= *b && *b - *a <= days(kMaxPeriodDays);
}

ApprovalPage approvals(Db& db, const std::string& cardNo, const std::string& from, const std::string& to, int page,
                       int pageSize)
{
    ApprovalPage out;
    auto s = db.prepare(
        "SELECT approved_at, merchant, amount, sales_kind, instalments, receipt, cancelled_on FROM card_approvals "
        "WHERE card_no = ?1 AND approved_at >= ?2 AND approved_at < ?3 || 'Z' "
        "ORDER BY approved_at DESC, id DESC LIMIT ?4 OFFSET ?5");
    s.bind(1, cardNo).bind(2, isoDate(from)).bind(3, isoDate(to));
    s.bind(4, static_cast<std::int64_t>(pageSize) + 1).bind(5, static_cast<std::int64_t>(page - 1) * pageSize);
    while (s.step()) {
        Approval a;
        a.date = plainDate(s.text(0));
        a.merchant = s.text(1);
        a.amount = s.integer(2);
        a.salesKind = s.text(3);
        a.instalments = static_cast<int>(s.integer(4));
        a.receipt = s.text(5);
        a.cancelledOn = s.text(6);
        out.items.push_back(std::move(a));
    }
    if (static_cast<int>(out.items.size()) > pageSize) {
        out.items.pop_back();
        out.more = true;
    }
    return out;
}

std::int64_t Bill::total() const
{
    std::int64_t t = 0;
    for (std::int64_t a : amounts)
        t += a;
    return t;
}

std::optional<Bill> bill(Db& db, const Card& card, const std::string& billingDate)
{
    auto d = dayOf(billingDate);
    if (!d || card.billingDay == 0 || std::stoi(billingDate.substr(6, 2)) != card.billingDay)
        return std::nullopt;
    auto s = db.prepare(
        "SELECT settlement_no, lump_principal, lump_fee, cash_principal, cash_fee, instal_principal, instal_fee, "
        "overseas_principal, overseas_fee, revolving_principal, revolving_fee FROM card_bills "
        "WHERE card_no = ?1 AND billing_date = ?2");
    s.bind(1, card.cardNo).bind(2, billingDate);
    if (!s.step())
        return std::nullopt;
    Bill b;
    b.billingDate = billingDate;
    b.settlementNo = s.text(0);
    for (int i = 0; i < 10; ++i)
        b.amounts[static_cast<std::size_t>(i)] = s.integer(i + 1);
    return b;
}

BillItemPage billItems(Db& db, const std::string& cardNo, const std::string& billingDate, int page, int pageSize)
{
    BillItemPage out;
    auto s = db.prepare(
        "SELECT used_on, merchant, sales_kind, amount, fee, instalment_no, instalment_amount, instalment_balance "
        "FROM card_bill_items WHERE card_no = ?1 AND billing_date = ?2 "
        "ORDER BY used_on DESC, id DESC LIMIT ?3 OFFSET ?4");
    s.bind(1, cardNo).bind(2, billingDate);
    s.bind(3, static_cast<std::int64_t>(pageSize) + 1).bind(4, static_cast<std::int64_t>(page - 1) * pageSize);
    while (s.step()) {
        BillItem i;
        i.usedOn = s.text(0);
        i.merchant = s.text(1);
        i.salesKind = s.text(2);
        i.amount = s.integer(3);
        i.fee = s.integer(4);
        i.instalmentNo = s.text(5);
        i.instalmentAmount = s.integer(6);
        i.instalmentBalance = s.integer(7);
        out.items.push_back(std::move(i));
    }
    if (static_cast<int>(out.items.size()) > pageSize) {
        out.items.pop_back();
        out.more = true;
    }
    return out;
}

std::int64_t Arrears::total() const
{
    std::int64_t t = 0;
    for (std::int64_t a : amounts)
        t += a;
    return t;
}

Arrears arrears(Db& db, const std::string& cardNo)
{
    Arrears a;
    auto s = db.prepare(
        "SELECT first_overdue_on, today_unpaid, lump_principal, lump_fee, cash_principal, cash_fee, "
        "instal_principal, instal_fee, overseas_principal, overseas_fee, advance_principal, advance_interest, "
        "annual_fee FROM card_arrears WHERE card_no = ?1");
    s.bind(1, cardNo);
    if (!s.step())
        return a;
    a.firstOverdueOn = s.text(0);
    a.todayUnpaid = s.integer(1);
    for (int i = 0; i < 11; ++i)
        a.amounts[static_cast<std::size_t>(i)] = s.integer(i + 2);
    return a;
}

} // namespace bankd::cards
