#include "ChequeInquiry.h"

#include "CChequePage.h"
#include "CQD.h"
#include "CQV.h"
#include "CTVPB2100.h"
#include "GatewayExchange.h"
#include "KitChecks.h"
#include "KitPrompts.h"
#include "KitRequest.h"
#include "Modal.h"
#include "Services.h"

void InquireCheque(CTVPB2100* screen, CChequePage* page)
{
    CQV* session = screen->Session();
    CQD* download = screen->Download();
    if (!session || !download || KitRequest::IsBusy(session, download))
        return;
    const QString amount = page->Amount();
    const char16_t* error = nullptr;
    if (page->BankCode().isEmpty())
        error = u"발행은행 선택오류";
    else if (page->Branch().isEmpty())
        error = u"발행점번호 입력오류";
    else if (page->Number().isEmpty())
        error = u"수표번호 입력오류";
    else if (page->KindCode().isEmpty())
        error = u"수표종류 선택오류";
    else if (amount.isEmpty() || amount == QLatin1String("0"))
        error = u"수표금액 입력오류";
    if (error) {
        ShowMsg(screen, QString::fromUtf16(error), false);
        return;
    }

    BeginWait();
    const transport::EncryptedAnswer answer = transport::sendEncrypted(*session, *download, page->BuildQuery(), 0, false);
    if (!answer.sealed) {
        EndWait(false);
        ShowMsg(screen, QStringLiteral("Velcor Error: \r\n") + session->GetLastErrorMsg(), false);
        return;
    }
    const QString& raw = answer.raw;
    if (!CheckReply(screen, raw)) {
        if (platform::isWaiting())
            EndWait(false);
        return;
    }
    const QString reply = session->XDecode(raw);
    EndWait(false);
    if (reply.isEmpty()) {
        // A reply the engine could not open has no result to show.
        ShowMsg(screen, QStringLiteral("Velcor Error: \r\n") + session->GetLastErrorMsg(), false);
        return;
    }

    const QString data = session->XParse(reply, QStringLiteral("DataTag"));
    const QString msg = session->XParse(data, QStringLiteral("msg"));
    const QString code = session->XParsedItem(msg, 1, QStringLiteral(";"));
    if (code != QLatin1String("10000")) {
        platform::messageBox(screen,
                             QStringLiteral("Code: #%1 -\r\n%2").arg(code, session->XParsedItem(msg, 2, QStringLiteral(";"))),
                             QStringLiteral("메시지"), platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    const QString list = session->XParse(data, QStringLiteral("list0"));
    auto item = [&](unsigned n) { return session->XParsedItem(list, n, QStringLiteral(";")); };
    platform::messageBox(screen, CChequePage::ResultText(item(1), item(2), item(3), item(4)),
                         QStringLiteral("수표조회 결과"), platform::MB_OK);
}
