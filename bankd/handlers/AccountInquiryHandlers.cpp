// The account inquiry: PDA_U002 (the user's accounts with balances), PDA_A008
// (details of one account) and PDA_A009 (the history of one account between two
// dates). Only the session's own user's accounts are ever read; an account of
// anyone else reads as unknown.
#include "Handlers.h"

#include <chrono>
#include <optional>

#include "Accounts.h"
#include "Customers.h"
#include "DepositTerms.h"
#include "Dispatcher.h"
#include "ReplyFormat.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

using reply::dotted;
using reply::grouped;
using reply::parseDate;
using reply::ymdText;

// Kind codes without transaction history: "A00", "A02", "A07".
bool hasHistory(const std::string& kindCode)
{
    return kindCode != "A00" && kindCode != "A02" && kindCode != "A07";
}

// The account named by the request when it belongs to the request's user.
std::optional<Account> ownAccount(Db& db, const std::string& userId, const std::string& accNo)
{
    // The screens send account numbers as digits only.
    if (accNo.empty() || accNo.size() > 20 || accounts::digitsOnly(accNo) != accNo)
        return std::nullopt;
    const std::string& digits = accNo;
    auto customer = customers::find(db, userId);
    auto account = accounts::find(db, digits);
    if (!customer || !account || account->customerId != customer->id)
        return std::nullopt;
    return account;
}

std::string lastMovement(Db& db, const std::string& accountNo)
{
    auto s = db.prepare("SELECT max(at) FROM account_history WHERE account_no = ?1");
    s.bind(1, accountNo);
    if (!s.step() || s.isNull(0))
        return {};
    return s.text(0);
}

// Maturity of a time deposit: its terms, or a year after opening.
std::string maturityOf(Db& db, const Account& a, std::string* rate)
{
    if (auto t = deposits::terms(db, a.accountNo)) {
        *rate = t->rate;
        return t->maturity;
    }
    rate->clear();
    if (auto opened = parseDate(a.openedOn)) {
        std::chrono::year_month_day m{opened->year() + std::chrono::years(1), opened->month(), opened->day()};
        if (!m.ok())  // 29 February
            m = std::chrono::year_month_day{m.year(), m.month(), std::chrono::day(28)};
        return ymdText(m);
    }
    return {};
}

Envelope accountList(RequestContext& ctx)
{
    const std::string& userId = ctx.user;
    return ctx.store.read([&](Db& db) {
        Envelope env = Envelope::ok();
        env.emptyList();
        const bool known = accounts::forEachListed(db, userId, [&env](const accounts::ListedAccount& a) {
            env.addRecord({a.kindName, a.displayNo, std::to_string(a.balance), a.nickname, a.openedOn, a.kindCode,
                           a.withdrawal ? "Y" : "N", accounts::digitsOnly(a.lastMovementDay)});
        });
        if (!known)
            return Envelope(result::kSession, result::kSessionText);
        return env;
    });
}

Envelope accountDetail(RequestContext& ctx)
{
    const std::string& kind = ctx.query.value("DepositKind");
    const std::string& accNo = ctx.query.value("AccNO");
    return ctx.store.read([&](Db& db) {
        auto a = ownAccount(db, ctx.user, accNo);
        if (!a)
            return Envelope(result::kNotOwnAccount, result::kNotOwnAccountText);
        if (kind != a->kindCode)
            return Envelope(result::kBadValue, result::kBadValueText);
        Record labels{"계좌번호", "예금종류", "계좌별칭", "신규일자"};
        Record values{a->displayNo, a->kindName, a->nickname, dotted(a->openedOn)};
        if (a->kindCode == "A07") {
            labels.push_back("대출잔액");
            values.push_back(grouped(a->balance) + "원");
        } else {
            labels.insert(labels.end(), {"현재잔액", "지급가능잔액"});
            values.insert(values.end(), {grouped(a->balance) + "원", grouped(a->balance) + "원"});
        }
        if (a->kindCode == "A06") {
            std::string rate;
            std::string maturity = maturityOf(db, *a, &rate);
            labels.insert(labels.end(), {"만기일자", "적용금리"});
            values.insert(values.end(), {dotted(maturity), rate.empty() ? std::string() : "연 " + rate + "%"});
        }
        labels.push_back("최종거래일");
        values.push_back(dotted(lastMovement(db, a->accountNo)));
        return Envelope::ok().free0(values).free1(labels);
    });
}

Envelope accountHistory(RequestContext& ctx)
{
    const std::string& kind = ctx.query.value("DepositKind");
    auto from = parseDate(ctx.query.value("sdate"));
    auto to = parseDate(ctx.query.value("edate"));
    if (!from || !to || std::chrono::sys_days(*from) > std::chrono::sys_days(*to))
        return Envelope(result::kBadValue, result::kBadValueText);
    std::string sdate = ymdText(*from);
    std::string edate = ymdText(*to);
    auto stamp = [](const std::string& d, const char* time) {
        return d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) + " " + time;
    };
    return ctx.store.read([&](Db& db) {
        auto a = ownAccount(db, ctx.user, ctx.query.value("AccNO"));
        if (!a)
            return Envelope(result::kNotOwnAccount, result::kNotOwnAccountText);
        if (kind != a->kindCode)
            return Envelope(result::kBadValue, result::kBadValueText);
        if (!hasHistory(a->kindCode))
            return Envelope(result::kNoHistoryKind, result::kNoHistoryKindText);

        Envelope env = Envelope::ok();
        env.emptyList();
        const std::string first = stamp(sdate, "00:00:00");
        const std::string last = stamp(edate, "23:59:59");
        if (a->kindCode == "A01") {
            // Instalment savings: every deposit is one instalment, counted from
            // the account's first deposit.
            int instalment = 0;
            for (const HistoryEntry& h : accounts::history(db, a->accountNo, "0000-00-00 00:00:00", last)) {
                bool deposit = h.direction == "입금";
                if (deposit)
                    ++instalment;
                if (h.at < first)
                    continue;
                std::string month = h.at.substr(0, 4) + "." + h.at.substr(5, 2);
                env.addRecord({dotted(h.at), h.memo, deposit ? std::to_string(instalment) : std::string(), month,
                               grouped(h.amount), grouped(h.balanceAfter)});
            }
        } else if (a->kindCode == "A06") {
            std::string rate;
            std::string maturity = dotted(maturityOf(db, *a, &rate));
            for (const HistoryEntry& h : accounts::history(db, a->accountNo, first, last)) {
                bool deposit = h.direction == "입금";
                env.addRecord({dotted(h.at), maturity, rate.empty() ? std::string() : rate + "%",
                               deposit ? grouped(h.amount) : std::string(), grouped(h.balanceAfter),
                               deposit ? std::string() : dotted(h.at)});
            }
        } else {
            for (const HistoryEntry& h : accounts::history(db, a->accountNo, first, last))
                env.addRecord({dotted(h.at), h.memo, h.counterpart, h.direction, grouped(h.amount),
                               grouped(h.balanceAfter)});
        }
        return env;
    });
}

} // namespace

void registerAccountInquiryHandlers(Dispatcher& d)
{
    d.add({"PDA_U002", /*needsSession=*/true, /*plainRoute=*/false, accountList});
    d.add({"PDA_A008", /*needsSession=*/true, /*plainRoute=*/false, accountDetail});
    d.add({"PDA_A009", /*needsSession=*/true, /*plainRoute=*/false, accountHistory});
}

} // namespace bankd
