#pragma once
// The server's clock, injectable so tests move time instead of sleeping.
#include <atomic>
#include <chrono>
#include <string>

namespace bankd {

class Clock {
public:
    using time_point = std::chrono::system_clock::time_point;
    virtual ~Clock() = default;
    virtual time_point now() const = 0;
};

class SystemClock : public Clock {
public:
    time_point now() const override { return std::chrono::system_clock::now(); }
};

// A clock that stands still until told to move (tests, demos).
class ManualClock : public Clock {
public:
    explicit ManualClock(time_point start = std::chrono::system_clock::now()) : t_(start.time_since_epoch().count()) {}
    time_point now() const override { return time_point(time_point::duration(t_.load())); }
    void set(time_point t) { t_ = t.time_since_epoch().count(); }
    void advance(std::chrono::seconds s) { t_ += std::chrono::duration_cast<time_point::duration>(s).count(); }

private:
    std::atomic<time_point::rep> t_;
};

// The bank keeps Korean time (UTC+9, no daylight saving).
struct BankTime {
    std::string date;  // YYYYMMDD
    std::string time;  // HHMMSS
};
BankTime bankTime(Clock::time_point t);
// "YYYY-MM-DD HH:MM:SS" in bank time, for stored timestamps.
std::string bankTimestamp(Clock::time_point t);
// Bank time from the text form above; false when unreadable.
bool parseBankTimestamp(const std::string& text, Clock::time_point* out);

} // namespace bankd
