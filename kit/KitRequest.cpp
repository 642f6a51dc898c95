#include "KitRequest.h"

#include "CQD.h"
#include "CQV.h"
#include "GatewayExchange.h"
#include "KitChecks.h"
#include "KitPrompts.h"
#include "Services.h"

namespace {

// Arrow cursor back if a check left the wait cursor on.
void endWaitIfWaiting()
{
    if (platform::isWaiting())
        EndWait(false);
}

} // namespace

KitRequest::KitRequest(QWidget* window, CQV* session, CQD* download, int* nextModule)
    : window_(window), session_(session), download_(download), nextModule_(nextModule)
{
}

bool KitRequest::IsBusy(const CQV* session, const CQD* download)
{
    return (session && session->IsInUsing()) || (download && download->IsInDownloading());
}

QString KitRequest::OpenBase(const CQV* session)
{
    if (!session)
        return CQV::PlainServletUrl();
    const QString url = session->GetServerProp();
    const qsizetype at = url.indexOf(QLatin1String("/Tv"));
    // A server URL without "/Tv" has no servlet part to replace: use the
    // configured unencrypted servlet.
    if (at < 0)
        return CQV::PlainServletUrl();
    return url.left(at) + QStringLiteral("/TvPdaNoEnc");
}

bool KitRequest::SendPlain(const QString& query, QString& decoded, bool showSuccess)
{
    return send(Route::Plain, query, decoded, showSuccess);
}

bool KitRequest::SendSigned(const QString& query, QString& decoded, bool showSuccess)
{
    return send(Route::Signed, query, decoded, showSuccess);
}

bool KitRequest::SendOpen(const QString& url, QString& reply, bool showSuccess)
{
    return send(Route::Open, url, reply, showSuccess);
}

bool KitRequest::send(Route route, const QString& text, QString& out, bool showSuccess)
{
    out.clear();
    wasBusy_ = false;
    if (!session_ || !download_ || (closing_ && *closing_))
        return false;
    if (checkBusy_ && IsBusy(session_, download_)) {
        wasBusy_ = true;
        return false;
    }
    BeginWait();

    QString raw;
    if (route == Route::Open) {
        raw = download_->DownloadData(text, nullptr, 0);
    } else {
        const transport::EncryptedAnswer answer =
            transport::sendEncrypted(*session_, *download_, text, 0, route == Route::Signed);
        if (!answer.sealed) {
            // Nothing can be sent without the encrypted form: say why, as the
            // transport's other callers do.
            EndWait(false);
            ShowMsg(window_, QStringLiteral("Velcor Error: \r\n") + session_->GetLastErrorMsg(), false);
            return false;
        }
        raw = answer.raw;
    }
    if (!CheckReply(window_, raw)) {
        endWaitIfWaiting();
        return false;
    }
    const QString reply = route == Route::Open ? raw : session_->XDecode(raw);
    if (!CheckEnvelope(window_, nextModule_, reply, showSuccess)) {
        endWaitIfWaiting();
        return false;
    }
    EndWait(false);
    out = reply;
    return true;
}
