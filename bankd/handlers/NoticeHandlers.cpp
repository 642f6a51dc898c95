// PDA_U003: one page of notice titles after a list position; free0 holds the
// end flag ("1" on the last page), list0 the records number;date;title;.
// PDA_U004: one notice; free0 holds title;date;body; (the body keeps its
// "<br>" and "&nbsp;").
#include "Handlers.h"

#include "Dispatcher.h"
#include "Notices.h"
#include "ResultCodes.h"
#include "Store.h"

namespace bankd {

namespace {

// A list position or notice number: 1 to 18 digits.
bool readNumber(const std::string& text, std::int64_t* out)
{
    if (text.empty() || text.size() > 18)
        return false;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    *out = v;
    return true;
}

Envelope noticePage(RequestContext& ctx)
{
    std::int64_t after = 0;
    if (!readNumber(ctx.query.value("Num"), &after))
        return Envelope(result::kBadValue, result::kBadValueText);
    NoticePage page = ctx.store.read([&](Db& db) { return notices::page(db, after, ctx.config.noticePageSize); });
    Envelope env = Envelope::ok();
    env.free0({page.last ? "1" : "0"});
    env.emptyList();
    for (const Notice& n : page.notices)
        env.addRecord({std::to_string(n.num), n.postedOn, n.title});
    return env;
}

Envelope noticeDetail(RequestContext& ctx)
{
    std::int64_t num = 0;
    if (!readNumber(ctx.query.value("Num"), &num))
        return Envelope(result::kBadValue, result::kBadValueText);
    auto notice = ctx.store.read([&](Db& db) { return notices::find(db, num); });
    if (!notice)
        return Envelope(result::kNoNotice, result::kNoNoticeText);
    return Envelope::ok().free0WithRawTail({notice->title, notice->postedOn}, notice->body);
}

} // namespace

void registerNoticeHandlers(Dispatcher& d)
{
    d.add({"PDA_U003", /*needsSession=*/false, /*plainRoute=*/true, noticePage});
    d.add({"PDA_U004", /*needsSession=*/false, /*plainRoute=*/true, noticeDetail});
}

} // namespace bankd
