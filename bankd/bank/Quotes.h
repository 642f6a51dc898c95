#pragma once
// Single-use quotes: the check-then-execute pattern. A checking transaction
// stores what it checked and priced under a serial, bound to its kind, the
// customer, the gateway session and an expiry; the executing transaction
// finds it by serial (another customer's or another session's quote reads as
// unknown), compares what the client echoes with what was quoted, and
// consumes it in its own database transaction, so that it runs once.
//
// When one process alone serves the bank, open quotes live in its memory
// (QuoteBook, through Db::quoteBook) and a quote's row is written only when it
// is consumed, as used: the checking transaction may then be a read.
#include <chrono>
#include <cstdint>
#include <map>
#include <string>

#include "Clock.h"
#include "Store.h"

namespace bankd {

class Db;

namespace quotes {

struct Binding {
    std::string kind;  // "transfer", "loan-interest", ...
    std::int64_t customerId = 0;
    std::string sessionKey;
};

using Values = std::map<std::string, std::string>;

// Stores a quote (in memory when the book is in use) and returns its serial:
// the bank date and eight random digits, unique among all quotes.
std::string open(Db& db, const Binding& binding, const Values& values, Clock::time_point now,
                 std::chrono::seconds life);

enum class State { Open, Unknown, Used, Expired };

struct Found {
    State state = State::Unknown;
    Values values;        // when Open
    std::string outcome;  // when Used: what the executing transaction recorded
};

// The quote under serial as the binding sees it; consumes nothing.
Found find(Db& db, const Binding& binding, const std::string& serial, Clock::time_point now);

// The newest quote of this binding whose values include every pair of
// `match` (for executing transactions that name what they execute instead of
// echoing a serial); its serial goes to *serial. Unknown when there is none.
Found findLatest(Db& db, const Binding& binding, const Values& match, Clock::time_point now, std::string* serial);

// Marks an open, unexpired quote of this binding as used with its outcome
// (a quote in memory gets its row now, as used). False when it is not (or no
// longer) open: the caller must not execute.
bool consume(Db& db, const Binding& binding, const std::string& serial, const std::string& outcome,
             Clock::time_point now);

// Runs f(Db&), a checking transaction that opens a quote: a read when the
// open quotes wait in memory (Store::servesAlone), otherwise a write that need
// not wait for a sync of its own (the execution's sync takes the quote to
// disk; an execution that finds its quote lost in a power cut refuses, and
// the customer checks again).
template <class F>
auto inCheck(Store& store, F&& f)
{
    if (store.servesAlone())
        return store.read(f);
    return store.write(f, Durability::WithNextSync);
}

// The stored form of the values: "key=value" lines, "\\" and newlines escaped.
std::string encode(const Values& values);
Values decode(const std::string& text);

} // namespace quotes
} // namespace bankd
