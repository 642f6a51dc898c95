// Transfer execution: PDA_T001 checks and prices a transfer and echoes it with
// a serial number; PDA_T002 executes the echoed transfer once, after the
// security value (security-card cell or certificate signature) has been
// verified, or registers it as a scheduled transfer when its date lies ahead.
#include "Handlers.h"

#include "Dispatcher.h"
#include "Envelope.h"
#include "Query.h"
#include "TransferCodes.h"
#include "Transfers.h"

namespace bankd {

namespace {

std::string dashedDate(const std::string& d)
{
    return d.size() == 8 ? d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) : d;
}

Envelope checkTransfer(RequestContext& ctx)
{
    const Query& q = ctx.query;
    transfers::QuoteInput in{ctx.user,          ctx.sessionKey,       q.value("WthrwAccNO"), q.value("AccPwd"),
                             q.value("DepstBankCD"), q.value("DepstAccNO"), q.value("TranMny"), q.value("Sender"),
                             q.value("CMSCD"),  q.value("IcheExecdate")};
    auto r = transfers::makeQuote(ctx.store, in, ctx.clock.now(), {});
    if (auto* no = std::get_if<transfers::Refusal>(&r))
        return Envelope(no->code, no->text);
    const transfers::Quote& t = std::get<transfers::Quote>(r);
    // The account password is not echoed: the serial stands for the checked transfer.
    return Envelope::ok().free0({t.fromDisplay, t.bankName, t.recipient, t.cms, t.execDate,
                                 std::to_string(t.balanceBefore), t.toAccount, std::to_string(t.amount), t.sender,
                                 std::to_string(t.fee), t.bankCode == "20" ? "1" : "2", t.bankCode, "****",
                                 std::to_string(t.daySum), std::to_string(t.dailyLimit), t.scheduled ? "2" : "1",
                                 t.scheduled ? t.execDate : std::string(), t.serial, "N"});
}

Envelope executeTransfer(RequestContext& ctx)
{
    const Query& q = ctx.query;
    transfers::ExecInput in;
    in.userId = ctx.user;
    in.sessionKey = ctx.sessionKey;
    in.serial = q.value("Seq");
    in.from = q.value("WthrwAccNO");
    in.bankName = q.value("DepstBankNm");
    in.recipient = q.value("RcverNm");
    in.cms = q.value("CMSCD");
    in.execDate = q.value("IcheExecdate");
    in.to = q.value("DepstAccNO");
    in.amount = q.value("TranMny");
    in.sender = q.value("Sender");
    in.fee = q.value("Charge");
    in.bankCode = q.value("DepstBankCD");
    in.scrtyWay = q.value("ScrtyWay");
    in.randomNum = q.value("RandomNum");
    in.secPwd = q.value("SecPwd");
    in.signedMsg = q.value("SignedMsg");
    auto r = transfers::execute(ctx.store, in, ctx.clock.now(), {});
    if (auto* no = std::get_if<transfers::Refusal>(&r))
        return Envelope(no->code, no->text);
    const transfers::Executed& e = std::get<transfers::Executed>(r);
    const transfers::Quote& t = e.quote;
    std::string text = e.scheduled ? "예약이체가 등록되었습니다. (이체일 " + dashedDate(t.execDate) + ")"
                                   : std::string("이체가 정상처리 되었습니다.");
    return Envelope::ok(text).free0({t.fromDisplay, t.bankName, t.recipient, t.cms, t.execDate,
                                     std::to_string(e.balanceAfter), t.toAccount, std::to_string(t.amount), t.sender,
                                     std::to_string(t.fee), e.messageNo});
}

} // namespace

void registerTransferHandlers(Dispatcher& d)
{
    d.add({"PDA_T001", /*needsSession=*/true, /*plainRoute=*/false, checkTransfer});
    d.add({"PDA_T002", /*needsSession=*/true, /*plainRoute=*/false, executeTransfer});
}

} // namespace bankd
