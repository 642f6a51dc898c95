#include "AccountManagement.h"

#include <optional>
#include <set>

#include "AccountCodes.h"
#include "Accounts.h"
#include "BankCodes.h"
#include "Customers.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "Store.h"
#include "Transfers.h"

namespace bankd::accountmgmt {

namespace {

constexpr std::size_t kMaxNicknameBytes = 60;  // 20 Hangul syllables in UTF-8
constexpr std::size_t kMaxHiddenRows = 200;

Refusal refuse(const char* code, const char* text)
{
    return Refusal{code, text};
}

bool plainAccountNo(const std::string& t)
{
    return !t.empty() && t.size() <= 20 && accounts::digitsOnly(t) == t;
}

// One of the customer's own accounts that can be a withdrawal account.
std::optional<Account> ownDeposit(Db& db, std::int64_t customerId, const std::string& accountNo)
{
    auto a = accounts::find(db, accountNo);
    if (!a || a->customerId != customerId || a->kindCode == "A07")
        return std::nullopt;
    return a;
}

bool setWithdrawal(Db& db, const std::string& accountNo, bool on)
{
    auto s = db.prepare("UPDATE accounts SET withdrawal = ?1 WHERE account_no = ?2");
    s.bind(1, on ? 1 : 0).bind(2, accountNo);
    s.run();
    return db.changes() == 1;
}

bool pendingSchedules(Db& db, const std::string& accountNo)
{
    auto s = db.prepare(
        "SELECT count(*) FROM scheduled_transfers WHERE from_account = ?1 AND result_code = '' AND cancelled = 0");
    s.bind(1, accountNo);
    s.step();
    return s.integer(0) > 0;
}

std::optional<Refusal> securityRefusal(SecurityResult r)
{
    switch (r) {
    case SecurityResult::Ok: return std::nullopt;
    case SecurityResult::OtherMeans: return refuse(result::kAmgSecurityWay, result::kAmgSecurityWayText);
    case SecurityResult::WrongCard: return refuse(result::kAmgCard, result::kAmgCardText);
    case SecurityResult::WrongSignature: return refuse(result::kAmgSignature, result::kAmgSignatureText);
    case SecurityResult::Locked: return refuse(result::kSecurityLocked, result::kSecurityLockedText);
    }
    return refuse(result::kSystem, result::kSystemText);
}

bool validNickname(const std::string& n)
{
    if (n.empty() || n.size() > kMaxNicknameBytes)
        return false;
    for (unsigned char c : n)
        if (c < 0x20 || c == ';' || c == '|' || c == '<' || c == '>')
            return false;
    return true;
}

std::optional<std::int64_t> serialOf(const std::string& t)
{
    if (t.empty() || t.size() > 12 || accounts::digitsOnly(t) != t)
        return std::nullopt;
    return std::stoll(t);
}

bool ownsFavourite(Db& db, std::int64_t customerId, std::int64_t id)
{
    auto s = db.prepare("SELECT 1 FROM favourite_accounts WHERE id = ?1 AND customer_id = ?2");
    s.bind(1, id).bind(2, customerId);
    return s.step();
}

// Another entry of the customer for the same deposit account (excluding `except`).
bool duplicateFavourite(Db& db, std::int64_t customerId, const std::string& bank, const std::string& accountNo,
                        std::int64_t except)
{
    auto s = db.prepare(
        "SELECT 1 FROM favourite_accounts WHERE customer_id = ?1 AND bank_code = ?2 AND account_no = ?3 AND id <> ?4");
    s.bind(1, customerId).bind(2, bank).bind(3, accountNo).bind(4, except);
    return s.step();
}

int favouriteCount(Db& db, std::int64_t customerId)
{
    auto s = db.prepare("SELECT count(*) FROM favourite_accounts WHERE customer_id = ?1");
    s.bind(1, customerId);
    s.step();
    return static_cast<int>(s.integer(0));
}

} // namespace

std::variant<Refusal, Done> changeWithdrawal(Store& store, const WithdrawalInput& in, Clock::time_point now)
{
    const bool registering = in.sqlType == "1";
    if (!registering && in.sqlType != "2")
        return refuse(result::kBadValue, result::kBadValueText);
    if (!plainAccountNo(in.accountNo))
        return refuse(result::kAmgAccount, result::kAmgAccountText);
    if (in.password.empty() || in.password.size() > 16)
        return refuse(result::kAmgPassword, result::kAmgPasswordText);

    struct Pre {
        std::optional<Customer> customer;
        std::string hash;
        bool own = false;
    };
    Pre pre = store.read([&](Db& db) {
        Pre p;
        p.customer = customers::find(db, in.userId);
        if (p.customer && ownDeposit(db, p.customer->id, in.accountNo)) {
            p.own = true;
            p.hash = accounts::passwordHash(db, in.accountNo).value_or("");
        }
        return p;
    });
    if (!pre.customer || !pre.own)
        return refuse(result::kAmgAccount, result::kAmgAccountText);
    auto checked = guard::check(store, Secret::AccountPassword, in.accountNo, pre.hash, in.password, now,
                                [&](Db& db, const std::string& keyed) { accounts::setPasswordHash(db, in.accountNo, keyed); });
    if (checked.verdict == guard::Verdict::Locked)
        return refuse(result::kAmgAccountLocked, result::kAmgAccountLockedText);
    if (checked.verdict == guard::Verdict::Wrong)
        return Refusal{result::kAmgPassword, guard::wrongSecretText(result::kAmgPasswordText, checked)};

    return store.write([&](Db& db) -> std::variant<Refusal, Done> {
        auto a = ownDeposit(db, pre.customer->id, in.accountNo);
        if (!a)
            return refuse(result::kAmgAccount, result::kAmgAccountText);
        if (registering) {
            if (a->withdrawal)
                return Done{"이미 출금계좌로 등록된 계좌입니다."};
            if (auto no = securityRefusal(checkSecurityValue(db, *pre.customer, in.security, now)))
                return *no;
            setWithdrawal(db, in.accountNo, true);
            return Done{"출금계좌가 등록되었습니다."};
        }
        if (!a->withdrawal)
            return Done{"출금계좌가 삭제되었습니다."};
        if (pendingSchedules(db, in.accountNo))
            return refuse(result::kAmgScheduled, result::kAmgScheduledText);
        setWithdrawal(db, in.accountNo, false);
        return Done{"출금계좌가 삭제되었습니다."};
    });
}

std::variant<Refusal, Done> changeFavourite(Store& store, const FavouriteInput& in, Clock::time_point now)
{
    const std::string& type = in.sqlType;
    if (type != "1" && type != "2" && type != "3")
        return refuse(result::kBadValue, result::kBadValueText);
    std::optional<std::int64_t> serial;
    if (type != "1") {
        serial = serialOf(in.serial);
        if (!serial)
            return refuse(result::kAmgNoFavourite, result::kAmgNoFavouriteText);
    }
    if (type != "3") {
        if (!validNickname(in.nickname))
            return refuse(result::kAmgNickname, result::kAmgNicknameText);
        if (banks::nameOf(in.bankCode).empty())
            return refuse(result::kAmgBank, result::kAmgBankText);
        if (!plainAccountNo(in.accountNo))
            return refuse(result::kAmgHolder, result::kAmgHolderText);
    }
    const std::string today = bankTime(now).date;
    return store.write([&](Db& db) -> std::variant<Refusal, Done> {
        auto c = customers::find(db, in.userId);
        if (!c)
            return refuse(result::kSession, result::kSessionText);
        if (serial && !ownsFavourite(db, c->id, *serial))
            return refuse(result::kAmgNoFavourite, result::kAmgNoFavouriteText);
        if (type == "3") {
            auto s = db.prepare("DELETE FROM favourite_accounts WHERE id = ?1 AND customer_id = ?2");
            s.bind(1, *serial).bind(2, c->id);
            s.run();
            return Done{"입금계좌가 삭제되었습니다."};
        }
        // The holder is the bank's own lookup, whatever name the client sent.
        const std::string holder = transfers::recipientOf(db, in.bankCode, in.accountNo);
        if (holder.empty())
            return refuse(result::kAmgHolder, result::kAmgHolderText);
        if (duplicateFavourite(db, c->id, in.bankCode, in.accountNo, serial.value_or(0)))
            return refuse(result::kAmgDuplicate, result::kAmgDuplicateText);
        if (type == "1") {
            if (favouriteCount(db, c->id) >= kMaxFavourites)
                return refuse(result::kAmgTooMany, result::kAmgTooManyText);
            auto s = db.prepare(
                "INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, nickname, "
                "registered_on, holder) VALUES (?1, ?2, ?3, ?4, ?3, ?5, ?6)");
            s.bind(1, c->id).bind(2, in.bankCode).bind(3, in.nickname).bind(4, in.accountNo).bind(5, today);
            s.bind(6, holder);
            s.run();
            return Done{"입금계좌가 등록되었습니다."};
        }
        auto s = db.prepare(
            "UPDATE favourite_accounts SET bank_code = ?3, account_name = ?4, nickname = ?4, account_no = ?5, "
            "holder = ?6 WHERE id = ?1 AND customer_id = ?2");
        s.bind(1, *serial).bind(2, c->id).bind(3, in.bankCode).bind(4, in.nickname).bind(5, in.accountNo);
        s.bind(6, holder);
        s.run();
        return Done{"입금계좌가 수정되었습니다."};
    });
}

std::variant<Refusal, std::string> holderName(Store& store, const std::string& userId, const std::string& bankCode,
                                              const std::string& accountNo, const std::string& withdrawalNo)
{
    if (banks::nameOf(bankCode).empty())
        return refuse(result::kAmgBank, result::kAmgBankText);
    if (!plainAccountNo(accountNo))
        return refuse(result::kAmgHolder, result::kAmgHolderText);
    return store.read([&](Db& db) -> std::variant<Refusal, std::string> {
        auto c = customers::find(db, userId);
        if (!c)
            return refuse(result::kSession, result::kSessionText);
        if (!plainAccountNo(withdrawalNo) || !ownDeposit(db, c->id, withdrawalNo))
            return refuse(result::kAmgWithdrawal, result::kAmgWithdrawalText);
        std::string holder = transfers::recipientOf(db, bankCode, accountNo);
        if (holder.empty())
            return refuse(result::kAmgHolder, result::kAmgHolderText);
        return holder;
    });
}

std::variant<Refusal, Done> checkHidingSecurity(Store& store, const std::string& userId, const SecurityInput& in,
                                                Clock::time_point now)
{
    return store.write([&](Db& db) -> std::variant<Refusal, Done> {
        auto c = customers::find(db, userId);
        if (!c)
            return refuse(result::kSession, result::kSessionText);
        if (auto no = securityRefusal(checkSecurityValue(db, *c, in, now)))
            return *no;
        return Done{};
    });
}

std::vector<HiddenRow> hiddenFlags(Store& store, const std::string& userId)
{
    return store.read([&](Db& db) {
        std::vector<HiddenRow> rows;
        auto c = customers::find(db, userId);
        if (!c)
            return rows;
        for (const Account& a : accounts::ofCustomer(db, c->id))
            rows.push_back({a.kindName, a.displayNo, a.balance, a.hidden});
        return rows;
    });
}

std::variant<Refusal, Done> saveHiddenFlags(Store& store, const std::string& userId, const std::string& rows)
{
    struct Row {
        std::string accountNo;
        bool hidden;
    };
    std::vector<Row> parsed;
    std::size_t pos = 0;
    while (pos < rows.size()) {
        std::size_t bar = rows.find('|', pos);
        if (bar == std::string::npos)
            return refuse(result::kBadValue, result::kBadValueText);
        const std::string row = rows.substr(pos, bar - pos);
        pos = bar + 1;
        std::size_t semi = row.find(';');
        if (semi == std::string::npos || row.size() != semi + 3 || row[semi + 2] != ';')
            return refuse(result::kBadValue, result::kBadValueText);
        const std::string no = row.substr(0, semi);
        const char flag = row[semi + 1];
        if (!plainAccountNo(no) || (flag != '0' && flag != '1'))
            return refuse(result::kBadValue, result::kBadValueText);
        parsed.push_back({no, flag == '1'});
        if (parsed.size() > kMaxHiddenRows)
            return refuse(result::kBadValue, result::kBadValueText);
    }
    if (parsed.empty())
        return refuse(result::kBadValue, result::kBadValueText);
    return store.write([&](Db& db) -> std::variant<Refusal, Done> {
        auto c = customers::find(db, userId);
        if (!c)
            return refuse(result::kSession, result::kSessionText);
        std::set<std::string> seen;
        for (const Row& r : parsed) {
            auto a = accounts::find(db, r.accountNo);
            if (!a || a->customerId != c->id)
                return refuse(result::kNotOwnAccount, result::kNotOwnAccountText);
            if (!seen.insert(r.accountNo).second)
                return refuse(result::kBadValue, result::kBadValueText);
        }
        auto s = db.prepare("UPDATE accounts SET hidden = ?1 WHERE account_no = ?2 AND customer_id = ?3");
        for (const Row& r : parsed) {
            s.reset();
            s.bind(1, r.hidden ? 1 : 0).bind(2, r.accountNo).bind(3, c->id);
            s.run();
        }
        return Done{"계좌숨김 정보가 저장되었습니다."};
    });
}

} // namespace bankd::accountmgmt
