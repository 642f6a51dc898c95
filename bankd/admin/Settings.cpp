#include "Settings.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "DataFolder.h"
#include "DeployIni.h"
#include "IpAddress.h"

namespace bankd {

namespace {

struct LimitKey {
    const char* name;
    int RateLimits::*field;
};

constexpr LimitKey kLimitKeys[] = {
    {"per_address", &RateLimits::perAddress}, {"per_session", &RateLimits::perSession},
    {"per_user", &RateLimits::perUser},       {"per_account", &RateLimits::perAccount},
    {"per_resident", &RateLimits::perResident},
};

int wholeNumber(const std::string& path, const std::string& key, const std::string& text, int low, int high,
                const char* section = "rate_limits")
{
    bool digits = !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
    int v = digits ? std::stoi(text) : -1;
    if (!digits || v < low || v > high)
        throw DataFolderError(path + ": [" + section + "] " + key + " must be a whole number from " +
                              std::to_string(low) + " to " + std::to_string(high) + ", not \"" + text + "\"");
    return v;
}

struct FrontKey {
    const char* name;
    int FrontSettings::*field;
    int low;
    int high;
};

constexpr FrontKey kFrontKeys[] = {
    {"connections_per_address", &FrontSettings::connectionsPerAddress, 1, 100000},
    {"max_connections", &FrontSettings::maxConnections, 1, 100000},
    {"request_seconds", &FrontSettings::requestSeconds, 1, 3600},
};

void readFront(const std::string& path, const std::map<std::string, std::string>& keys, FrontSettings* front)
{
    if (auto t = keys.find("trusted_fronts"); t != keys.end()) {
        std::string list = t->second;
        for (char& c : list)
            if (c == ',')
                c = ' ';
        std::istringstream words(list);
        for (std::string a; words >> a;) {
            std::string canonical = ipAddressText(a);
            if (canonical.empty())
                throw DataFolderError(path + ": [front] trusted_fronts wants IP addresses, not \"" + a + "\"");
            front->trustedFronts.insert(canonical);
        }
    }
    for (const FrontKey& k : kFrontKeys)
        if (auto v = keys.find(k.name); v != keys.end())
            front->*k.field = wholeNumber(path, v->first, v->second, k.low, k.high, "front");
}

} // namespace

Settings readSettings(const std::string& path)
{
    Settings s;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return s;
    auto ini = readIni(path);
    if (auto front = ini.find("front"); front != ini.end())
        readFront(path, front->second, &s.front);
    if (auto db = ini.find("database"); db != ini.end())
        if (auto pg = db->second.find("postgres"); pg != db->second.end())
            s.postgres = pg->second;
    auto section = ini.find("rate_limits");
    if (section == ini.end())
        return s;
    const auto& keys = section->second;
    if (auto w = keys.find("window_seconds"); w != keys.end())
        s.rateLimits.window = std::chrono::seconds(wholeNumber(path, w->first, w->second, 1, 86400));
    for (const LimitKey& k : kLimitKeys)
        if (auto v = keys.find(k.name); v != keys.end())
            s.rateLimits.*k.field = wholeNumber(path, v->first, v->second, 0, 1'000'000);
    return s;
}

void writeDefaultSettings(const std::string& path, const std::string& postgres)
{
    const RateLimits d;
    if (!postgres.empty()) {
        if (postgres.find_first_of("\r\n") != std::string::npos)
            throw DataFolderError("the PostgreSQL connection string must be one line");
        std::ofstream(path).close();
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    std::ofstream f(path);
    f << "; bankd settings\n"
         ";\n"
         "; Rate limits of the login-free transactions (login, quick inquiries,\n"
         "; cheque inquiry, enrolment): requests per window for each client address,\n"
         "; gateway session, user ID, account number and resident number the request\n"
         "; names. 0 means no limit. Read when bankd serve starts.\n"
         "[rate_limits]\n"
      << "window_seconds=" << d.window.count() << "\n";
    for (const LimitKey& k : kLimitKeys)
        f << k.name << "=" << d.*k.field << "\n";
    const FrontSettings front;
    f << "\n"
         "; The HTTP front. trusted_fronts: addresses of fronts (nginx) whose\n"
         "; X-Real-IP or X-Forwarded-For names the client (for rate limits and the\n"
         "; access log); from any other peer these headers are ignored. Empty: none.\n"
         "; connections_per_address: open connections one client address may hold (a\n"
         "; trusted front is not held to it); max_connections: in all; request_seconds:\n"
         "; a whole request (line, headers, body) must arrive within this, else 408.\n"
         "[front]\n"
         "trusted_fronts=\n";
    for (const FrontKey& k : kFrontKeys)
        f << k.name << "=" << front.*k.field << "\n";
    if (!postgres.empty())
        f << "\n"
             "; The bank's database: this PostgreSQL database instead of bankd.db.\n"
             "[database]\n"
          << "postgres=" << postgres << "\n";
    if (!f)
        throw DataFolderError("cannot write " + path);
}

} // namespace bankd
