#pragma once
// The open quotes of a bank served by one process alone, kept in its memory
// instead of written: a check then writes nothing. A quote reaches the
// database only when it is executed, as a used quote in the same transaction
// as what it executed (see quotes::consume), so the database still answers
// "already used" and keeps every serial ever executed.
//
// Open quotes die with the process, as the gateway sessions they are bound to
// do. The book holds at most kPerBinding quotes per binding (a session's
// customer and kind), kPerCustomer per customer and kMost in all: opening one
// more drops the binding's oldest, the customer's, or the book's. So one
// customer's checks, however many sessions they come from, cannot push out
// the quotes of others. Expired quotes are dropped as the book goes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Clock.h"
#include "Quotes.h"

namespace bankd {

class QuoteBook {
public:
    static constexpr std::size_t kPerBinding = 32;
    static constexpr std::size_t kPerCustomer = 64;
    static constexpr std::size_t kMost = 100'000;  // some 50 MB

    struct Entry {
        quotes::Binding binding;
        quotes::Values values;
        std::string createdAt;  // bank timestamps
        std::string expiresAt;
        std::uint64_t added = 0;  // the book's count when it was added
    };

    // Adds the quote under `serial`; false when the book already has that serial.
    bool add(const std::string& serial, Entry entry, Clock::time_point now);
    // The quote under serial, whoever it is bound to.
    std::optional<Entry> get(const std::string& serial) const;
    // The serials of this binding's quotes, newest first.
    std::vector<std::string> newestOf(const quotes::Binding& binding) const;
    std::size_t size() const;

private:
    using Age = std::pair<std::uint64_t, std::string>;  // (added, serial)
    struct Customer {
        std::size_t quotes = 0;  // in the book
        std::deque<Age> byAge;   // oldest first, with entries dropped since
    };

    static std::string keyOf(const quotes::Binding& b);
    // Drops the quote from every index.
    void drop(std::unordered_map<std::string, Entry>::iterator e);
    // Drops the oldest quote still in the book among `ages` (consumed as it goes).
    void dropOldestOf(std::deque<Age>& ages);
    // Forgets the entries of `ages` no longer in the book once they outnumber
    // `live` well.
    void trim(std::deque<Age>& ages, std::size_t live);
    void dropExpired(const std::string& nowStamp);

    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> bySerial_;
    std::map<std::string, std::deque<std::string>> byBinding_;  // oldest first
    std::unordered_map<std::int64_t, Customer> byCustomer_;
    // Every quote added, oldest first: entries dropped since, or whose serial
    // was added again, are skipped.
    std::deque<Age> byAge_;
    std::uint64_t added_ = 0;
    Clock::time_point nextSweep_{};
};

} // namespace bankd
