#include "Dispatcher.h"

#include <cstdio>
#include <exception>

#include "Customers.h"
#include "ResultCodes.h"
#include "Sessions.h"

namespace bankd {

std::string logSafe(std::string_view text)
{
    std::string out;
    appendLogSafe(out, text);
    return out;
}

void appendLogSafe(std::string& out, std::string_view text)
{
    std::size_t kept = 0;
    for (char c : text) {
        if (kept >= 24)
            break;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            out.push_back(c);
            ++kept;
        }
    }
    if (kept == 0)
        out.push_back('-');
}

Dispatcher::Dispatcher(Store& store, Sessions& sessions, const Clock& clock, BankConfig config)
    : store_(store), sessions_(sessions), clock_(clock), config_(config), limiter_(clock, config.rateLimits)
{
}

void Dispatcher::add(TransactionDef def)
{
    std::string code = def.code;
    table_[code] = std::move(def);
}

const TransactionDef* Dispatcher::find(std::string_view code) const
{
    auto it = table_.find(code);
    return it == table_.end() ? nullptr : &it->second;
}

namespace {

// The key a query value is counted under: the user ID as the bank keeps it,
// the digits of a number; never more than 32 characters.
std::string rateKeyOf(RateScope scope, const std::string& value)
{
    std::string key;
    if (scope == RateScope::User) {
        key = customers::normaliseUserId(value);
    } else {
        for (char c : value)
            if (c >= '0' && c <= '9')
                key.push_back(c);
        if (key.empty())
            key = value;
    }
    return key.substr(0, 32);
}

} // namespace

DispatchOutcome Dispatcher::dispatch(Route route, const std::string& sessionKey, std::string_view requestText,
                                     const std::string& clientAddress)
{
    DispatchOutcome out;
    out.trcode = "-";
    out.user = "-";
    auto refuse = [&](const char* code, const char* text) {
        out.envelope = Envelope(code, text);
        return out;
    };

    auto query = Query::parse(requestText);
    if (!query)
        return refuse(result::kMalformed, result::kMalformedText);
    const std::string& trcode = query->value("trcode");
    out.trcode = logSafe(trcode);
    if (trcode.empty())
        return refuse(result::kMalformed, result::kMalformedText);
    const TransactionDef* def = find(trcode);
    if (!def)
        return refuse(result::kUnknownTrcode, result::kUnknownTrcodeText);
    if (route == Route::Plain && !def->plainRoute)
        return refuse(result::kWrongRoute, result::kWrongRouteText);

    std::string userId = customers::normaliseUserId(query->value("UserID"));
    if (customers::validUserId(userId))
        out.user = userId;
    if (def->rate.limited) {
        std::vector<RateKey> keys{{RateScope::Address, clientAddress}, {RateScope::Session, sessionKey}};
        for (const auto& [scope, field] : def->rate.fields)
            keys.emplace_back(scope, rateKeyOf(scope, query->value(field)));
        if (!limiter_.admit(keys))
            return refuse(result::kTooMany, result::kTooManyText);
    }
    if (def->needsSession) {
        if (sessionKey.empty() || !customers::validUserId(userId) ||
            sessions_.check(sessionKey, userId) != Sessions::Status::Ok)
            return refuse(result::kSession, result::kSessionText);
    }

    RequestContext ctx{store_, sessions_, clock_, config_, route, sessionKey, *query, out.user};
    try {
        out.envelope = def->handler(ctx);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bankd: %s failed: %s\n", out.trcode.c_str(), e.what());
        return refuse(result::kSystem, result::kSystemText);
    }
    out.user = logSafe(ctx.user);
    return out;
}

} // namespace bankd
