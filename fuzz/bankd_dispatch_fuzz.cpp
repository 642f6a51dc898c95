// bankd's dispatch of hostile request texts through the real transaction
// table, on a demo bank in a scratch folder: every request gets an answer (no
// handler fails with an unexpected exception), and the books hold after it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "Books.h"
#include "Clock.h"
#include "Demo.h"
#include "Dispatcher.h"
#include "FuzzHome.h"
#include "FuzzInput.h"
#include "Handlers.h"
#include "ResultCodes.h"
#include "Sessions.h"
#include "Store.h"

namespace {

using namespace bankd;

// Session keys of the bank: two logged in (the first demo users), one
// anonymous, and the empty key of the plain servlet.
const std::string kKeyS = std::string(43, 'S') + "=";
const std::string kKeyK = std::string(43, 'K') + "=";
const std::string kKeyAnon = std::string(43, 'A') + "=";

struct Bank {
    const Clock::time_point start = std::chrono::system_clock::now();
    ManualClock clock{start};
    std::unique_ptr<Store> store;
    std::unique_ptr<Sessions> sessions;
    std::unique_ptr<Dispatcher> dispatcher;
    Books books;

    Bank()
    {
        const std::string dir = fuzz::scratchFolder("dispatch");
        store = Store::create(dir + "/bankd.db", HashCost::minimal());
        store->setServesAlone(true);  // one bankd alone, as `bankd serve` without nodes
        populateDemo(*store, {dir + "/home", /*fastCertificates=*/true});
        sessions = std::make_unique<Sessions>(clock, std::chrono::seconds(600));
        dispatcher = std::make_unique<Dispatcher>(*store, *sessions, clock);
        registerAllHandlers(*dispatcher);
        books = store->read([](Db& db) { return books::read(db); });
    }

    // The demo users stay logged in whatever the inputs did to their sessions.
    void logIn()
    {
        if (sessions->userOf(kKeyS) != std::optional<std::string>("DEMOS"))
            sessions->bind(kKeyS, "DEMOS");
        if (sessions->userOf(kKeyK) != std::optional<std::string>("DEMOK"))
            sessions->bind(kKeyK, "DEMOK");
    }
};

Bank& bank()
{
    static Bank b;
    return b;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    bank();
    return 0;
}

// Input: flags byte (route, session, time step), then the request text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bank& b = bank();
    fuzz::Reader in(data, size);
    const std::uint8_t flags = in.byte();
    const std::string_view request = in.rest();

    // Time moves on for at most a century: millions of inputs would otherwise
    // carry the clock past what a time point holds (the year 2262), which no
    // real clock reaches.
    if ((flags & 0x08) && b.clock.now() < b.start + std::chrono::years(100))
        b.clock.advance(std::chrono::hours(1) * ((flags >> 4) + 1));
    b.logIn();
    const Route route = (flags & 1) ? Route::Plain : Route::Encrypted;
    static const std::string none;
    const std::string* keys[] = {&kKeyS, &kKeyK, &kKeyAnon, &none};
    const std::string& key = route == Route::Plain ? none : *keys[(flags >> 1) & 3];

    const DispatchOutcome out = b.dispatcher->dispatch(route, key, request, "10.0.0.1");
    fuzz::check(!out.envelope.code().empty(), "an answer without a code");
    fuzz::check(out.envelope.code() != result::kSystem, "a handler failed on its input");
    fuzz::check(!out.trcode.empty() && !out.user.empty(), "an empty log field");

    const Books now = b.store->read([](Db& db) { return books::read(db); });
    const std::string off = books::check(b.books, now);
    if (!off.empty()) {
        std::fprintf(stderr, "%s\n", off.c_str());
        fuzz::fail("the books do not hold");
    }
    b.books = now;
    return 0;
}
