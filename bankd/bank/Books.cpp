#include "Books.h"

#include "Sqlite.h"

namespace bankd {

namespace {

struct Term {
    const char* name;
    const char* sql;  // one integer: the door's sum (outflow positive)
};

// Add a family's terms here when it moves money across the bank's edge.
constexpr Term kTerms[] = {
    {"transfer fees", "SELECT coalesce(sum(fee), 0) FROM transfers WHERE result_code = '0000'"},
    {"sent to other banks", "SELECT coalesce(sum(amount), 0) FROM interbank_out"},
    {"loan interest received", "SELECT coalesce(sum(interest + overdue_interest), 0) FROM loan_payments"},
    // Cash advances come into the settlement accounts from the cards.
    {"card cash advanced", "SELECT -coalesce(sum(amount), 0) FROM card_cash_advances"},
    // Zero while every card's cash-service balance and fees are exactly its
    // recorded advances and their fees.
    {"card cash balances off their advances",
     "SELECT (SELECT coalesce(sum(cash_used + cash_fees), 0) FROM cards) - "
     "(SELECT coalesce(sum(amount + fee), 0) FROM card_cash_advances)"},
};

std::int64_t one(Db& db, const char* sql)
{
    auto s = db.prepare(sql);
    s.step();
    return s.integer(0);
}

} // namespace

std::int64_t Books::term(const std::string& name) const
{
    for (const auto& [n, v] : terms)
        if (n == name)
            return v;
    return 0;
}

std::int64_t Books::total() const
{
    std::int64_t t = balances;
    for (const auto& kv : terms)
        t += kv.second;
    return t;
}

namespace books {

Books read(Db& db)
{
    Books b;
    b.balances = one(db, "SELECT coalesce(sum(balance), 0) FROM accounts");
    for (const Term& t : kTerms)
        b.terms.emplace_back(t.name, one(db, t.sql));
    return b;
}

std::string check(const Books& before, const Books& after)
{
    if (before.total() == after.total())
        return {};
    std::string out = "books off by " + std::to_string(after.total() - before.total()) + " won: balances " +
                      std::to_string(after.balances - before.balances);
    for (const auto& [name, v] : after.terms)
        out += ", " + name + " " + std::to_string(v - before.term(name));
    return out;
}

} // namespace books
} // namespace bankd
