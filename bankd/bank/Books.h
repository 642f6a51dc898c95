#pragma once
// The bank's books: the sum of all account balances changes only by money
// that leaves or enters the customers' side through a known door (fees the
// bank takes, money sent to other banks, ...). Each money family adds its
// terms to the one table in Books.cpp; the tests, the load generator and the
// fault test compare two readings with holds().
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bankd {

class Db;

struct Books {
    std::int64_t balances = 0;
    // Each term: money that left the customers' balances (positive) or came
    // into them (negative) through that door, summed since the bank opened.
    std::vector<std::pair<std::string, std::int64_t>> terms;

    std::int64_t term(const std::string& name) const;
    // Balances plus every term: constant while the books hold.
    std::int64_t total() const;
};

namespace books {

Books read(Db& db);

// Empty when the books hold from before to after, else a line saying by
// how much they are off and how each term moved.
std::string check(const Books& before, const Books& after);

} // namespace books
} // namespace bankd
