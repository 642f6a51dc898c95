// PDA_U001: the login. Checks the password (Argon2id), counts wrong ones and
// locks the user at the limit, and binds the session to the user.
#include "Handlers.h"

#include "Customers.h"
#include "Dispatcher.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "Sessions.h"
#include "Store.h"

namespace bankd {

namespace {

Envelope login(RequestContext& ctx)
{
    std::string userId = customers::normaliseUserId(ctx.query.value("UserID"));
    const std::string& password = ctx.query.value("UserPwd");
    if (!customers::validUserId(userId) || password.empty() || password.size() > 64)
        return Envelope(result::kLoginFailed, result::kLoginFailedText);

    auto customer = ctx.store.read([&](Db& db) { return customers::find(db, userId); });
    if (!customer)
        return Envelope(result::kLoginFailed, result::kLoginFailedText);
    if (customer->locked)
        return Envelope(result::kLocked, result::kLockedText);

    // The slow hash runs outside any database transaction.
    bool good = verifyPassword(customer->pwdHash, password);
    if (!good) {
        int limit = ctx.config.loginFailLimit;
        int count = ctx.store.write([&](Db& db) { return customers::countFailedLogin(db, customer->id, limit); });
        if (count >= limit)
            return Envelope(result::kLocked, result::kLockedText);
        return Envelope(result::kLoginFailed, std::string(result::kLoginFailedText) + " (" + std::to_string(count) +
                                                  "회 오류, " + std::to_string(limit) + "회 오류 시 이용 제한)");
    }

    // The lock may have been set by a concurrent wrong attempt meanwhile.
    bool locked = ctx.store.write([&](Db& db) {
        auto now = customers::find(db, userId);
        if (!now || now->locked)
            return true;
        customers::clearFailedLogins(db, now->id);
        return false;
    });
    if (locked)
        return Envelope(result::kLocked, result::kLockedText);
    if (!ctx.sessions.bind(ctx.sessionKey, customer->userId))
        return Envelope(result::kSession, result::kSessionText);

    ctx.user = customer->userId;
    Envelope env = Envelope::ok();
    env.free0({customer->juminNo, customer->securityWay, customer->name, customer->useHidden});
    return env;
}

} // namespace

void registerLoginHandlers(Dispatcher& d)
{
    d.add({"PDA_U001", /*needsSession=*/false, /*plainRoute=*/false, login});
}

} // namespace bankd
