#include "LoginFreeRequest.h"

#include "CQVParser.h"
#include "ConnectNetwork.h"
#include "Modal.h"
#include "Services.h"

namespace loginfree {

bool Send(QWidget* window, CQV* session, CRasEx* ras, const QString& query, int encrypt, QString& data)
{
    if (!session || !netsettings::ConnectNetwork(window, ras))
        return false;
    CQVParser parser(session);
    QString reply;
    platform::beginWait();
    const int sent = parser.TransData(query, reply, encrypt, 0);
    platform::endWait();
    if (!sent) {
        platform::messageBox(window, reply, QStringLiteral("오류메시지"), platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    QString content;
    if (!parser.GetDataTag(reply, content)) {
        platform::messageBox(window, QStringLiteral("데이터가 불완전합니다.\r\n재시도 해주세요."),
                             QStringLiteral("오류메시지"), platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    QString code, message;
    if (!parser.GetMsgTag(content, code, message)) {
        platform::messageBox(window, QStringLiteral("%1:\r\n%2").arg(code, message), QStringLiteral("메시지"),
                             platform::MB_OK | platform::MB_ICONWARNING);
        return false;
    }
    data = content;
    return true;
}

QString Field(CQV* session, const QString& data, const QString& tag, int field, int record)
{
    return CQVParser(session).GetTagValue(data, tag, field, record, QStringLiteral("|"));
}

bool HasRecord(CQV* session, const QString& data, const QString& tag, int record)
{
    return CQVParser(session).ExistRecord(data, tag, record, QStringLiteral("|")) != 0;
}

int RecordCount(CQV* session, const QString& data, const QString& tag)
{
    int n = 0;
    while (HasRecord(session, data, tag, n + 1))
        ++n;
    return n;
}

} // namespace loginfree
