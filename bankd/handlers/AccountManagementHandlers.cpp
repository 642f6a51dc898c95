// Account management: PDA_A004 (register or delete a withdrawal account),
// PDA_A002 (favourite deposit accounts), PDA_A007 (holder name of a deposit
// account), PDA_A005 (accounts with their hidden flag, behind the security
// value until the session has passed it once) and PDA_A006 (save the flags,
// only on such a session).
#include "Handlers.h"

#include "AccountCodes.h"
#include "AccountManagement.h"
#include "Dispatcher.h"
#include "Envelope.h"
#include "Query.h"
#include "Sessions.h"

namespace bankd {

namespace {

// Set on a session whose security value the hiding screen has verified.
constexpr const char* kHidingChecked = "security-checked";

template <class T>
Envelope replyOf(const std::variant<accountmgmt::Refusal, T>& r)
{
    if (auto* no = std::get_if<accountmgmt::Refusal>(&r))
        return Envelope(no->code, no->text);
    return Envelope::ok(std::get<accountmgmt::Done>(r).text);
}

SecurityInput securityOf(const RequestContext& ctx)
{
    const Query& q = ctx.query;
    return {q.value("ScrtyWay"), q.value("RandomNum"), q.value("SecPwd"), q.value("SignedMsg"), ctx.sessionKey};
}

Envelope withdrawalAccount(RequestContext& ctx)
{
    const Query& q = ctx.query;
    accountmgmt::WithdrawalInput in{ctx.user, q.value("SqlType"), q.value("ACCTNO"), q.value("passwd"),
                                    securityOf(ctx)};
    return replyOf(accountmgmt::changeWithdrawal(ctx.store, in, ctx.clock.now()));
}

Envelope favouriteAccount(RequestContext& ctx)
{
    const Query& q = ctx.query;
    // ACCTNAME (the holder the client shows) is not taken: the bank looks it up.
    accountmgmt::FavouriteInput in{ctx.user, q.value("SqlType"), q.value("ZENTAB"), q.value("ACCTNO"),
                                   q.value("NICKNAME"), q.value("IPANO")};
    return replyOf(accountmgmt::changeFavourite(ctx.store, in, ctx.clock.now()));
}

Envelope holderName(RequestContext& ctx)
{
    const Query& q = ctx.query;
    auto r = accountmgmt::holderName(ctx.store, ctx.user, q.value("ZENTAB"), q.value("ACCTNO"), q.value("WthrwAccNO"));
    if (auto* no = std::get_if<accountmgmt::Refusal>(&r))
        return Envelope(no->code, no->text);
    return Envelope::ok().free0Value(std::get<std::string>(r));
}

Envelope hiddenAccounts(RequestContext& ctx)
{
    SecurityInput sec = securityOf(ctx);
    if (sec.way.empty()) {
        // A later load of the screen: the session must have passed the check.
        if (ctx.sessions.attribute(ctx.sessionKey, kHidingChecked) != "Y")
            return Envelope(result::kAmgNotChecked, result::kAmgNotCheckedText);
    } else {
        auto r = accountmgmt::checkHidingSecurity(ctx.store, ctx.user, sec, ctx.clock.now());
        if (auto* no = std::get_if<accountmgmt::Refusal>(&r))
            return Envelope(no->code, no->text);
        ctx.sessions.setAttribute(ctx.sessionKey, kHidingChecked, "Y");
    }
    Envelope env = Envelope::ok();
    env.emptyList();
    for (const accountmgmt::HiddenRow& row : accountmgmt::hiddenFlags(ctx.store, ctx.user))
        env.addRecord({row.kindName, row.displayNo, std::to_string(row.balance), row.hidden ? "1" : "0"});
    return env;
}

Envelope saveHidden(RequestContext& ctx)
{
    if (ctx.sessions.attribute(ctx.sessionKey, kHidingChecked) != "Y")
        return Envelope(result::kAmgNotChecked, result::kAmgNotCheckedText);
    return replyOf(accountmgmt::saveHiddenFlags(ctx.store, ctx.user, ctx.query.value("ACCNO")));
}

} // namespace

void registerAccountManagementHandlers(Dispatcher& d)
{
    d.add({"PDA_A004", /*needsSession=*/true, /*plainRoute=*/false, withdrawalAccount});
    d.add({"PDA_A002", /*needsSession=*/true, /*plainRoute=*/false, favouriteAccount});
    // The holder's name of any account is worth probing for: counted per session and user.
    TransactionDef holder{"PDA_A007", /*needsSession=*/true, /*plainRoute=*/false, holderName};
    holder.rate = {true, {{RateScope::User, "UserID"}}};
    d.add(std::move(holder));
    d.add({"PDA_A005", /*needsSession=*/true, /*plainRoute=*/false, hiddenAccounts});
    d.add({"PDA_A006", /*needsSession=*/true, /*plainRoute=*/false, saveHidden});
}

} // namespace bankd
