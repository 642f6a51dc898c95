#pragma once
// A bank in a temporary folder for one test: store with the cheapest password
// hash, a clock the test moves, sessions, and the dispatcher with every
// transaction group registered.
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "Clock.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "Sessions.h"
#include "Store.h"
#include "TestDatabase.h"

namespace bankd::test {

// A fresh empty folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string str(const std::string& child = {}) const;

private:
    std::filesystem::path path_;
};

class TestBank {
public:
    explicit TestBank(BankConfig config = {}, std::chrono::seconds idle = std::chrono::seconds(600));

    // Adds a customer with password; returns its security card.
    SecurityCard addCustomer(const std::string& userId, const std::string& password, const std::string& way = "S",
                             const std::string& name = "홍길동");
    void addNotices(int count);

    DispatchOutcome plain(const std::string& query);
    DispatchOutcome encrypted(const std::string& sessionKey, const std::string& query);
    std::string login(const std::string& sessionKey, const std::string& userId, const std::string& password);

    TempDir dir;
    ManualClock clock;
    std::unique_ptr<Store> store;
    Sessions sessions;
    Dispatcher dispatcher;
};

// A 44-character session key made from a number.
std::string sessionKey(int n);

} // namespace bankd::test
