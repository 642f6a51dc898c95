#pragma once
// One line per request:
//   <bank time> <trcode> sess=<first 8 of session key> user=<id> result=<code> us=<latency> route=<enc|plain|end|download> addr=<client address>
// Only codes and identifiers are written: never a password, card number or
// security value (the query text itself never reaches the log).
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "Clock.h"

namespace bankd {

// Views of the caller's texts, read by write() before it returns.
struct AccessRecord {
    std::string_view trcode;
    std::string_view sessionKey;  // only its first 8 characters are written
    std::string_view user;
    std::string_view result;
    std::chrono::microseconds latency{0};
    std::string_view route;
    std::string_view address;  // the client's (as a trusted front names it)
};

class AccessLog {
public:
    // Appends to path; an empty path writes nothing.
    AccessLog(const std::string& path, const Clock& clock);
    ~AccessLog();
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void write(const AccessRecord& r);
    // Opens the path again (after logrotate moved the file away: SIGHUP).
    // False, keeping the old file, when it cannot be opened.
    bool reopen();
    static std::string format(const AccessRecord& r, Clock::time_point at);

private:
    const Clock& clock_;
    std::string path_;
    // Opened for appending: each line is one write(2), which the kernel
    // appends whole, so the serving threads need no lock between them.
    int fd_ = -1;
};

} // namespace bankd
