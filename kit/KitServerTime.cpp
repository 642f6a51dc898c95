#include "KitServerTime.h"

#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"

namespace kit {

QString ServerTimeHeading(const QString& reply)
{
    const QStringList f = FreeFields(reply, 2);
    if (f.size() < 2 || f[0].size() < 8 || f[1].size() < 4)
        return {};
    const QString& d = f[0];
    const QString& t = f[1];
    return QStringLiteral("%1/%2 %3:%4").arg(d.mid(4, 2), d.mid(6, 2), t.mid(0, 2), t.mid(2, 2));
}

QString RequestServerTimeHeading(KitRequest& request, const CQV* session)
{
    request.SetCheckBusy(false);
    QString reply;
    if (!request.SendOpen(BuildQueryT003(KitRequest::OpenBase(session)), reply, false))
        return {};
    return ServerTimeHeading(reply);
}

} // namespace kit
