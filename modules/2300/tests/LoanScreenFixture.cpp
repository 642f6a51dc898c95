#include "LoanScreenFixture.h"

#include "Accounts.h"
#include "CTVPB2300.h"
#include "Dispatcher.h"
#include "Loans.h"
#include "Query.h"
#include "Sqlite.h"

namespace t2300 {

LoanScreen::LoanScreen() : harness::ModuleBankTest("gate-2300")
{
    // Every loan transaction and the source accounts pass through a recorder
    // on their way to the bank's own handler.
    for (const char* code : {"PDA_L001", "PDA_L002", "PDA_L003", "PDA_L004", "PDA_L005", "PDA_L006", "PDA_L007",
                             "PDA_A003"}) {
        const bankd::TransactionDef* def = bank.dispatcher.find(code);
        if (!def)
            continue;
        bankd::TransactionDef tapped = *def;
        bankd::Handler inner = def->handler;
        const std::string name = code;
        tapped.handler = [this, inner, name](bankd::RequestContext& ctx) {
            {
                std::lock_guard<std::mutex> hold(wireLock_);
                wire_[name].push_back(ctx.query.pairs());
            }
            return inner(ctx);
        };
        bank.dispatcher.add(tapped);
    }
}

LoanScreen::~LoanScreen()
{
    screen.reset();
}

std::string LoanScreen::addLoan(const std::string& owner, const std::string& displayNo, std::int64_t amount,
                                bool creditLine, int rateBp, const std::string& paidTo, const std::string& nextDue)
{
    std::string digits = bankd::accounts::digitsOnly(displayNo);
    bank.store->write([&](bankd::Db& db) {
        bankd::Account a;
        a.accountNo = digits;
        a.customerId = bankd::customers::find(db, owner)->id;
        a.displayNo = displayNo;
        a.kindName = creditLine ? "종합통장대출" : "가계일반대출";
        a.kindCode = "A07";
        a.openedOn = "20230105";
        bankd::accounts::add(db, a, "x");
        if (amount > 0)
            bankd::accounts::post(db, digits, amount, "2023-01-05 09:00:00", "대출실행", "");
        bankd::loans::NewLoan l;
        l.accountNo = digits;
        l.creditLine = creditLine;
        l.amount = creditLine ? 10'000'000 : amount;
        l.rateBp = rateBp;
        l.startedOn = "20230105";
        l.maturityOn = "20260105";
        l.paidTo = paidTo;
        l.nextDue = nextDue;
        bankd::loans::add(db, l);
    });
    return digits;
}

std::int64_t LoanScreen::balance(const std::string& accountNo)
{
    return bank.store->read([&](bankd::Db& db) { return bankd::accounts::find(db, accountNo)->balance; });
}

int LoanScreen::payments()
{
    return bank.store->read([](bankd::Db& db) {
        auto s = db.prepare("SELECT count(*) FROM loan_payments");
        s.step();
        return static_cast<int>(s.integer(0));
    });
}

CTVPB2300* LoanScreen::openScreen()
{
    return openModule(screen);
}

std::vector<Pairs> LoanScreen::sent(const std::string& code)
{
    std::lock_guard<std::mutex> hold(wireLock_);
    return wire_[code];
}

std::string LoanScreen::lastValue(const std::string& code, const std::string& key)
{
    auto all = sent(code);
    if (all.empty())
        return "<none sent>";
    for (const auto& [k, v] : all.back())
        if (k == key)
            return v;
    return "<absent>";
}

} // namespace t2300
