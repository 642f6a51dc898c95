#include "Accounts.h"

#include "Customers.h"
#include "Sqlite.h"

namespace bankd::accounts {

namespace {
constexpr const char* kColumns =
    "SELECT account_no, customer_id, display_no, kind_name, kind_code, balance, withdrawal, hidden, nickname, "
    "opened_on FROM accounts ";

Account readAccount(Stmt& s)
{
    Account a;
    a.accountNo = s.text(0);
    a.customerId = s.integer(1);
    a.displayNo = s.text(2);
    a.kindName = s.text(3);
    a.kindCode = s.text(4);
    a.balance = s.integer(5);
    a.withdrawal = s.integer(6) != 0;
    a.hidden = s.integer(7) != 0;
    a.nickname = s.text(8);
    a.openedOn = s.text(9);
    return a;
}
} // namespace

std::string digitsOnly(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c >= '0' && c <= '9')
            out.push_back(c);
    return out;
}

void add(Db& db, const Account& a, const std::string& pwdHash)
{
    auto s = db.prepare(
        "INSERT INTO accounts (account_no, customer_id, display_no, kind_name, kind_code, balance, pwd_hash, "
        "withdrawal, hidden, nickname, opened_on) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    s.bind(1, digitsOnly(a.accountNo)).bind(2, a.customerId).bind(3, a.displayNo).bind(4, a.kindName);
    s.bind(5, a.kindCode).bind(6, a.balance).bind(7, pwdHash).bind(8, a.withdrawal ? 1 : 0);
    s.bind(9, a.hidden ? 1 : 0).bind(10, a.nickname).bind(11, a.openedOn);
    s.run();
}

std::optional<Account> find(Db& db, const std::string& accountNo)
{
    auto s = db.prepare(std::string(kColumns) + "WHERE account_no = ?1");
    s.bind(1, digitsOnly(accountNo));
    if (!s.step())
        return std::nullopt;
    return readAccount(s);
}

std::vector<Account> ofCustomer(Db& db, std::int64_t customerId)
{
    auto s = db.prepare(std::string(kColumns) + "WHERE customer_id = ?1 ORDER BY opened_on, account_no");
    s.bind(1, customerId);
    std::vector<Account> out;
    while (s.step())
        out.push_back(readAccount(s));
    return out;
}

bool forEachListed(Db& db, const std::string& userId, const std::function<void(const ListedAccount&)>& each)
{
    // The customer row comes back once even without a listed account (account
    // columns NULL), so one query tells an unknown user from one with none.
    // The accounts come in listing order from the accounts_listed index, and
    // the last movement is the newest line of the (account_no, at) index: one
    // seek each, whatever the length of the history.
    auto s = db.prepare(
        "SELECT a.account_no, a.display_no, a.kind_name, a.kind_code, a.balance, a.withdrawal, a.nickname, "
        "a.opened_on, "
        "(SELECT substr(h.at, 1, 10) FROM account_history h WHERE h.account_no = a.account_no "
        "ORDER BY h.at DESC LIMIT 1) "
        "FROM customers c LEFT JOIN accounts a ON a.customer_id = c.id AND a.hidden = 0 "
        "WHERE c.user_id = ?1 AND c.enrolled = 1 ORDER BY a.opened_on, a.account_no");
    s.bind(1, customers::normaliseUserId(userId));
    if (!s.step())
        return false;
    if (s.isNull(0))
        return true;
    ListedAccount a;  // one for every row: its texts keep their room
    do {
        a.accountNo = s.text(0);
        a.displayNo = s.text(1);
        a.kindName = s.text(2);
        a.kindCode = s.text(3);
        a.balance = s.integer(4);
        a.withdrawal = s.integer(5) != 0;
        a.nickname = s.text(6);
        a.openedOn = s.text(7);
        a.lastMovementDay = s.isNull(8) ? std::string() : s.text(8);
        each(a);
    } while (s.step());
    return true;
}

std::optional<std::string> passwordHash(Db& db, const std::string& accountNo)
{
    auto s = db.prepare("SELECT pwd_hash FROM accounts WHERE account_no = ?1");
    s.bind(1, digitsOnly(accountNo));
    if (!s.step())
        return std::nullopt;
    return s.text(0);
}

void setPasswordHash(Db& db, const std::string& accountNo, const std::string& hash)
{
    auto s = db.prepare("UPDATE accounts SET pwd_hash = ?2 WHERE account_no = ?1");
    s.bind(1, digitsOnly(accountNo)).bind(2, hash).run();
}

std::optional<std::int64_t> post(Db& db, const std::string& accountNo, std::int64_t amount, const std::string& at,
                                 const std::string& memo, const std::string& counterpart)
{
    const std::string no = digitsOnly(accountNo);
    // Two plain statements: SQLite gathers RETURNING rows in a table of
    // their own first, which costs more than reading the row again.
    db.prepare("UPDATE accounts SET balance = balance + ?2 WHERE account_no = ?1 AND balance + ?2 >= 0")
        .bind(1, no)
        .bind(2, amount)
        .run();
    if (db.changes() != 1)
        return std::nullopt;
    auto bal = db.prepare("SELECT balance FROM accounts WHERE account_no = ?1");
    bal.bind(1, no);
    if (!bal.step())
        throw DbError("account " + no + " vanished while posting");
    const std::int64_t after = bal.integer(0);
    auto ins = db.prepare(
        "INSERT INTO account_history (account_no, at, direction, amount, balance_after, memo, counterpart) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    ins.bind(1, no).bind(2, at).bind(3, amount >= 0 ? "입금" : "지급");
    ins.bind(4, amount >= 0 ? amount : -amount).bind(5, after).bind(6, memo).bind(7, counterpart);
    ins.run();
    return after;
}

std::vector<HistoryEntry> history(Db& db, const std::string& accountNo, const std::string& from,
                                  const std::string& to)
{
    auto s = db.prepare(
        "SELECT id, account_no, at, direction, amount, balance_after, memo, counterpart FROM account_history "
        "WHERE account_no = ?1 AND at >= ?2 AND at <= ?3 ORDER BY at, id");
    s.bind(1, digitsOnly(accountNo)).bind(2, from).bind(3, to);
    std::vector<HistoryEntry> out;
    while (s.step())
        out.push_back({s.integer(0), s.text(1), s.text(2), s.text(3), s.integer(4), s.integer(5), s.text(6),
                       s.text(7)});
    return out;
}

} // namespace bankd::accounts
