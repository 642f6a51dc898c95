#include "Enrolment.h"

#include "Accounts.h"
#include "Sqlite.h"

namespace bankd::enrolment {

const char* outcomeText(Outcome o)
{
    switch (o) {
    case Outcome::Expired:
        return "비밀번호 등록기간이 경과하셨거나, 이용자 비밀번호 3회 오류입니다.";
    case Outcome::Registered:
        return "기 등록된 이용자 비밀번호가 있습니다.";
    case Outcome::OtherId:
        return "영업점에서 신청하신 이용자 아이디와 입력하신 이용자 아이디가 다릅니다.";
    case Outcome::IdTaken:
        return "다른 이용자가 이미 사용중인 아이디입니다.";
    case Outcome::NoAccount:
        return "타브린은행에 가입하신 입출금이 자유로운 예금통장이 없는 고객님은 신규가입을 하실 수 없습니다.";
    case Outcome::Branch:
        return "영업점에서 신청하신 고객님은 영업점 가입 고객으로 등록하십시오.";
    case Outcome::OwnAccount:
        return "영업점 신청 내역이 없습니다. 통장계좌로 가입하십시오.";
    }
    return "";
}

void addApplication(Db& db, const EnrolApplication& a)
{
    auto s = db.prepare(
        "INSERT INTO enrol_applications (jumin_no, user_id, name, applied_on, valid_until, failures) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    s.bind(1, a.juminNo).bind(2, customers::normaliseUserId(a.userId)).bind(3, a.name).bind(4, a.appliedOn);
    s.bind(5, a.validUntil).bind(6, a.failures);
    s.run();
}

std::optional<EnrolApplication> application(Db& db, const std::string& juminNo)
{
    auto s = db.prepare(
        "SELECT jumin_no, user_id, name, applied_on, valid_until, failures FROM enrol_applications "
        "WHERE jumin_no = ?1 AND state = 'open'");
    s.bind(1, juminNo);
    if (!s.step())
        return std::nullopt;
    return EnrolApplication{s.text(0), s.text(1), s.text(2), s.text(3), s.text(4), static_cast<int>(s.integer(5))};
}

std::int64_t addHolder(Db& db, const std::string& name, const std::string& juminNo, const std::string& now)
{
    // "#" is no user-ID character, so the record can never log in.
    auto s = db.prepare(
        "INSERT INTO customers (user_id, name, jumin_no, pwd_hash, security_way, use_hidden, created_at, enrolled) "
        "VALUES (?1, ?2, ?3, '', 'S', 'N', ?4, 0) RETURNING id");
    s.bind(1, "#" + juminNo).bind(2, name).bind(3, juminNo).bind(4, now);
    s.step();
    return s.integer(0);
}

std::optional<std::int64_t> holderOf(Db& db, const std::string& juminNo)
{
    auto s = db.prepare("SELECT id FROM customers WHERE jumin_no = ?1 AND enrolled = 0 ORDER BY id LIMIT 1");
    s.bind(1, juminNo);
    if (!s.step())
        return std::nullopt;
    return s.integer(0);
}

bool demandDeposit(const std::string& kindCode)
{
    return kindCode == "A04" || kindCode == "A05";
}

bool passwordRuleMet(const std::string& pwd1, const std::string& pwd2)
{
    if (pwd1 != pwd2 || pwd1.size() < 4 || pwd1.size() > 8)
        return false;
    bool letter = false, digit = false;
    for (char c : pwd1) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            letter = true;
        else
            return false;
    }
    return letter && digit;
}

namespace {

bool registered(Db& db, const std::string& juminNo)
{
    auto s = db.prepare("SELECT 1 FROM customers WHERE jumin_no = ?1 AND enrolled = 1 LIMIT 1");
    s.bind(1, juminNo);
    return s.step();
}

// An ID a user has, or that a branch application of someone else holds.
bool idTaken(Db& db, const std::string& userId, const std::string& juminNo)
{
    auto s = db.prepare(
        "SELECT 1 FROM customers WHERE user_id = ?1 UNION ALL "
        "SELECT 1 FROM enrol_applications WHERE user_id = ?1 AND state = 'open' AND jumin_no <> ?2 LIMIT 1");
    s.bind(1, userId).bind(2, juminNo);
    return s.step();
}

bool hasDemandDeposit(Db& db, std::int64_t customerId)
{
    for (const Account& a : accounts::ofCustomer(db, customerId))
        if (demandDeposit(a.kindCode))
            return true;
    return false;
}

} // namespace

Outcome identify(Db& db, const std::string& userId, const std::string& juminNo, const std::string& today)
{
    if (registered(db, juminNo))
        return Outcome::Registered;
    if (auto app = application(db, juminNo)) {
        if (app->validUntil < today || app->failures >= kApplicationIdFailures)
            return Outcome::Expired;
        if (app->userId != userId) {
            auto s = db.prepare("UPDATE enrol_applications SET failures = failures + 1 WHERE jumin_no = ?1");
            s.bind(1, juminNo);
            s.run();
            return Outcome::OtherId;
        }
        if (idTaken(db, userId, juminNo))
            return Outcome::IdTaken;
        return Outcome::Branch;
    }
    auto holder = holderOf(db, juminNo);
    if (!holder || !hasDemandDeposit(db, *holder))
        return Outcome::NoAccount;
    if (idTaken(db, userId, juminNo))
        return Outcome::IdTaken;
    return Outcome::OwnAccount;
}

std::int64_t createUser(Db& db, const std::string& userId, const std::string& juminNo, const std::string& pwdHash,
                        const SecurityCard& card, const std::string& now)
{
    std::int64_t id = 0;
    auto app = application(db, juminNo);
    if (auto holder = holderOf(db, juminNo)) {
        id = *holder;
        auto s = db.prepare(
            "UPDATE customers SET user_id = ?1, pwd_hash = ?2, security_way = 'S', enrolled = 1, created_at = ?3 "
            "WHERE id = ?4 AND enrolled = 0");
        s.bind(1, userId).bind(2, pwdHash).bind(3, now).bind(4, id);
        s.run();
    } else {
        id = customers::add(db, NewCustomer{userId, app ? app->name : std::string(), juminNo, "S", "N"}, pwdHash, now);
    }
    customers::setSecurityCard(db, id, card);
    if (app) {
        auto s = db.prepare("UPDATE enrol_applications SET state = 'done' WHERE jumin_no = ?1");
        s.bind(1, juminNo);
        s.run();
    }
    return id;
}

} // namespace bankd::enrolment
