// The login's cost with the production password hash (Argon2id, 19 MiB,
// t=2) through the dispatcher and a real store: a known user ID with the
// right and with a wrong password beside an unknown ID, which must cost the
// same so that the answer's time does not tell which IDs exist.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "Admin.h"
#include "Clock.h"
#include "Dispatcher.h"
#include "Handlers.h"
#include "SecretGuard.h"
#include "Sessions.h"
#include "Store.h"

using namespace bankd;

namespace {

struct Bank {
    Bank()
    {
        char tmpl[] = "/tmp/bankd-login-bench-XXXXXX";
        dir = mkdtemp(tmpl);
        store = Store::create(dir + "/bankd.db", HashCost::standard());
        admin::addCustomer(*store, {"ALICE", "김민준", "8503151234567", "S", "N"}, "PW1");
        BankConfig config;
        config.rateLimits = RateLimits::none();
        sessions = std::make_unique<Sessions>(clock, std::chrono::seconds(600));
        dispatcher = std::make_unique<Dispatcher>(*store, *sessions, clock, config);
        registerAllHandlers(*dispatcher);
    }
    ~Bank()
    {
        dispatcher.reset();
        store.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string login(const std::string& user, const std::string& password)
    {
        return dispatcher
            ->dispatch(Route::Encrypted, key, "useSess=N&trcode=PDA_U001&UserID=" + user + "&UserPwd=" + password)
            .envelope.code();
    }

    std::string dir;
    SystemClock clock;
    std::unique_ptr<Store> store;
    std::unique_ptr<Sessions> sessions;
    std::unique_ptr<Dispatcher> dispatcher;
    std::string key = std::string(43, 'K') + "=";
};

void run(benchmark::State& state, const std::string& user, const std::string& password, const char* expected,
         bool unlockEach)
{
    Bank bank;
    for (auto _ : state) {
        std::string code = bank.login(user, password);
        if (code != expected) {
            state.SkipWithError(("unexpected reply " + code).c_str());
            break;
        }
        if (unlockEach) {
            state.PauseTiming();
            admin::unlock(*bank.store, Secret::LoginPassword, user);
            state.ResumeTiming();
        }
    }
}

} // namespace

static void BM_LoginKnownIdRightPassword(benchmark::State& state)
{
    run(state, "ALICE", "PW1", "10000", false);
}
BENCHMARK(BM_LoginKnownIdRightPassword)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_LoginKnownIdWrongPassword(benchmark::State& state)
{
    run(state, "ALICE", "WRONG", "LGN01", true);
}
BENCHMARK(BM_LoginKnownIdWrongPassword)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_LoginUnknownId(benchmark::State& state)
{
    run(state, "NOBODY", "WRONG", "LGN01", false);
}
BENCHMARK(BM_LoginUnknownId)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
