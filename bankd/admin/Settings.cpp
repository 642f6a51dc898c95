#include "Settings.h"

#include <filesystem>
#include <fstream>

#include "DataFolder.h"
#include "DeployIni.h"

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

int wholeNumber(const std::string& path, const std::string& key, const std::string& text, int low, int high)
{
    bool digits = !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
    int v = digits ? std::stoi(text) : -1;
    if (!digits || v < low || v > high)
        throw DataFolderError(path + ": [rate_limits] " + key + " must be a whole number from " + std::to_string(low) +
                              " to " + std::to_string(high) + ", not \"" + text + "\"");
    return v;
}

} // namespace

Settings readSettings(const std::string& path)
{
    Settings s;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return s;
    auto ini = readIni(path);
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

void writeDefaultSettings(const std::string& path)
{
    const RateLimits d;
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
    if (!f)
        throw DataFolderError("cannot write " + path);
}

} // namespace bankd
