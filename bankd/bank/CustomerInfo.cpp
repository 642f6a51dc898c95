#include "CustomerInfo.h"

#include "AccountCodes.h"
#include "Customers.h"
#include "PasswordHash.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd::customerinfo {

void setProfile(Db& db, std::int64_t customerId, const Profile& p)
{
    auto s = db.prepare(
        "INSERT INTO customer_profiles (customer_id, zip_code, address1, address2, home_phone, mobile, "
        "email, solar, birth_date, wedding_date, business_code, workplace, work_phone, position) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14) "
        "ON CONFLICT (customer_id) DO UPDATE SET zip_code = excluded.zip_code, address1 = excluded.address1, "
        "address2 = excluded.address2, home_phone = excluded.home_phone, mobile = excluded.mobile, "
        "email = excluded.email, solar = excluded.solar, birth_date = excluded.birth_date, "
        "wedding_date = excluded.wedding_date, business_code = excluded.business_code, "
        "workplace = excluded.workplace, work_phone = excluded.work_phone, position = excluded.position");
    s.bind(1, customerId).bind(2, p.zipCode).bind(3, p.address1).bind(4, p.address2).bind(5, p.homePhone);
    s.bind(6, p.mobile).bind(7, p.email).bind(8, p.solar).bind(9, p.birthDate).bind(10, p.weddingDate);
    s.bind(11, p.businessCode).bind(12, p.workplace).bind(13, p.workPhone).bind(14, p.position);
    s.run();
}

Profile profile(Db& db, std::int64_t customerId)
{
    auto s = db.prepare(
        "SELECT zip_code, address1, address2, home_phone, mobile, email, solar, birth_date, wedding_date, "
        "business_code, workplace, work_phone, position FROM customer_profiles WHERE customer_id = ?1");
    s.bind(1, customerId);
    Profile p;
    if (s.step())
        p = {s.text(0), s.text(1), s.text(2), s.text(3), s.text(4),  s.text(5), s.text(6),
             s.text(7), s.text(8), s.text(9), s.text(10), s.text(11), s.text(12)};
    return p;
}

bool acceptablePassword(const std::string& p)
{
    if (p.size() < 4 || p.size() > 8)
        return false;
    bool letter = false, digit = false;
    for (char c : p) {
        if (c >= 'A' && c <= 'Z')
            letter = true;
        else if (c >= '0' && c <= '9')
            digit = true;
        else
            return false;
    }
    return letter && digit;
}

std::variant<Refusal, std::string> changePassword(Store& store, const std::string& userId, const std::string& current,
                                                  const std::string& next, Clock::time_point now)
{
    if (current.empty() || current.size() > 64)
        return Refusal{result::kInfPassword, result::kInfPasswordText};
    const std::string fresh = normalisePassword(next);
    if (!acceptablePassword(fresh))
        return Refusal{result::kInfNewPassword, result::kInfNewPasswordText};
    auto customer = store.read([&](Db& db) { return customers::find(db, userId); });
    if (!customer)
        return Refusal{result::kSession, result::kSessionText};
    auto checked = guard::check(store, Secret::LoginPassword, customer->userId, customer->pwdHash, current, now);
    if (checked.verdict == guard::Verdict::Locked)
        return Refusal{result::kLocked, result::kLockedText};
    if (checked.verdict == guard::Verdict::Wrong)
        return Refusal{result::kInfPassword, std::string(result::kInfPasswordText) + " (" +
                                                 std::to_string(checked.failures) + "회 오류, " +
                                                 std::to_string(kSecretFailureLimit) + "회 오류 시 이용 제한)"};
    if (normalisePassword(current) == fresh)
        return Refusal{result::kInfSamePassword, result::kInfSamePasswordText};
    const std::string hash = hashPassword(fresh, store.hashCost());
    bool changed = store.write([&](Db& db) {
        // Changed meanwhile by another session: this request no longer knows the password.
        auto c = customers::find(db, userId);
        if (!c || c->pwdHash != customer->pwdHash)
            return false;
        return customers::setPassword(db, userId, hash);
    });
    if (!changed)
        return Refusal{result::kInfPassword, result::kInfPasswordText};
    return std::string("비밀번호가 변경되었습니다. 다음 로그인부터 변경된 비밀번호를 사용하십시오.");
}

std::variant<Refusal, std::string> changeSecurityWay(Store& store, const std::string& userId, const std::string& way,
                                                     Clock::time_point now)
{
    if (way != "S" && way != "K")
        return Refusal{result::kInfSecurityWay, result::kInfSecurityWayText};
    return store.write([&](Db& db) -> std::variant<Refusal, std::string> {
        auto c = customers::find(db, userId);
        if (!c)
            return Refusal{result::kSession, result::kSessionText};
        if (way == "S" && !customers::securityCard(db, c->id))
            return Refusal{result::kInfNoCard, result::kInfNoCardText};
        if (way == "K" && customers::certificates(db, c->id).empty())
            return Refusal{result::kInfNoCertificate, result::kInfNoCertificateText};
        const std::string name = way == "S" ? "보안카드" : "공인인증서";
        if (c->securityWay == way)
            return "이체수단이 " + name + "(으)로 되어 있습니다.";
        customers::setSecurityWay(db, c->id, way);
        auto s = db.prepare(
            "INSERT INTO security_way_changes (customer_id, old_way, new_way, at) VALUES (?1, ?2, ?3, ?4)");
        s.bind(1, c->id).bind(2, c->securityWay).bind(3, way).bind(4, bankTimestamp(now));
        s.run();
        return "이체수단이 " + name + "(으)로 변경되었습니다.";
    });
}

} // namespace bankd::customerinfo
