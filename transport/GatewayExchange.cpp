#include "GatewayExchange.h"

#include "CQD.h"
#include "CQV.h"
#include "GatewayProtocol.h"

namespace transport {

namespace {

// The gateway's reasons that say the session is over.
bool sessionIsOver(const QString& reason)
{
    return reason == QStringLiteral("종료된 세션입니다") || reason == QStringLiteral("세션이 없습니다");
}

struct Refusal {
    bool refused = false;
    QString reason;      // first line after "Error:"
    QString clockNotice; // "Clock:..." line, when the request's time was off
    QString shown;       // the answer without the clock line
};

Refusal readRefusal(const QString& raw)
{
    Refusal r;
    r.shown = raw;
    const QLatin1String prefix(velcor::protocol::kErrorPrefix.data(),
                               static_cast<qsizetype>(velcor::protocol::kErrorPrefix.size()));
    if (!raw.startsWith(prefix))
        return r;
    r.refused = true;
    const QString rest = raw.mid(prefix.size());
    const qsizetype newline = rest.indexOf(QLatin1Char('\n'));
    r.reason = rest.left(newline).trimmed();
    if (newline < 0)
        return r;
    const QString second = rest.mid(newline + 1).trimmed();
    const QLatin1String clock(velcor::protocol::kClockPrefix.data(),
                              static_cast<qsizetype>(velcor::protocol::kClockPrefix.size()));
    if (second.startsWith(clock)) {
        r.clockNotice = second;
        r.shown = prefix + r.reason;
    }
    return r;
}

} // namespace

EncryptedAnswer sendEncrypted(CQV& session, CQD& download, const QString& request, int pathFlag, bool post)
{
    EncryptedAnswer answer;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QString encoded = post ? session.XEncodeEx(request, pathFlag) : session.XEncode(request, pathFlag);
        if (encoded.isEmpty()) {
            answer.sealed = false;
            return answer;
        }
        answer.sealed = true;
        const QString raw = post ? download.DownloadDataEx(session.GetServerProp(), encoded)
                                 : download.DownloadData(encoded, nullptr, 0);
        const Refusal refusal = readRefusal(raw);
        answer.raw = refusal.shown;
        if (!refusal.refused || attempt > 0)
            return answer;
        if (!refusal.clockNotice.isEmpty()) {
            // The engine takes the gateway's time from the notice (empty result).
            session.XDecode(refusal.clockNotice);
        } else if (sessionIsOver(refusal.reason)) {
            if (session.RenewSession() != 0)
                return answer;
        } else {
            return answer;
        }
    }
    return answer;
}

} // namespace transport
