// Loans: PDA_L001 and PDA_L005 (the user's general loans and credit lines),
// PDA_L002 (terms of one general loan), PDA_L006 (a credit line as label and
// value pairs), PDA_L007 (interest position), PDA_L003 (interest due on a
// date, quoted once) and PDA_L004 (payment of the quoted interest after the
// account password and the security value). Only the session's own user's
// loans are ever read; anyone else's reads as unknown.
//
// List record: kind ("일반"/"한도"); loan number as printed; balance; yearly
// rate; first day; maturity; overdue flag "Y"/"N".
#include "Handlers.h"

#include "Accounts.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "LoanCodes.h"
#include "Loans.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

using loans::dotted;

std::string today(RequestContext& ctx)
{
    return bankTime(ctx.clock.now()).date;
}

std::string overdueWord(const Loan& l)
{
    return l.overdueSince.empty() ? "정상" : "연체";
}

std::string lastMovement(Db& db, const std::string& accountNo)
{
    auto s = db.prepare("SELECT max(at) FROM account_history WHERE account_no = ?1");
    s.bind(1, accountNo);
    if (!s.step() || s.isNull(0))
        return {};
    std::string at = s.text(0);
    return at.size() >= 10 ? at.substr(0, 4) + "." + at.substr(5, 2) + "." + at.substr(8, 2) : std::string();
}

Envelope loanList(RequestContext& ctx, bool creditLines)
{
    return ctx.store.read([&](Db& db) {
        auto c = customers::find(db, ctx.user);
        if (!c)
            return Envelope(result::kSession, result::kSessionText);
        Envelope env = Envelope::ok();
        env.emptyList();
        for (const Loan& l : loans::ofCustomer(db, c->id, creditLines, today(ctx)))
            env.addRecord({creditLines ? "한도" : "일반", l.displayNo, std::to_string(l.balance),
                           loans::rateText(l.rateBp), dotted(l.startedOn), dotted(l.maturityOn),
                           l.overdueSince.empty() ? "N" : "Y"});
        return env;
    });
}

Envelope generalLoans(RequestContext& ctx)
{
    return loanList(ctx, false);
}

Envelope creditLines(RequestContext& ctx)
{
    return loanList(ctx, true);
}

// The user's loan named by the request (digits, or as listed with "-").
template <typename F>
Envelope withLoan(RequestContext& ctx, const std::string& accNo, F&& f)
{
    return ctx.store.read([&](Db& db) {
        auto c = customers::find(db, ctx.user);
        if (!c)
            return Envelope(result::kSession, result::kSessionText);
        auto l = loans::ownLoan(db, c->id, accNo, today(ctx));
        if (!l)
            return Envelope(result::kLoanAccount, result::kLoanAccountText);
        return f(db, *c, *l);
    });
}

// free0: number, kind, borrower, rate, amount lent, maturity, balance, currency.
// free1: number, kind, balance, first day, maturity, last movement, next
// interest day, 정상/연체, paid-to, repayment, payments made, interest due on
// the next interest day, auto-debit account, interest terms.
Envelope generalDetail(RequestContext& ctx)
{
    return withLoan(ctx, ctx.query.value("LoanAccNo"), [&](Db& db, const Customer& c, const Loan& l) {
        if (l.creditLine)
            return Envelope(result::kLoanAccount, result::kLoanAccountText);
        const std::string day = l.nextDue > today(ctx) ? l.nextDue : today(ctx);
        loans::Due next = loans::dueOn(l, day, today(ctx));
        return Envelope::ok()
            .free0({l.displayNo, l.kindName, c.name, loans::rateText(l.rateBp), std::to_string(l.amount),
                    dotted(l.maturityOn), std::to_string(l.balance), "KRW"})
            .free1({l.displayNo, l.kindName, std::to_string(l.balance), dotted(l.startedOn), dotted(l.maturityOn),
                    lastMovement(db, l.accountNo), dotted(l.nextDue), overdueWord(l), dotted(l.paidTo), l.repayment,
                    std::to_string(l.payments) + "회", std::to_string(next.interest + next.overdueInterest),
                    l.autoAccount.empty() ? "미등록" : l.autoAccount, l.interestTerms});
    });
}

