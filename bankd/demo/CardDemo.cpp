#include "CardDemo.h"

#include <chrono>
#include <cstdio>

#include "Accounts.h"
#include "CardCash.h"
#include "Cards.h"
#include "Customers.h"
#include "Sqlite.h"

namespace bankd {

namespace {

using namespace std::chrono;

struct DemoCard {
    const char* user;
    const char* cardNo;
    const char* kind;
    const char* kindName;
    const char* settlement;
    int billingDay;
    std::int64_t totalLimit;
    std::int64_t cashLimit;
    int expiryYears;  // from now; negative: expired
    const char* accident;
};

const DemoCard kCards[] = {
    {"DEMOS", "9410200134567801", "credit", "개인신용", "110234567890", 27, 8'000'000, 3'000'000, 3, ""},
    {"DEMOS", "9410200134567802", "check", "개인체크", "110234567891", 0, 0, 0, 4, ""},
    {"DEMOS", "9410200134567803", "credit", "가족신용", "110234567890", 12, 3'000'000, 1'000'000, 2, ""},
    {"DEMOS", "9410200134567804", "credit", "개인신용", "110234567890", 20, 5'000'000, 2'000'000, 1, "분실신고"},
    {"DEMOS", "9410200134567805", "cash", "현금카드", "110234567890", 0, 0, 0, 5, ""},
    {"DEMOK", "9410300245678901", "credit", "개인신용", "110345678901", 5, 5'000'000, 2'000'000, 3, ""},
    {"DEMOK", "9410300245678902", "check", "개인체크", "110345678902", 0, 0, 0, 4, ""},
    {"DEMOK", "9410300245678903", "cash", "현금카드", "110345678901", 0, 0, 0, 5, ""},
    {"DEMOP", "9410400356789001", "credit", "개인신용", "110456789012", 23, 3'000'000, 1'000'000, 2, ""},
    {"DEMOP", "9410400356789002", "check", "개인체크", "110456789012", 0, 0, 0, 4, ""},
};

const char* kMerchants[] = {"타브린마트 강남점", "한빛주유소",   "커피나무 역삼점", "온누리약국",   "푸른서점",
                            "서울버스조합",       "맛나분식",     "하늘항공",        "스마일편의점", "다온백화점",
                            "새봄안경",           "한마음병원",   "별빛영화관",      "우리동네정육점", "초록꽃집"};

std::string dateAt(Clock::time_point t)
{
    return bankTime(t).date;
}

std::string yyyymm(Clock::time_point t, int monthsAhead)
{
    year_month_day d{floor<days>(t + hours(9))};
    year_month ym = year_month{d.year(), d.month()} + months(monthsAhead);
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04d%02u", static_cast<int>(ym.year()), static_cast<unsigned>(ym.month()));
    return buf;
}

void approval(Db& db, const std::string& cardNo, const std::string& at, const std::string& merchant,
              std::int64_t amount, const char* kind, int instalments, const char* receipt, const std::string& cancelled)
{
    auto s = db.prepare(
        "INSERT INTO card_approvals (card_no, approved_at, merchant, amount, sales_kind, instalments, receipt, "
        "cancelled_on) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    s.bind(1, cardNo).bind(2, at).bind(3, merchant).bind(4, amount).bind(5, kind).bind(6, instalments);
    s.bind(7, receipt).bind(8, cancelled).run();
}

// Approvals of a card: `count` over the last `spanDays` days, a few of them
// instalments or cancelled.
void approvals(Db& db, const Card& c, Clock::time_point now, int count, int spanDays, int seed)
{
    for (int i = 0; i < count; ++i) {
        auto t = now - minutes(60 * 24 * spanDays * (i + 1) / (count + 1)) - minutes(17 * ((i * 7 + seed) % 23));
        const std::string merchant = kMerchants[static_cast<std::size_t>(i + seed) % std::size(kMerchants)];
        std::int64_t amount = 3'500 + ((i * 7919 + seed * 31) % 180) * 1'000;
        const bool instal = i % 6 == 2;
        const bool cancelled = i % 9 == 4;
        approval(db, c.cardNo, bankTimestamp(t), merchant, instal ? amount * 4 : amount, instal ? "할부" : "일시불",
                 instal ? 3 : 0, i < 3 ? "미매입" : "매입", cancelled ? dateAt(t + hours(30)) : std::string());
    }
}

// Bills on the card's billing day of the last three months up to today,
// with their items; the amounts of a bill are its items' sums by kind.
void bills(Db& db, const Card& c, Clock::time_point now, int itemsLatest)
{
    const std::string today = dateAt(now);
    int made = 0;
    for (int back = 0; made < 3 && back < 5; ++back) {
        char day[16];
        std::snprintf(day, sizeof day, "%02d", c.billingDay);
        const std::string date = yyyymm(now, -back) + day;
        if (date > today)
            continue;
        const int items = made == 0 ? itemsLatest : 4 + made;
        std::int64_t lump = 0, instal = 0, instalFee = 0, cash = 0, cashFee = 0;
        // The bill first (its items refer to it); its amounts once they are summed.
        auto b = db.prepare("INSERT INTO card_bills (card_no, billing_date, settlement_no) VALUES (?1, ?2, ?3)");
        b.bind(1, c.cardNo).bind(2, date).bind(3, c.settlementNo).run();
        for (int i = 0; i < items; ++i) {
            const std::string merchant = kMerchants[static_cast<std::size_t>(i * 3 + made) % std::size(kMerchants)];
            // Used in the month before the billing date.
            std::string usedOn = yyyymm(now, -back - 1) + (i % 28 + 1 < 10 ? "0" : "") + std::to_string(i % 28 + 1);
            std::int64_t amount = 8'000 + ((i * 4513 + made * 97) % 90) * 1'000;
            auto s = db.prepare(
                "INSERT INTO card_bill_items (card_no, billing_date, used_on, merchant, sales_kind, amount, fee, "
                "instalment_no, instalment_amount, instalment_balance) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
            s.bind(1, c.cardNo).bind(2, date).bind(3, usedOn).bind(4, merchant);
            if (i % 5 == 3) {
                std::int64_t part = amount;
                std::int64_t fee = part * 12 / 1000 / 10 * 10;
                s.bind(5, "할부").bind(6, part).bind(7, fee).bind(8, std::to_string(1 + made % 3) + "/3");
                s.bind(9, part).bind(10, part * (2 - made % 3));
                instal += part;
                instalFee += fee;
            } else if (i % 7 == 5) {
                std::int64_t fee = cardcash::feeFor(amount * 5);
                s.bind(5, "현금서비스").bind(6, amount * 5).bind(7, fee).bind(8, "").bind(9, 0).bind(10, 0);
                cash += amount * 5;
                cashFee += fee;
            } else {
                s.bind(5, "일시불").bind(6, amount).bind(7, 0).bind(8, "").bind(9, 0).bind(10, 0);
                lump += amount;
            }
            s.run();
        }
        auto u = db.prepare(
            "UPDATE card_bills SET lump_principal = ?3, cash_principal = ?4, cash_fee = ?5, instal_principal = ?6, "
            "instal_fee = ?7, overseas_principal = ?8, overseas_fee = ?9 WHERE card_no = ?1 AND billing_date = ?2");
        u.bind(1, c.cardNo).bind(2, date).bind(3, lump).bind(4, cash).bind(5, cashFee).bind(6, instal);
        u.bind(7, instalFee).bind(8, made == 1 ? 86'400 : 0).bind(9, made == 1 ? 1'200 : 0).run();
        ++made;
    }
}

// A past cash advance, paid out like one made today: the settlement account
// credited, the advance and fee recorded, the card's balance raised.
void pastAdvance(Db& db, const Card& c, std::int64_t customerId, Clock::time_point at, std::int64_t amount)
{
    const std::int64_t fee = cardcash::feeFor(amount);
    const std::string when = bankTimestamp(at);
    accounts::post(db, c.settlementNo, amount, when, "현금서비스", c.kindName);
    auto u = db.prepare("UPDATE cards SET cash_used = cash_used + ?2, cash_fees = cash_fees + ?3 WHERE card_no = ?1");
    u.bind(1, c.cardNo).bind(2, amount).bind(3, fee).run();
    auto r = db.prepare(
        "INSERT INTO card_cash_advances (card_no, customer_id, serial, at, account_no, amount, fee, cash_after) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, "
        "(SELECT cash_used FROM cards WHERE card_no = ?1))");
    r.bind(1, c.cardNo).bind(2, customerId).bind(3, "demo-" + c.cardNo + "-" + when).bind(4, when);
    r.bind(5, c.settlementNo).bind(6, amount).bind(7, fee).run();
}

} // namespace

std::map<std::string, std::vector<std::string>> addCardDemo(Db& db, Clock::time_point now, const std::string& pinHash)
{
    std::map<std::string, std::vector<std::string>> told;
    int n = 0;
    for (const DemoCard& d : kCards) {
        auto customer = customers::find(db, d.user);
        if (!customer)
            continue;
        Card c;
        c.cardNo = d.cardNo;
        c.customerId = customer->id;
        c.kind = d.kind;
        c.kindName = d.kindName;
        c.expiry = yyyymm(now, 12 * d.expiryYears);
        c.branch = n % 3 == 0 ? "강남지점" : n % 3 == 1 ? "역삼지점" : "본점영업부";
        c.settlementNo = d.settlement;
        c.billingDay = d.billingDay;
        c.totalLimit = d.totalLimit;
        c.cashLimit = d.cashLimit;
        c.advanceLimit = d.cashLimit > 0 ? std::min<std::int64_t>(d.cashLimit, 1'000'000) : 0;
        c.accident = d.accident;
        // The first card of each customer is the newest, listed first.
        c.issuedOn = dateAt(now - hours(24 * (200 + 40 * n)));
        if (c.kind == "credit") {
            c.usedAmount = 420'000 + 130'000 * n;
            c.specialFrom = yyyymm(now, 0) + "01";
            c.specialTo = yyyymm(now, 1) + "01";
            c.specialAmount = n == 0 ? 2'000'000 : 0;
            c.specialUsed = n == 0 ? 350'000 : 0;
            if (c.specialAmount == 0)
                c.specialFrom = c.specialTo = "";
        }
        cards::add(db, c, pinHash);
        if (*d.accident) {
            auto a = db.prepare("UPDATE cards SET accident_at = ?2 WHERE card_no = ?1");
            a.bind(1, c.cardNo).bind(2, bankTimestamp(now - hours(24 * 6))).run();
        }
        if (c.kind != "cash") {
            const bool main = n == 0;
            approvals(db, c, now, main ? 26 : 7, main ? 29 : 25, n);
            if (main)
                approvals(db, c, now - hours(24 * 31), 6, 50, n + 3);  // older ones, outside the first period
        }
        if (c.billingDay != 0)
            bills(db, c, now, n == 0 ? 13 : 5);
        if (n == 0)
            pastAdvance(db, c, customer->id, now - hours(24 * 18), 300'000);
        if (n == 2) {
            auto s = db.prepare(
                "INSERT INTO card_arrears (card_no, first_overdue_on, today_unpaid, lump_principal, lump_fee, "
                "cash_principal, cash_fee, instal_principal, instal_fee, overseas_principal, overseas_fee, "
                "advance_principal, advance_interest, annual_fee) "
                "VALUES (?1, ?2, 87000, 412000, 6180, 200000, 5400, 150000, 2250, 0, 0, 0, 0, 10000)");
            s.bind(1, c.cardNo).bind(2, dateAt(now - hours(24 * 17))).run();
        }
        std::string line = cards::displayNo(c.cardNo) + " (" + c.kindName + (c.kind == "cash" ? "" : "카드") +
                           ") 비밀번호 " + kDemoCardPin;
        if (*d.accident)
            line += ", " + std::string(d.accident);
        if (n == 2)
            line += ", 연체";
        told[d.user].push_back(line);
        ++n;
    }
    return told;
}

} // namespace bankd
