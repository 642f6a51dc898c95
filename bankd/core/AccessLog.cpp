#include "AccessLog.h"

#include <stdexcept>

#include "Dispatcher.h"

namespace bankd {

AccessLog::AccessLog(const std::string& path, const Clock& clock) : clock_(clock)
{
    if (path.empty())
        return;
    file_ = std::fopen(path.c_str(), "a");
    if (!file_)
        throw std::runtime_error("cannot open the access log " + path);
}

AccessLog::~AccessLog()
{
    if (file_)
        std::fclose(file_);
}

std::string AccessLog::format(const AccessRecord& r, Clock::time_point at)
{
    std::string sess;
    for (char c : r.sessionKey.substr(0, 8))
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/')
            sess.push_back(c);
    if (sess.empty())
        sess = "-";
    std::string line = bankTimestamp(at);
    line[10] = 'T';
    line += ' ' + logSafe(r.trcode) + " sess=" + sess + " user=" + logSafe(r.user) + " result=" + logSafe(r.result) +
            " us=" + std::to_string(r.latency.count()) + " route=" + logSafe(r.route) + '\n';
    return line;
}

void AccessLog::write(const AccessRecord& r)
{
    if (!file_)
        return;
    std::string line = format(r, clock_.now());
    std::lock_guard<std::mutex> lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

} // namespace bankd