// Labels in free1, values in free0. Entries 3 and 4 are amounts, entry 10 the
// overdue flag "N"/"Y"; entries 9 and 11 are the bank's own codes.
Envelope creditDetail(RequestContext& ctx)
{
    return withLoan(ctx, ctx.query.value("AccNO"), [&](Db&, const Customer&, const Loan& l) {
        if (!l.creditLine)
            return Envelope(result::kLoanAccount, result::kLoanAccountText);
        return Envelope::ok()
            .free0({l.displayNo, l.kindName, dotted(l.startedOn), std::to_string(l.amount), std::to_string(l.balance),
                    dotted(l.maturityOn), loans::rateText(l.rateBp), dotted(l.paidTo), dotted(l.nextDue), "0701",
                    l.overdueSince.empty() ? "N" : "Y", "CL" + std::to_string(l.rateBp)})
            .free1({"계좌번호", "대출과목", "약정일", "약정한도", "대출잔액", "만기일", "대출이율", "이수기일",
                    "다음이자납입일", "관리점", "연체여부", "상품코드"});
    });
}

// Name, number, balance, current balance, first day, paid-to, maturity, next
// interest day, 정상/연체, rate. The number arrives as listed, with "-".
Envelope interestPosition(RequestContext& ctx)
{
    return withLoan(ctx, ctx.query.value("LoanAccNo"), [&](Db&, const Customer& c, const Loan& l) {
        if (l.creditLine)
            return Envelope(result::kLoanCreditLine, result::kLoanCreditLineText);
        return Envelope::ok().free0({c.name, l.displayNo, std::to_string(l.balance), std::to_string(l.balance),
                                     dotted(l.startedOn), dotted(l.paidTo), dotted(l.maturityOn), dotted(l.nextDue),
                                     overdueWord(l), loans::rateText(l.rateBp)});
    });
}

// Number, payment date, borrower, 정상/연체, overdue since, interest, overdue
// interest, balance, last day of the overdue period.
Envelope interestDue(RequestContext& ctx)
{
    const Query& q = ctx.query;
    auto r = loans::quote(ctx.store, ctx.user, ctx.sessionKey, q.value("LoanAccNo"), q.value("sdate"), ctx.clock.now());
    if (auto* no = std::get_if<loans::Refusal>(&r))
        return Envelope(no->code, no->text);
    const loans::Due& d = std::get<loans::Due>(r);
    const bool overdue = !d.overdueSince.empty();
    return Envelope::ok().free0({d.loan.displayNo, dotted(d.date), d.holder, overdue ? "연체" : "정상",
                                 dotted(d.overdueSince), std::to_string(d.interest),
                                 std::to_string(d.overdueInterest), std::to_string(d.loan.balance),
                                 overdue ? dotted(d.date) : std::string()});
}

// Paying account, borrower, loan number, first and last day of the period,
// interest, overdue since, overdue interest, paying account's balance after.
Envelope payInterest(RequestContext& ctx)
{
    const Query& q = ctx.query;
    loans::PayInput in;
    in.userId = ctx.user;
    in.sessionKey = ctx.sessionKey;
    in.from = q.value("OutAccNO");
    in.password = q.value("OutAccPWD");
    in.loan = q.value("LoanAccNo");
    in.sdate = q.value("sdate");
    in.scrtyWay = q.value("ScrtyWay");
    in.randomNum = q.value("RandomNum");
    in.secPwd = q.value("SecPwd");
    in.signedMsg = q.value("SignedMsg");
    auto r = loans::pay(ctx.store, in, ctx.clock.now());
    if (auto* no = std::get_if<loans::Refusal>(&r))
        return Envelope(no->code, no->text);
    const loans::Paid& p = std::get<loans::Paid>(r);
    const loans::Due& d = p.due;
    return Envelope::ok("이자납입이 정상처리 되었습니다.")
        .free0({p.fromDisplay, d.holder, d.loan.displayNo, dotted(d.from), dotted(d.date), std::to_string(d.interest),
                dotted(d.overdueSince), std::to_string(d.overdueInterest), std::to_string(p.balanceAfter)});
}

} // namespace

void registerLoanHandlers(Dispatcher& d)
{
    d.add({"PDA_L001", /*needsSession=*/true, /*plainRoute=*/false, generalLoans});
    d.add({"PDA_L005", /*needsSession=*/true, /*plainRoute=*/false, creditLines});
    d.add({"PDA_L002", /*needsSession=*/true, /*plainRoute=*/false, generalDetail});
    d.add({"PDA_L006", /*needsSession=*/true, /*plainRoute=*/false, creditDetail});
    d.add({"PDA_L007", /*needsSession=*/true, /*plainRoute=*/false, interestPosition});
    d.add({"PDA_L003", /*needsSession=*/true, /*plainRoute=*/false, interestDue});
    d.add({"PDA_L004", /*needsSession=*/true, /*plainRoute=*/false, payInterest});
}

} // namespace bankd
