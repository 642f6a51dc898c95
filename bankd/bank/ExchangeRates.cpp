#include "ExchangeRates.h"

#include "Sqlite.h"

namespace bankd::rates {

void add(Db& db, const ExchangeRate& r)
{
    auto s = db.prepare(
        "INSERT INTO exchange_rates (rate_date, seq, currency, country, send, receive, cash_buy, cash_sell, tc_buy, "
        "base_rate, bok_rate, usd_rate, posted_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    s.bind(1, r.date).bind(2, r.seq).bind(3, r.currency).bind(4, r.country).bind(5, r.send).bind(6, r.receive);
    s.bind(7, r.cashBuy).bind(8, r.cashSell).bind(9, r.tcBuy).bind(10, r.baseRate).bind(11, r.bokRate);
    s.bind(12, r.usdRate).bind(13, r.postedAt);
    s.run();
}

std::vector<ExchangeRate> ofDay(Db& db, const std::string& date)
{
    auto s = db.prepare(
        "SELECT rate_date, seq, currency, country, send, receive, cash_buy, cash_sell, tc_buy, base_rate, bok_rate, "
        "usd_rate, posted_at FROM exchange_rates WHERE rate_date = ?1 ORDER BY seq, currency");
    s.bind(1, date);
    std::vector<ExchangeRate> out;
    while (s.step()) {
        ExchangeRate r;
        r.date = s.text(0);
        r.seq = static_cast<int>(s.integer(1));
        r.currency = s.text(2);
        r.country = s.text(3);
        r.send = s.text(4);
        r.receive = s.text(5);
        r.cashBuy = s.text(6);
        r.cashSell = s.text(7);
        r.tcBuy = s.text(8);
        r.baseRate = s.text(9);
        r.bokRate = s.text(10);
        r.usdRate = s.text(11);
        r.postedAt = s.text(12);
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace bankd::rates
