// Cards: PDA_C001 (the user's credit and check cards, paged), PDA_C002 to
// PDA_C006 (approvals, bill, bill items, arrears, available amounts of one
// card, opened with its PIN), PDA_C007 and PDA_C008 (cash service: check,
// then execution with the security value). Only the session user's cards are
// ever read; any other card reads as unknown. Amounts go out grouped with ","
// as the screens show them.
#include "Handlers.h"

#include "CardCash.h"
#include "CardCodes.h"
#include "CardInquiries.h"
#include "Cards.h"
#include "Customers.h"
#include "Dispatcher.h"
#include "ResultCodes.h"
#include "Sqlite.h"
#include "Store.h"

namespace bankd {

namespace {

using cards::amountText;
using cards::dashedDate;

Envelope refusal(const cards::Refusal& r)
{
    return Envelope(r.code, r.text);
}

Envelope badKey()
{
    return Envelope(result::kCardPageKey, result::kCardPageKeyText);
}

Envelope heldCards(RequestContext& ctx)
{
    auto page = cards::pageOfKey(ctx.query.value("RelayDataYN"));
    if (!page)
        return badKey();
    const int size = ctx.config.cardPageSize;
    return ctx.store.read([&](Db& db) {
        auto customer = customers::find(db, ctx.user);
        if (!customer)
            return Envelope(result::kSession, result::kSessionText);
        cards::CardPage p = cards::heldCards(db, customer->id, *page, size);
        Envelope e = Envelope::ok();
        e.free0({cards::replyKey(*page, p.more)});
        e.emptyList();
        for (const Card& c : p.cards)
            e.addRecord({cards::displayNo(c.cardNo), c.kindName, cards::displayExpiry(c.expiry), c.branch, c.accident,
                         cards::displayAccount(db, c.settlementNo)});
        return e;
    });
}

// The card named by the request, opened with its PIN.
std::variant<cards::Refusal, cards::Opened> opened(RequestContext& ctx)
{
    return cards::open(ctx.store, ctx.user, ctx.query.value("CardNO"), ctx.query.value("CardPwd"), ctx.clock.now());
}

Envelope approvals(RequestContext& ctx)
{
    const Query& q = ctx.query;
    auto page = cards::pageOfKey(q.value("ConKey"));
    if (!page)
        return badKey();
    const std::string from = q.value("sdate"), to = q.value("edate");
    auto o = opened(ctx);
    if (auto* no = std::get_if<cards::Refusal>(&o))
        return refusal(*no);
    if (!cards::validPeriod(from, to))
        return Envelope(result::kCardPeriod, result::kCardPeriodText);
    // Named references rather than a structured binding: clang 14 (the fuzz
    // build) cannot capture a binding in the lambdas below.
    const cards::Opened& held = std::get<cards::Opened>(o);
    const auto& customer = held.customer;
    const auto& card = held.card;
    cards::ApprovalPage p = ctx.store.read(
        [&](Db& db) { return cards::approvals(db, card.cardNo, from, to, *page, ctx.config.cardListPageSize); });
    Envelope e = Envelope::ok();
    e.free0({cards::displayNo(card.cardNo), customer.name, card.branch, std::to_string(p.items.size()),
             cards::replyKey(*page, p.more)});
    e.emptyList();
    for (const cards::Approval& a : p.items)
        e.addRecord({dashedDate(a.date), a.merchant, amountText(a.amount), a.salesKind,
                     a.instalments > 0 ? std::to_string(a.instalments) + "개월" : std::string(), a.receipt,
                     dashedDate(a.cancelledOn)});
    return e;
}

Envelope billOf(RequestContext& ctx)
{
    auto o = opened(ctx);
    if (auto* no = std::get_if<cards::Refusal>(&o))
        return refusal(*no);
    const cards::Opened& held = std::get<cards::Opened>(o);
    const auto& customer = held.customer;
    const auto& card = held.card;
    const std::string date = ctx.query.value("sdate");
    return ctx.store.read([&](Db& db) {
        auto b = cards::bill(db, card, date);
        if (!b)
            return Envelope(result::kCardBillingDate, result::kCardBillingDateText);
        Record r{cards::displayNo(card.cardNo), customer.name, card.branch, amountText(b->total()),
                 dashedDate(b->billingDate), cards::displayAccount(db, b->settlementNo)};
        for (std::int64_t a : b->amounts)
            r.push_back(amountText(a));
        r.push_back(card.kindName);
        r.push_back(std::to_string(card.billingDay));
        r.push_back(amountText(b->amounts[0] + b->amounts[2] + b->amounts[4] + b->amounts[6] + b->amounts[8]));
        r.push_back(amountText(b->amounts[1] + b->amounts[3] + b->amounts[5] + b->amounts[7] + b->amounts[9]));
        r.push_back(card.settlementNo == b->settlementNo ? "Y" : "N");
        return Envelope::ok().free0(r);
    });
}

Envelope billItems(RequestContext& ctx)
{
    auto page = cards::pageOfKey(ctx.query.value("ConKey"));
    if (!page)
        return badKey();
    auto o = opened(ctx);
    if (auto* no = std::get_if<cards::Refusal>(&o))
        return refusal(*no);
    const cards::Opened& held = std::get<cards::Opened>(o);
    const auto& customer = held.customer;
    const auto& card = held.card;
    const std::string date = ctx.query.value("sdate");
    return ctx.store.read([&](Db& db) {
        auto b = cards::bill(db, card, date);
        if (!b)
            return Envelope(result::kCardBillingDate, result::kCardBillingDateText);
        cards::BillItemPage p = cards::billItems(db, card.cardNo, date, *page, ctx.config.cardListPageSize);
        Envelope e = Envelope::ok();
        e.free0({cards::displayNo(card.cardNo), customer.name, card.branch, amountText(b->total()),
                 dashedDate(date), cards::displayAccount(db, b->settlementNo), cards::replyKey(*page, p.more)});
        e.emptyList();
        for (const cards::BillItem& i : p.items) {
            const bool instal = !i.instalmentNo.empty();
            e.addRecord({dashedDate(i.usedOn), i.merchant, i.salesKind, amountText(i.amount), amountText(i.fee),
                         i.instalmentNo, instal ? amountText(i.instalmentAmount) : std::string(),
                         instal ? amountText(i.instalmentBalance) : std::string()});
        }
        return e;
    });
}

Envelope arrears(RequestContext& ctx)
{
    auto o = opened(ctx);
    if (auto* no = std::get_if<cards::Refusal>(&o))
        return refusal(*no);
    const cards::Opened& held = std::get<cards::Opened>(o);
    const auto& customer = held.customer;
    const auto& card = held.card;
    return ctx.store.read([&](Db& db) {
        cards::Arrears a = cards::arrears(db, card.cardNo);
        Record r{customer.name, cards::displayNo(card.cardNo), card.branch,
                 cards::displayAccount(db, card.settlementNo), dashedDate(a.firstOverdueOn), amountText(a.total()),
                 amountText(a.todayUnpaid), amountText(a.total() + a.todayUnpaid)};
        for (std::int64_t v : a.amounts)
            r.push_back(amountText(v));
        r.push_back(amountText(a.total()));
        return Envelope::ok().free0(r);
    });
}

Envelope available(RequestContext& ctx)
{
    auto o = opened(ctx);
    if (auto* no = std::get_if<cards::Refusal>(&o))
        return refusal(*no);
    const cards::Opened& held = std::get<cards::Opened>(o);
    const auto& customer = held.customer;
    const auto& card = held.card;
    const std::int64_t total = std::max<std::int64_t>(0, card.totalLimit - card.usedAmount - card.cashUsed);
    const std::int64_t cash = std::min(total, std::max<std::int64_t>(0, card.cashLimit - card.cashUsed));
    std::string period;
    if (!card.specialFrom.empty())
        period = dashedDate(card.specialFrom) + "~" + card.specialTo.substr(4, 2) + "-" + card.specialTo.substr(6, 2);
    return Envelope::ok().free0({customer.name, card.branch, cards::displayNo(card.cardNo), card.kindName,
                                 amountText(card.totalLimit), amountText(card.cashLimit), amountText(total),
                                 amountText(cash), period, amountText(card.specialAmount),
                                 amountText(card.specialUsed),
                                 amountText(std::max<std::int64_t>(0, card.specialAmount - card.specialUsed))});
}

cardcash::Request cashRequest(RequestContext& ctx)
{
    const Query& q = ctx.query;
    // The advance always goes to the card's own settlement account: Zentab
    // and IpAccNO are not read.
    return {ctx.user,         ctx.sessionKey,        q.value("CardNO"), q.value("CardPwd"), q.value("Cash"),
            q.value("ScrtyWay"), q.value("RandomNum"), q.value("SecPwd"), q.value("SignedMsg")};
}

Envelope checkCash(RequestContext& ctx)
{
    auto r = cardcash::check(ctx.store, cashRequest(ctx), ctx.clock.now());
    if (auto* no = std::get_if<cards::Refusal>(&r))
        return refusal(*no);
    const cardcash::Checked& c = std::get<cardcash::Checked>(r);
    return Envelope::ok().free0(
        {c.cardDisplay, c.accountDisplay, amountText(c.amount), amountText(c.cashBefore), amountText(c.fee)});
}

Envelope executeCash(RequestContext& ctx)
{
    auto r = cardcash::execute(ctx.store, cashRequest(ctx), ctx.clock.now());
    if (auto* no = std::get_if<cards::Refusal>(&r))
        return refusal(*no);
    const cardcash::Executed& e = std::get<cardcash::Executed>(r);
    return Envelope::ok("현금서비스 이체가 정상처리 되었습니다.")
        .free0({e.memberName, e.cardDisplay, e.accountDisplay, amountText(e.amount), amountText(e.cashAfter),
                amountText(e.fee)});
}

} // namespace

void registerCardHandlers(Dispatcher& d)
{
    d.add({"PDA_C001", /*needsSession=*/true, /*plainRoute=*/false, heldCards});
    d.add({"PDA_C002", true, false, approvals});
    d.add({"PDA_C003", true, false, billOf});
    d.add({"PDA_C004", true, false, billItems});
    d.add({"PDA_C005", true, false, arrears});
    d.add({"PDA_C006", true, false, available});
    d.add({"PDA_C007", true, false, checkCash});
    d.add({"PDA_C008", true, false, executeCash});
}

} // namespace bankd
