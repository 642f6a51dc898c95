// Loss reports: PDA_R005 / PDA_R003 / PDA_R001 list the session user's credit
// (and check) cards, cash cards and passbooks with their loss texts;
// PDA_R006 / PDA_R004 report cards (CARDDATA: digits, each ended by ";"), all
// the listed cards or none; PDA_R002 reports a passbook after its account
// password, checked under the password's shared failure count and lock.
// Reporting again what is already reported succeeds and changes nothing.
#include "Handlers.h"

#include "Accounts.h"
#include "Clock.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "LossCodes.h"
#include "LossReports.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

Envelope noSession()
{
    return Envelope(result::kSession, result::kSessionText);
}

Envelope cardList(RequestContext& ctx, loss::CardKind kind)
{
    return ctx.store.read([&](Db& db) {
        auto customer = customers::find(db, ctx.user);
        if (!customer)
            return noSession();
        Envelope e = Envelope::ok();
        e.emptyList();
        for (const loss::CardLine& l : loss::cardsOf(db, customer->id, kind)) {
            if (kind == loss::CardKind::Cash)
                e.addRecord({l.cardNo, l.accountNo, l.loss, l.type});
            else
                e.addRecord({l.cardNo, l.accountNo, l.loss});
        }
        return e;
    });
}

Envelope creditCards(RequestContext& ctx)
{
    if (ctx.query.value("CARDCMP") != "1")
        return Envelope(result::kLossCardOnly, result::kLossCardOnlyText);
    return cardList(ctx, loss::CardKind::Credit);
}

Envelope cashCards(RequestContext& ctx)
{
    return cardList(ctx, loss::CardKind::Cash);
}

Envelope reportCards(RequestContext& ctx, loss::CardKind kind)
{
    auto numbers = loss::parseCardData(ctx.query.value("CARDDATA"));
    if (!numbers)
        return Envelope(result::kLossCardData, result::kLossCardDataText);
    const std::string at = bankTimestamp(ctx.clock.now());
    return ctx.store.write([&](Db& db) {
        auto customer = customers::find(db, ctx.user);
        if (!customer)
            return noSession();
        if (loss::reportCards(db, customer->id, kind, *numbers, at) != loss::Outcome::Reported)
            return Envelope(result::kLossNotOwnCard, result::kLossNotOwnCardText);
        return Envelope::ok(result::kLossCardsDoneText);
    });
}

Envelope creditReport(RequestContext& ctx)
{
    return reportCards(ctx, loss::CardKind::Credit);
}

Envelope cashReport(RequestContext& ctx)
{
    return reportCards(ctx, loss::CardKind::Cash);
}

Envelope passbooks(RequestContext& ctx)
{
    return ctx.store.read([&](Db& db) {
        auto customer = customers::find(db, ctx.user);
        if (!customer)
            return noSession();
        Envelope e = Envelope::ok();
        e.emptyList();
        for (const loss::PassbookLine& l : loss::passbooksOf(db, customer->id))
            e.addRecord({l.type, l.accountNo, l.balance});
        return e;
    });
}

Envelope passbookReport(RequestContext& ctx)
{
    const std::string accountNo = ctx.query.value("ACCTNO");
    struct Pre {
        std::int64_t customerId = 0;
        bool own = false;
        std::string hash;
    };
    std::optional<Pre> pre = ctx.store.read([&](Db& db) -> std::optional<Pre> {
        auto customer = customers::find(db, ctx.user);
        if (!customer)
            return std::nullopt;
        Pre p;
        p.customerId = customer->id;
        p.own = loss::isOwnPassbook(db, customer->id, accountNo);
        if (p.own)
            p.hash = accounts::passwordHash(db, accountNo).value_or("");
        return p;
    });
    if (!pre)
        return noSession();
    if (!pre->own)
        return Envelope(result::kLossNotOwnAccount, result::kLossNotOwnAccountText);
    auto checked = guard::check(ctx.store, Secret::AccountPassword, accountNo, pre->hash,
                                ctx.query.value("ACCTPWD"), ctx.clock.now());
    if (checked.verdict == guard::Verdict::Locked)
        return Envelope(result::kLossAccountLocked, result::kLossAccountLockedText);
    if (checked.verdict == guard::Verdict::Wrong)
        return Envelope(result::kLossPassword, guard::wrongSecretText(result::kLossPasswordText, checked));
    const std::string at = bankTimestamp(ctx.clock.now());
    ctx.store.write([&](Db& db) { loss::reportPassbook(db, accountNo, at); });
    return Envelope::ok(result::kLossPassbookDoneText);
}

} // namespace

void registerLossHandlers(Dispatcher& d)
{
    d.add({"PDA_R001", /*needsSession=*/true, /*plainRoute=*/false, passbooks});
    d.add({"PDA_R002", /*needsSession=*/true, /*plainRoute=*/false, passbookReport});
    d.add({"PDA_R003", /*needsSession=*/true, /*plainRoute=*/false, cashCards});
    d.add({"PDA_R004", /*needsSession=*/true, /*plainRoute=*/false, cashReport});
    d.add({"PDA_R005", /*needsSession=*/true, /*plainRoute=*/false, creditCards});
    d.add({"PDA_R006", /*needsSession=*/true, /*plainRoute=*/false, creditReport});
}

} // namespace bankd
