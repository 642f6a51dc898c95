#include "TransferDemo.h"

#include <string>

#include "Accounts.h"
#include "Customers.h"
#include "Sqlite.h"
#include "TransferCodes.h"
#include "Transfers.h"

namespace bankd {

namespace {

using namespace std::chrono;

std::string dayOf(Clock::time_point now, int daysFromNow)
{
    return bankTime(now + hours(24 * daysFromNow)).date;
}

struct PastTransfer {
    int daysAgo;
    const char* bank;
    const char* to;
    const char* recipient;
    std::int64_t amount;
    const char* code;  // "0000" or a failure code
};

} // namespace

void addTransferDemo(Db& db, Clock::time_point now)
{
    const char* others[][3] = {{"04", "12345678901", "최유리"},
                               {"26", "110222333444", "정하늘"},
                               {"81", "45678901234", "한지민"},
                               {"71", "60012345678901", "오세훈"}};
    for (auto& o : others) {
        auto s = db.prepare("INSERT INTO other_bank_accounts (bank_code, account_no, holder) VALUES (?1, ?2, ?3)");
        s.bind(1, o[0]).bind(2, o[1]).bind(3, o[2]).run();
    }

    auto kim = customers::find(db, "DEMOS");
    auto lee = customers::find(db, "DEMOK");
    if (!kim || !lee)
        return;
    const char* favourites[][3] = {{"20", "이서연", "110345678901"}, {"04", "최유리", "12345678901"},
                                   {"26", "정하늘", "110222333444"}, {"81", "한지민", "45678901234"},
                                   {"71", "오세훈", "60012345678901"}};
    for (auto& f : favourites) {
        auto s = db.prepare(
            "INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, nickname, registered_on, "
            "holder) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?5)");
        s.bind(1, kim->id).bind(2, f[0]).bind(3, f[1]).bind(4, f[2]).bind(5, f[1]).bind(6, dayOf(now, -60)).run();
    }
    {
        auto s = db.prepare(
            "INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, registered_on, holder) "
            "VALUES (?1, '20', '김민준', '110234567890', ?2, '김민준')");
        s.bind(1, lee->id).bind(2, dayOf(now, -30)).run();
    }

    // Past transfers from DEMOS's first ordinary account, with both sides posted.
    const std::string from = "110234567890";
    const PastTransfer past[] = {
        {27, "20", "110345678901", "이서연", 150'000, "0000"}, {21, "04", "12345678901", "최유리", 50'000, "0000"},
        {14, "26", "110222333444", "정하늘", 320'000, "0000"}, {14, "20", "110345678901", "이서연", 30'000, "0000"},
        {9, "81", "45678901234", "한지민", 75'000, "0000"},    {5, "71", "60012345678901", "오세훈", 900'000'000, "1001"},
        {3, "20", "110345678901", "이서연", 12'000, "0000"},   {1, "04", "12345678901", "최유리", 200'000, "0000"},
    };
    int n = 0;
    for (const PastTransfer& p : past) {
        const std::string date = dayOf(now, -p.daysAgo);
        const std::string at = bankTimestamp(now - hours(24 * p.daysAgo) - minutes(37 * ++n));
        const bool done = std::string(p.code) == transfers::kDone;
        const std::int64_t fee = std::string(p.bank) == "20" ? 0 : 500;
        std::int64_t after = 0;
        if (done) {
            accounts::post(db, from, -p.amount, at, "PDA이체", p.recipient);
            if (fee)
                accounts::post(db, from, -fee, at, "이체수수료", "");
            if (std::string(p.bank) == "20")
                accounts::post(db, p.to, p.amount, at, "PDA입금", "김민준");
            else {
                auto s = db.prepare(
                    "INSERT INTO interbank_out (serial, bank_code, account_no, amount, at) VALUES (?1, ?2, ?3, ?4, ?5)");
                s.bind(1, date + "9000000" + std::to_string(n)).bind(2, p.bank).bind(3, p.to).bind(4, p.amount);
                s.bind(5, at).run();
            }
            after = accounts::find(db, from)->balance;
        }
        auto s = db.prepare(
            "INSERT INTO transfers (customer_id, serial, transfer_date, at, from_account, bank_code, to_account, "
            "recipient, amount, fee, sender, cms_code, balance_after, message_no, result_code) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, '김민준', '', ?11, ?12, ?13)");
        s.bind(1, kim->id).bind(2, date + "9000000" + std::to_string(n)).bind(3, date).bind(4, at).bind(5, from);
        s.bind(6, p.bank).bind(7, p.to).bind(8, p.recipient).bind(9, p.amount).bind(10, done ? fee : 0);
        if (done)
            s.bind(11, after);
        else
            s.bindNull(11);
        s.bind(12, done ? "30" + std::to_string(41'000 + 17 * n) : std::string("0000000")).bind(13, p.code).run();
        if (done)
            transfers::addToDaySum(db, from, date, p.amount);
    }

    // Scheduled transfers: two carried out (one of them failed) and three pending.
    struct Sched {
        int days;
        const char* bank;
        const char* to;
        const char* recipient;
        std::int64_t amount;
        const char* code;
    };
    const Sched scheduled[] = {
        {-5, "71", "60012345678901", "오세훈", 900'000'000, "1001"},
        {-3, "20", "110345678901", "이서연", 12'000, "0000"},
        {4, "04", "12345678901", "최유리", 100'000, ""},
        {10, "20", "110345678901", "이서연", 250'000, ""},
        {25, "81", "45678901234", "한지민", 45'000, ""},
    };
    int k = 0;
    for (const Sched& sc : scheduled) {
        auto s = db.prepare(
            "INSERT INTO scheduled_transfers (customer_id, serial, exec_date, from_account, bank_code, to_account, "
            "recipient, amount, fee, sender, cms_code, result_code, registered_at, ran_at) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, '김민준', '', ?10, ?11, ?12)");
        const std::string date = dayOf(now, sc.days);
        s.bind(1, kim->id).bind(2, date + "8000000" + std::to_string(++k)).bind(3, date).bind(4, from);
        s.bind(5, sc.bank).bind(6, sc.to).bind(7, sc.recipient).bind(8, sc.amount);
        s.bind(9, std::string(sc.bank) == "20" ? 0 : 500).bind(10, sc.code).bind(11, bankTimestamp(now - hours(24 * 20)));
        if (*sc.code)
            s.bind(12, bankTimestamp(now + hours(24 * sc.days)));
        else
            s.bindNull(12);
        s.run();
    }
}

} // namespace bankd
