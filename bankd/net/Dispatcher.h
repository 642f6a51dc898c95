#pragma once
// Routes a plain request text to the handler registered for its trcode, after
// the checks every transaction shares: a well-formed query, a known code, the
// right servlet, and (for session transactions) a live session of the user
// the request names. Handlers never see a request that failed those checks.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Envelope.h"
#include "Query.h"
#include "RateLimiter.h"

namespace bankd {

class Store;
class Sessions;
class Clock;

enum class Route { Encrypted, Plain };

struct BankConfig {
    int noticePageSize = 10;   // notice titles per page
    int cardPageSize = 3;      // held cards per page
    int cardListPageSize = 10; // approvals or bill items per page
    RateLimits rateLimits;     // of the rate-limited (login-free) transactions
};

struct RequestContext {
    Store& store;
    Sessions& sessions;
    const Clock& clock;
    const BankConfig& config;
    Route route;
    const std::string& sessionKey;  // empty on the plain servlet
    const Query& query;
    std::string user;               // the user for the access log (handlers may set it)
};

using Handler = std::function<Envelope(RequestContext&)>;

// A login-free transaction that can be used to guess or to probe is counted
// per client address and gateway session, and per user ID, account number or
// resident number it names (the query field that holds each), e.g. login
// {User, "UserID"}, a quick inquiry {Account, "AccNO"}, enrolment
// {Resident, "CorpJNO"}.
struct RateRule {
    bool limited = false;
    std::vector<std::pair<RateScope, std::string>> fields;
};

struct TransactionDef {
    std::string code;          // "PDA_U001"
    bool needsSession = true;  // false: valid without login ("useSess=N" requests)
    bool plainRoute = false;   // also accepted on the unencrypted servlet
    Handler handler;
    RateRule rate = {};
};

struct DispatchOutcome {
    Envelope envelope{"", ""};
    std::string trcode;  // as logged: the code, or "-" when unreadable
    std::string user;    // as logged: "-" when none
};

class Dispatcher {
public:
    Dispatcher(Store& store, Sessions& sessions, const Clock& clock, BankConfig config = {});

    void add(TransactionDef def);
    const TransactionDef* find(std::string_view code) const;

    // clientAddress: the peer's IP address (empty: not counted by address).
    DispatchOutcome dispatch(Route route, const std::string& sessionKey, std::string_view requestText,
                             const std::string& clientAddress = {});

    Sessions& sessions() { return sessions_; }
    RateLimiter& rateLimiter() { return limiter_; }
    const BankConfig& config() const { return config_; }

private:
    Store& store_;
    Sessions& sessions_;
    const Clock& clock_;
    BankConfig config_;
    RateLimiter limiter_;
    std::map<std::string, TransactionDef, std::less<>> table_;
};

// A text safe to put into one log field: at most 24 characters of
// [A-Za-z0-9_-], "-" when nothing is left.
std::string logSafe(std::string_view text);
// Appends logSafe(text) to out.
void appendLogSafe(std::string& out, std::string_view text);

} // namespace bankd
