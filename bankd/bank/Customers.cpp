#include "Customers.h"

#include "Sqlite.h"
#include "Store.h"

#include <sodium.h>

namespace bankd::customers {

namespace {
constexpr const char* kColumns =
    "SELECT id, user_id, name, jumin_no, pwd_hash, security_way, use_hidden FROM customers ";

Customer readCustomer(Stmt& s)
{
    Customer c;
    c.id = s.integer(0);
    c.userId = s.text(1);
    c.name = s.text(2);
    c.juminNo = s.text(3);
    c.pwdHash = s.text(4);
    c.securityWay = s.text(5);
    c.useHidden = s.text(6);
    return c;
}
} // namespace

std::string normaliseUserId(const std::string& userId)
{
    std::string s = userId;
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool validUserId(const std::string& userId)
{
    if (userId.empty() || userId.size() > 20)
        return false;
    for (char c : userId)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

std::optional<Customer> find(Db& db, const std::string& userId)
{
    // Account holders who have not enrolled are no users.
    auto s = db.prepare(std::string(kColumns) + "WHERE user_id = ?1 AND enrolled = 1");
    s.bind(1, normaliseUserId(userId));
    if (!s.step())
        return std::nullopt;
    return readCustomer(s);
}

std::int64_t add(Db& db, const NewCustomer& c, const std::string& pwdHash, const std::string& now)
{
    auto s = db.prepare(
        "INSERT INTO customers (user_id, name, jumin_no, pwd_hash, security_way, use_hidden, created_at) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) RETURNING id");
    s.bind(1, normaliseUserId(c.userId)).bind(2, c.name).bind(3, c.juminNo).bind(4, pwdHash);
    s.bind(5, c.securityWay).bind(6, c.useHidden).bind(7, now);
    s.step();
    return s.integer(0);
}

bool setPassword(Db& db, const std::string& userId, const std::string& pwdHash)
{
    auto s = db.prepare("UPDATE customers SET pwd_hash = ?1 WHERE user_id = ?2");
    s.bind(1, pwdHash).bind(2, normaliseUserId(userId));
    s.run();
    return db.changes() == 1;
}

bool setSecurityWay(Db& db, std::int64_t id, const std::string& way)
{
    auto s = db.prepare("UPDATE customers SET security_way = ?1 WHERE id = ?2");
    s.bind(1, way).bind(2, id);
    s.run();
    return db.changes() == 1;
}

void setSecurityCard(Db& db, std::int64_t id, const SecurityCard& card)
{
    auto del = db.prepare("DELETE FROM security_cards WHERE customer_id = ?1");
    del.bind(1, id);
    del.run();
    auto ins = db.prepare("INSERT INTO security_cards (customer_id, cell, value) VALUES (?1, ?2, ?3)");
    for (int i = 0; i < 35; ++i) {
        ins.reset();
        ins.bind(1, id).bind(2, i + 1).bind(3, db.keys().seal(card[static_cast<size_t>(i)], Store::cellPlace(id, i + 1)));
        ins.run();
    }
}

std::optional<SecurityCard> securityCard(Db& db, std::int64_t id)
{
    auto s = db.prepare("SELECT cell, value FROM security_cards WHERE customer_id = ?1 ORDER BY cell");
    s.bind(1, id);
    SecurityCard card;
    int n = 0;
    while (s.step()) {
        const int cell = static_cast<int>(s.integer(0));
        auto value = db.keys().open(s.text(1), Store::cellPlace(id, cell));
        if (!value || cell < 1 || cell > 35)
            return std::nullopt;
        card[static_cast<size_t>(cell - 1)] = *value;
        ++n;
    }
    if (n != 35)
        return std::nullopt;
    return card;
}

bool checkSecurityCell(Db& db, std::int64_t id, int cell, const std::string& value)
{
    if (cell < 1 || cell > 35 || value.empty())
        return false;
    auto s = db.prepare("SELECT value FROM security_cards WHERE customer_id = ?1 AND cell = ?2");
    s.bind(1, id).bind(2, cell);
    if (!s.step())
        return false;
    auto stored = db.keys().open(s.text(0), Store::cellPlace(id, cell));
    return stored && stored->size() == value.size() && sodium_memcmp(stored->data(), value.data(), value.size()) == 0;
}

void addCertificate(Db& db, std::int64_t id, const CertificateRecord& cert)
{
    auto s = db.prepare(
        "INSERT INTO certificates (customer_id, subject, public_key, issued_at) VALUES (?1, ?2, ?3, ?4)");
    s.bind(1, id).bind(2, cert.subject).bind(3, cert.publicKey).bind(4, cert.issuedAt);
    s.run();
}

std::vector<CertificateRecord> certificates(Db& db, std::int64_t id)
{
    auto s = db.prepare(
        "SELECT id, subject, public_key, issued_at FROM certificates WHERE customer_id = ?1 AND revoked = 0 "
        "ORDER BY id DESC");
    s.bind(1, id);
    std::vector<CertificateRecord> out;
    while (s.step())
        out.push_back({s.integer(0), s.text(1), s.text(2), s.text(3)});
    return out;
}

} // namespace bankd::customers
