// Transfer results and scheduled transfers: PDA_T004 (results between two
// dates), PDA_T005 (one result), PDA_T006 (scheduled transfers), PDA_T007
// (cancel a scheduled transfer that has not been carried out). Only the
// session's own user's transfers are ever read or changed.
#include "Handlers.h"

#include <chrono>
#include <optional>

#include "Accounts.h"
#include "BankCodes.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"
#include "TransferCodes.h"

namespace bankd {

namespace {

bool validDate(const std::string& t)
{
    if (t.size() != 8 || accounts::digitsOnly(t) != t)
        return false;
    using namespace std::chrono;
    return year_month_day{year(std::stoi(t.substr(0, 4))), month(static_cast<unsigned>(std::stoi(t.substr(4, 2)))),
                          day(static_cast<unsigned>(std::stoi(t.substr(6, 2))))}
        .ok();
}

std::string resultText(const std::string& code)
{
    if (code == transfers::kDone)
        return "정상처리되었습니다";
    if (code == transfers::kFailFunds)
        return "잔액이 부족합니다";
    if (code == transfers::kFailLimit)
        return "이체 한도를 초과하였습니다";
    return "계좌 오류로 처리할 수 없습니다";
}

std::optional<std::int64_t> customerOf(Db& db, const std::string& userId)
{
    auto c = customers::find(db, userId);
    return c ? std::optional<std::int64_t>(c->id) : std::nullopt;
}

Envelope resultList(RequestContext& ctx)
{
    const std::string& from = ctx.query.value("InqSdate");
    const std::string& to = ctx.query.value("InqEdate");
    if (!validDate(from) || !validDate(to) || from > to)
        return Envelope(result::kBadValue, result::kBadValueText);
    return ctx.store.read([&](Db& db) {
        auto cid = customerOf(db, ctx.user);
        if (!cid)
            return Envelope(result::kSession, result::kSessionText);
        Envelope env = Envelope::ok();
        env.emptyList();
        auto s = db.prepare(
            "SELECT transfer_date, bank_code, to_account, amount, result_code, serial FROM transfers "
            "WHERE customer_id = ?1 AND transfer_date BETWEEN ?2 AND ?3 ORDER BY transfer_date, id");
        s.bind(1, *cid).bind(2, from).bind(3, to);
        while (s.step())
            env.addRecord({s.text(0), s.text(1), s.text(2), std::to_string(s.integer(3)),
                           s.text(4) == transfers::kDone ? "정상" : "오류", s.text(5)});
        return env;
    });
}

Envelope resultDetail(RequestContext& ctx)
{
    const std::string& from = ctx.query.value("InqSdate");
    const std::string& to = ctx.query.value("InqEdate");
    const std::string& serial = ctx.query.value("Seq");
    if (!validDate(from) || !validDate(to) || from > to || serial.empty())
        return Envelope(result::kBadValue, result::kBadValueText);
    return ctx.store.read([&](Db& db) {
        auto cid = customerOf(db, ctx.user);
        if (!cid)
            return Envelope(result::kSession, result::kSessionText);
        auto s = db.prepare(
            "SELECT t.from_account, t.recipient, t.bank_code, t.to_account, t.amount, t.fee, t.transfer_date, "
            "t.message_no, t.result_code, a.display_no FROM transfers t LEFT JOIN accounts a "
            "ON a.account_no = t.from_account WHERE t.customer_id = ?1 AND t.serial = ?2 "
            "AND t.transfer_date BETWEEN ?3 AND ?4");
        s.bind(1, *cid).bind(2, serial).bind(3, from).bind(4, to);
        if (!s.step())
            return Envelope(result::kTrfNoResult, result::kTrfNoResultText);
        std::string code = s.text(8);
        return Envelope::ok().free0({s.isNull(9) ? s.text(0) : s.text(9), s.text(1), banks::nameOf(s.text(2)),
                                     s.text(3), std::to_string(s.integer(4)), std::to_string(s.integer(5)),
                                     s.text(6), s.text(7), code + ":" + resultText(code)});
    });
}

Envelope scheduledList(RequestContext& ctx)
{
    return ctx.store.read([&](Db& db) {
        auto cid = customerOf(db, ctx.user);
        if (!cid)
            return Envelope(result::kSession, result::kSessionText);
        Envelope env = Envelope::ok();
        env.emptyList();
        auto s = db.prepare(
            "SELECT s.exec_date, s.id, coalesce(a.display_no, s.from_account), s.bank_code, s.to_account, "
            "s.recipient, s.amount, s.result_code FROM scheduled_transfers s LEFT JOIN accounts a "
            "ON a.account_no = s.from_account WHERE s.customer_id = ?1 AND s.cancelled = 0 ORDER BY s.exec_date, s.id");
        s.bind(1, *cid);
        while (s.step())
            env.addRecord({s.text(0), std::to_string(s.integer(1)), s.text(2), s.text(3), s.text(4), s.text(5),
                           std::to_string(s.integer(6)), s.text(7)});
        return env;
    });
}

Envelope cancelScheduled(RequestContext& ctx)
{
    const std::string& date = ctx.query.value("IcheExecDay");
    const std::string& seq = ctx.query.value("IcheSeqNo");
    if (!validDate(date) || seq.empty() || seq.size() > 18 || accounts::digitsOnly(seq) != seq)
        return Envelope(result::kTrfNoSchedule, result::kTrfNoScheduleText);
    return ctx.store.write([&](Db& db) {
        auto cid = customerOf(db, ctx.user);
        if (!cid)
            return Envelope(result::kSession, result::kSessionText);
        auto s = db.prepare(
            "SELECT result_code FROM scheduled_transfers WHERE id = ?1 AND customer_id = ?2 AND exec_date = ?3 "
            "AND cancelled = 0");
        s.bind(1, static_cast<std::int64_t>(std::stoll(seq))).bind(2, *cid).bind(3, date);
        if (!s.step())
            return Envelope(result::kTrfNoSchedule, result::kTrfNoScheduleText);
        if (s.text(0) == transfers::kDone)
            return Envelope(result::kTrfScheduleDone, result::kTrfScheduleDoneText);
        auto u = db.prepare("UPDATE scheduled_transfers SET cancelled = 1 WHERE id = ?1 AND result_code <> '0000'");
        u.bind(1, static_cast<std::int64_t>(std::stoll(seq))).run();
        return Envelope::ok("예약이체가 삭제되었습니다.");
    });
}

} // namespace

void registerTransferListHandlers(Dispatcher& d)
{
    d.add({"PDA_T004", /*needsSession=*/true, /*plainRoute=*/false, resultList});
    d.add({"PDA_T005", /*needsSession=*/true, /*plainRoute=*/false, resultDetail});
    d.add({"PDA_T006", /*needsSession=*/true, /*plainRoute=*/false, scheduledList});
    d.add({"PDA_T007", /*needsSession=*/true, /*plainRoute=*/false, cancelScheduled});
}

} // namespace bankd
