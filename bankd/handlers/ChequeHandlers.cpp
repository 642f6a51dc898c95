// PDA_S003: is this cheque valid? The issuing bank, branch, number, kind and
// amount are checked against the cheques the bank issued; the answer carries
// the cheque number, amount, issue date and accident record. Valid without a
// login, but only on the encrypted servlet.
#include "Handlers.h"

#include "Accounts.h"
#include "Cheques.h"
#include "Dispatcher.h"
#include "ReplyFormat.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

bool digitsOfLength(const std::string& text, std::size_t min, std::size_t max)
{
    return text.size() >= min && text.size() <= max && accounts::digitsOnly(text) == text;
}

using reply::grouped;

Envelope chequeInquiry(RequestContext& ctx)
{
    const std::string& bank = ctx.query.value("BankCD");
    const std::string& branch = ctx.query.value("PublShopNO");
    const std::string& number = ctx.query.value("CheckNO");
    const std::string& kind = ctx.query.value("CheckKind");
    const std::string& money = ctx.query.value("CheckMny");
    if (!digitsOfLength(bank, 2, 2) || !digitsOfLength(branch, 1, 10) || !digitsOfLength(number, 1, 20) ||
        !digitsOfLength(kind, 2, 2) || !digitsOfLength(money, 1, 15))
        return Envelope(result::kBadValue, result::kBadValueText);
    const std::int64_t amount = std::stoll(money);

    auto cheque = ctx.store.read([&](Db& db) { return cheques::find(db, bank, number); });
    if (!cheque)
        return Envelope(result::kUnknownCheque, result::kUnknownChequeText);
    // Branch numbers compare as numbers: "0123" and "123" name the same branch.
    auto stripped = [](const std::string& s) {
        std::size_t i = s.find_first_not_of('0');
        return i == std::string::npos ? std::string("0") : s.substr(i);
    };
    if (stripped(cheque->branchNo) != stripped(branch) || cheque->kindCode != kind || cheque->amount != amount)
        return Envelope(result::kChequeMismatch, result::kChequeMismatchText);

    const std::string& d = cheque->issuedOn;
    std::string issued = d.size() == 8 ? d.substr(0, 4) + "." + d.substr(4, 2) + "." + d.substr(6, 2) : d;
    Envelope env = Envelope::ok();
    env.addRecord({cheque->chequeNo, grouped(cheque->amount), issued,
                   cheque->accident.empty() ? std::string("없음") : cheque->accident});
    return env;
}

} // namespace

void registerChequeHandlers(Dispatcher& d)
{
    // Login-free: counted per address and session, and per cheque number like
    // an account number (probing one cheque's amount).
    TransactionDef def{"PDA_S003", /*needsSession=*/false, /*plainRoute=*/false, chequeInquiry};
    def.rate = {true, {{RateScope::Account, "CheckNO"}}};
    d.add(std::move(def));
}

} // namespace bankd
