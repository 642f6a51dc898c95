// Enrolment without login: PDA_D001 (identification, seven outcomes), PDA_D002
// (password of a customer who applied at a branch) and PDA_D003 (enrolment
// with an own demand-deposit account). The registrations repeat every check
// of the identification themselves (the client may skip it), and create the
// user in one transaction that checks again, so a repeat creates nobody.
#include "Handlers.h"

#include "AccountPassword.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "Enrolment.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "SecurityCard.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

using enrolment::Outcome;

struct Person {
    std::string userId;
    std::string juminNo;
};

bool readPerson(RequestContext& ctx, Person* p)
{
    p->userId = customers::normaliseUserId(ctx.query.value("UserID"));
    p->juminNo = ctx.query.value("CorpJNO");
    return customers::validUserId(p->userId) && p->juminNo.size() == 13 &&
           accounts::digitsOnly(p->juminNo) == p->juminNo;
}

Envelope refusalOf(Outcome o)
{
    std::string code = "ENR0" + std::to_string(static_cast<int>(o));
    return Envelope(code, enrolment::outcomeText(o));
}

Envelope identification(RequestContext& ctx)
{
    Person p;
    if (!readPerson(ctx, &p))
        return Envelope(result::kBadValue, result::kBadValueText);
    const std::string today = bankTime(ctx.clock.now()).date;
    Outcome o = ctx.store.write([&](Db& db) { return enrolment::identify(db, p.userId, p.juminNo, today); });
    Envelope env = Envelope::ok();
    env.free0({std::to_string(static_cast<int>(o))});
    return env;
}

// Creates the user when the identification still gives `expected`.
Envelope create(RequestContext& ctx, const Person& p, Outcome expected, const std::string& hash,
                const std::string& accountNo)
{
    const std::string today = bankTime(ctx.clock.now()).date;
    const std::string now = bankTimestamp(ctx.clock.now());
    SecurityCard card = generateSecurityCard();
    // The session learns the user only once the user is committed.
    bool created = false;
    Envelope out = ctx.store.write([&](Db& db) {
        created = false;
        Outcome o = enrolment::identify(db, p.userId, p.juminNo, today);
        if (o != expected)
            return refusalOf(o);
        if (!accountNo.empty()) {
            auto holder = enrolment::holderOf(db, p.juminNo);
            auto a = accounts::find(db, accountNo);
            if (!holder || !a || a->customerId != *holder || !enrolment::demandDeposit(a->kindCode))
                return Envelope(result::kEnrolAccount, result::kEnrolAccountText);
        }
        enrolment::createUser(db, p.userId, p.juminNo, hash, card, now);
        created = true;
        return Envelope::ok("이용자 ID " + p.userId +
                            " 신규가입이 완료되었습니다. 보안카드는 영업점에서 받으신 후 이체 등에 사용하십시오.");
    });
    if (created)
        ctx.user = p.userId;
    return out;
}

// The checks both registrations share before any slow work.
std::optional<Envelope> precheck(RequestContext& ctx, const Person& p, Outcome expected)
{
    const std::string today = bankTime(ctx.clock.now()).date;
    Outcome o = ctx.store.write([&](Db& db) { return enrolment::identify(db, p.userId, p.juminNo, today); });
    if (o != expected)
        return refusalOf(o);
    if (!enrolment::passwordRuleMet(ctx.query.value("Pwd1"), ctx.query.value("Pwd2")))
        return Envelope(result::kEnrolPassword, result::kEnrolPasswordText);
    return std::nullopt;
}

Envelope branchRegistration(RequestContext& ctx)
{
    Person p;
    if (!readPerson(ctx, &p))
        return Envelope(result::kBadValue, result::kBadValueText);
    if (auto refusal = precheck(ctx, p, Outcome::Branch))
        return *refusal;
    std::string hash = hashPassword(ctx.query.value("Pwd1"), ctx.store.hashCost());
    return create(ctx, p, Outcome::Branch, hash, {});
}

Envelope accountRegistration(RequestContext& ctx)
{
    Person p;
    if (!readPerson(ctx, &p))
        return Envelope(result::kBadValue, result::kBadValueText);
    if (auto refusal = precheck(ctx, p, Outcome::OwnAccount))
        return *refusal;
    const std::string& accNo = ctx.query.value("accNo");
    const std::string& accPwd = ctx.query.value("accPwd");
    if (accNo.empty() || accNo.size() > 20 || accounts::digitsOnly(accNo) != accNo || accPwd.empty() ||
        accPwd.size() > 16)
        return Envelope(result::kEnrolAccount, result::kEnrolAccountText);
    // Only an own demand-deposit account is accepted; any other reads like a
    // wrong password and counts against the account the same way.
    auto own = [&](Db& db, const Account& a) {
        auto holder = enrolment::holderOf(db, p.juminNo);
        return holder && a.customerId == *holder && enrolment::demandDeposit(a.kindCode);
    };
    AccountCheck checked = checkAccountPassword(ctx.store, accNo, accPwd, ctx.clock.now(), own);
    if (checked.verdict == guard::Verdict::Locked)
        return Envelope(result::kQuickLocked, result::kQuickLockedText);
    if (checked.verdict != guard::Verdict::Right)
        return Envelope(result::kEnrolAccount, result::kEnrolAccountText);
    std::string hash = hashPassword(ctx.query.value("Pwd1"), ctx.store.hashCost());
    return create(ctx, p, Outcome::OwnAccount, hash, accNo);
}

} // namespace

void registerEnrolmentHandlers(Dispatcher& d)
{
    // Counted per address and session and per resident number (probing who
    // holds accounts, guessing an applicant's ID); PDA_D003 also per account.
    TransactionDef d1{"PDA_D001", /*needsSession=*/false, /*plainRoute=*/false, identification};
    d1.rate = {true, {{RateScope::Resident, "CorpJNO"}}};
    d.add(std::move(d1));
    TransactionDef d2{"PDA_D002", /*needsSession=*/false, /*plainRoute=*/false, branchRegistration};
    d2.rate = {true, {{RateScope::Resident, "CorpJNO"}}};
    d.add(std::move(d2));
    TransactionDef d3{"PDA_D003", /*needsSession=*/false, /*plainRoute=*/false, accountRegistration};
    d3.rate = {true, {{RateScope::Resident, "CorpJNO"}, {RateScope::Account, "accNo"}}};
    d.add(std::move(d3));
}

} // namespace bankd
