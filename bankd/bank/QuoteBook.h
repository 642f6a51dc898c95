#pragma once
// The open quotes of a bank served by one process alone, kept in its memory
// instead of written: a check then writes nothing. A quote reaches the
// database only when it is executed, as a used quote in the same transaction
// as what it executed (see quotes::consume), so the database still answers
// "already used" and keeps every serial ever executed.
//
// Open quotes die with the process, as the gateway sessions they are bound to
// do. The book holds at most kPerBinding quotes per binding (a session's
// customer and kind) and kMost in all: opening one more drops the binding's
// oldest, or the book's. Expired quotes are dropped as the book goes.
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
    static std::string keyOf(const quotes::Binding& b);
    void dropExpired(const std::string& nowStamp);
    void dropOldest();

    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> bySerial_;
    std::map<std::string, std::deque<std::string>> byBinding_;  // oldest first
    // Every quote added, oldest first, as (added, serial): entries dropped
    // since, or whose serial was added again, are skipped.
    std::deque<std::pair<std::uint64_t, std::string>> byAge_;
    std::uint64_t added_ = 0;
    Clock::time_point nextSweep_{};
};

} // namespace bankd
