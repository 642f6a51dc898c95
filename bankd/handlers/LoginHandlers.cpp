// PDA_U001: the login. Checks the password (Argon2id) under the login
// password's failure count and lock, and binds the session to the user. An
// unknown user ID does the same hash work as a known one.
#include "Handlers.h"

#include "Customers.h"
#include "Dispatcher.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
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
    if (!customer) {
        verifyAgainstDecoy(password, ctx.store.hashCost());
        return Envelope(result::kLoginFailed, result::kLoginFailedText);
    }
    auto checked =
        guard::check(ctx.store, Secret::LoginPassword, customer->userId, customer->pwdHash, password, ctx.clock.now());
    if (checked.verdict == guard::Verdict::Locked)
        return Envelope(result::kLocked, result::kLockedText);
    if (checked.verdict == guard::Verdict::Wrong)
        return Envelope(result::kLoginFailed, std::string(result::kLoginFailedText) + " (" +
                                                  std::to_string(checked.failures) + "회 오류, " +
                                                  std::to_string(kSecretFailureLimit) + "회 오류 시 이용 제한)");
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
    TransactionDef def{"PDA_U001", /*needsSession=*/false, /*plainRoute=*/false, login};
    def.rate = {true, {{RateScope::User, "UserID"}}};
    d.add(std::move(def));
}

} // namespace bankd
