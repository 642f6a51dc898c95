#include "TestBank.h"

#include <atomic>
#include <unistd.h>

#include "Admin.h"
#include "Handlers.h"
#include "Notices.h"

namespace bankd::test {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("bankd-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::str(const std::string& child) const
{
    return child.empty() ? path_.string() : (path_ / child).string();
}

TestBank::TestBank(BankConfig config, std::chrono::seconds idle)
    : clock(std::chrono::system_clock::from_time_t(1'730'784'730)),  // 2024-11-05 14:32:10 KST
      store(Store::create(location(dir.str("bankd.db")), HashCost::minimal())),
      sessions(clock, idle),
      dispatcher(*store, sessions, clock, config)
{
    // One process serves the bank, as bankd serve without nodes does; tests
    // of several nodes on one database turn this off.
    store->setServesAlone(true);
    registerAllHandlers(dispatcher);
}

SecurityCard TestBank::addCustomer(const std::string& userId, const std::string& password, const std::string& way,
                                   const std::string& name)
{
    return admin::addCustomer(*store, {userId, name, "8001011234567", way, "N"}, password);
}

void TestBank::addNotices(int count)
{
    store->write([&](Db& db) {
        for (int i = 1; i <= count; ++i)
            notices::add(db, "20241101", "공지 " + std::to_string(i), "본문 " + std::to_string(i));
    });
}

DispatchOutcome TestBank::plain(const std::string& query)
{
    return dispatcher.dispatch(Route::Plain, std::string(), query);
}

DispatchOutcome TestBank::encrypted(const std::string& key, const std::string& query)
{
    return dispatcher.dispatch(Route::Encrypted, key, query);
}

std::string TestBank::login(const std::string& key, const std::string& userId, const std::string& password)
{
    return encrypted(key, "useSess=N&trcode=PDA_U001&UserID=" + userId + "&UserPwd=" + password).envelope.code();
}

std::string sessionKey(int n)
{
    std::string s = "Sess" + std::to_string(n);
    s.resize(43, 'A');
    return s + "=";
}

} // namespace bankd::test
