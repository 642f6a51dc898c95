#pragma once
// The open quotes of a bank served by one process alone, kept in its memory
// instead of written: a check then writes nothing. A quote reaches the
// database only when it is executed, as a used quote in the same transaction
// as what it executed (see quotes::consume), so the database still answers
// "already used" and keeps every serial ever executed.
//
// Open quotes die with the process, as the gateway sessions they are bound to
// do. The book holds at most kPerBinding quotes per binding (a session's
// customer and kind): opening one more drops the oldest. Expired quotes are
// dropped as the book goes.
#include <chrono>
#include <cstddef>
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

    struct Entry {
        quotes::Binding binding;
        quotes::Values values;
        std::string createdAt;  // bank timestamps
        std::string expiresAt;
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

    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> bySerial_;
    std::map<std::string, std::deque<std::string>> byBinding_;  // oldest first
    Clock::time_point nextSweep_{};
};

} // namespace bankd
