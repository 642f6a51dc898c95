// Customer information: PDA_I001 (the profile), PDA_I003 (change of the login
// password; the user's other sessions must log in again) and PDA_I005 (change
// of the security means).
//
// PDA_I001 "<free0>" record, 20 fields: name; zip code; address kind ("1"
// home); address lines 1 and 2; home phone; mobile; e-mail; calendar of the
// birth date ("1" solar, "2" lunar); birth date; wedding date ("00000000"
// none); occupation code; workplace; work phone; position; security means;
// hidden-account option; customer since; two reserved.
#include "Handlers.h"

#include "CustomerInfo.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "Envelope.h"
#include "Query.h"
#include "ResultCodes.h"
#include "Sessions.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

template <class F>
Envelope replyOf(F&& r)
{
    if (auto* no = std::get_if<customerinfo::Refusal>(&r))
        return Envelope(no->code, no->text);
    return Envelope::ok(std::get<std::string>(r));
}

Envelope profile(RequestContext& ctx)
{
    return ctx.store.read([&](Db& db) {
        auto c = customers::find(db, ctx.user);
        if (!c)
            return Envelope(result::kSession, result::kSessionText);
        Profile p = customerinfo::profile(db, c->id);
        std::string since;
        {
            auto s = db.prepare("SELECT substr(replace(created_at, '-', ''), 1, 8) FROM customers WHERE id = ?1");
            s.bind(1, c->id);
            if (s.step())
                since = s.text(0);
        }
        return Envelope::ok().free0Record({c->name, p.zipCode, "1", p.address1, p.address2, p.homePhone, p.mobile,
                                           p.email, p.solar, p.birthDate, p.weddingDate, p.businessCode, p.workplace,
                                           p.workPhone, p.position, c->securityWay, c->useHidden, since, "", ""});
    });
}

Envelope changePassword(RequestContext& ctx)
{
    const Query& q = ctx.query;
    auto r = customerinfo::changePassword(ctx.store, ctx.user, q.value("Pwd"), q.value("Pwd1"), ctx.clock.now());
    if (std::holds_alternative<std::string>(r))
        ctx.sessions.logOutOthers(ctx.user, ctx.sessionKey);
    return replyOf(r);
}

Envelope changeSecurityWay(RequestContext& ctx)
{
    return replyOf(customerinfo::changeSecurityWay(ctx.store, ctx.user, ctx.query.value("secgb"), ctx.clock.now()));
}

} // namespace

void registerCustomerInfoHandlers(Dispatcher& d)
{
    d.add({"PDA_I001", /*needsSession=*/true, /*plainRoute=*/false, profile});
    d.add({"PDA_I003", /*needsSession=*/true, /*plainRoute=*/false, changePassword});
    d.add({"PDA_I005", /*needsSession=*/true, /*plainRoute=*/false, changeSecurityWay});
}

} // namespace bankd
