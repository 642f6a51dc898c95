// PDA_T003: the server's date and time (bank time), "YYYYMMDD;HHMMSS;".
#include "Handlers.h"

#include "Clock.h"
#include "Dispatcher.h"

namespace bankd {

namespace {
Envelope serverTime(RequestContext& ctx)
{
    BankTime t = bankTime(ctx.clock.now());
    return Envelope::ok().free0({t.date, t.time});
}
} // namespace

void registerTimeHandlers(Dispatcher& d)
{
    d.add({"PDA_T003", /*needsSession=*/false, /*plainRoute=*/true, serverTime});
}

} // namespace bankd
