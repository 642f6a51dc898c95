#pragma once
// The gateway's session state in the bank's database, shared by every bankd
// node on it: the counters each session used (one row per request, written
// before the request is processed), and which sessions exist, logged in or
// ended. Rows older than a request can still be valid for are swept.
#include "velcor/SessionStore.h"

namespace bankd {

class Store;

class DbSessionStore : public velcor::SessionStore {
public:
    explicit DbSessionStore(Store& store) : store_(store) {}

    Admit admit(const std::string& key, std::uint64_t counter, bool mayCreate, bool ending, std::string_view address,
                std::int64_t now, const Limits& limits) override;
    bool establish(const std::string& key) override;
    bool exists(const std::string& key) override;
    bool ended(const std::string& key) override;
    bool forget(const std::string& key, std::int64_t now) override;
    std::vector<std::string> expire(std::int64_t idleBefore, std::int64_t anonymousIdleBefore,
                                    std::int64_t recordsBefore, const Limits& limits) override;
    std::size_t count() override;
    std::size_t anonymousCount() override;

private:
    Store& store_;
};

} // namespace bankd
