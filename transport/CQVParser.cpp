#include "CQVParser.h"

#include "CQD.h"
#include "CQV.h"
#include "EnvelopeText.h"
#include "GatewayExchange.h"
#include "Services.h"

namespace {

// Restores the arrow cursor on every way out of an exchange.
class WaitCursor {
public:
    WaitCursor() { platform::beginWait(); }
    ~WaitCursor() { platform::endWait(true); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString velcorError(const CQV& session)
{
    return QStringLiteral("Velcor Error: \r\n%1").arg(session.GetLastErrorMsg());
}

// Text for a second exchange started on a session while one is running (only
// possible by re-entering from a nested event loop); waiting there would never end.
QString busyError()
{
    return QStringLiteral("Velcor Error: \r\n이전 요청을 처리하고 있습니다.");
}

} // namespace

CQVParser::CQVParser(CQV* session) : m_pQV(session) {}

CQVParser::CQVParser(const CQVParser& other) : m_pQV(other.m_pQV) {}

CQVParser& CQVParser::operator=(const CQVParser& other)
{
    m_pQV = other.m_pQV;
    return *this;
}

CQVParser::~CQVParser() = default;

int CQVParser::TransData(const QString& request, QString& reply, int encrypt, int pathFlag)
{
    return exchange(request, reply, encrypt, pathFlag, false);
}

int CQVParser::TransDataEx(const QString& request, QString& reply, int encrypt, int pathFlag)
{
    return exchange(request, reply, encrypt, pathFlag, true);
}

int CQVParser::exchange(const QString& request, QString& reply, int encrypt, int pathFlag, bool post)
{
    WaitCursor wait;
    if (!m_pQV) {
        reply = QStringLiteral("Velcor Error: \r\n");
        return 0;
    }
    CQV& session = *m_pQV;

    CQD download;
    QString body;
    if (encrypt) {
        if (session.IsInUsing(1)) {
            reply = busyError();
            return 0;
        }
        session.SetServerProp(1);
        const transport::EncryptedAnswer answer = transport::sendEncrypted(session, download, request, pathFlag, post);
        if (!answer.sealed) {
            reply = velcorError(session);
            return 0;
        }
        body = answer.raw;
    } else {
        session.SetServerProp(0);
        body = post ? download.DownloadDataEx(session.GetServerProp(), request)
                    : download.DownloadData(session.GetServerProp() + u'?' + request, nullptr, 0);
    }
    if (body.isEmpty()) {
        reply = QStringLiteral("Error:\r\n서버로부터 받은 데이터가 없습니다.");
        return 0;
    }
    if (body.startsWith(QLatin1String("Error:"))) {
        reply = QStringLiteral("Network Error: \r\n%1").arg(body);
        return 0;
    }
    if (!encrypt) {
        reply = body;
        return 1;
    }

    if (session.IsInUsing(0)) {
        reply = busyError();
        return 0;
    }
    const QString plain = session.XDecode(body);
    if (plain.isEmpty()) {
        reply = velcorError(session);
        return 0;
    }
    reply = plain;
    return 1;
}

int CQVParser::GetDataTag(const QString& reply, QString& data)
{
    const QStringView content = transport::parseElement(reply, u"DataTag");
    if (content.isEmpty())
        return 0;
    data = content.toString();
    return 1;
}

int CQVParser::GetMsgTag(const QString& data, QString& code, QString& message)
{
    const QStringView content = transport::parseElement(data, u"msg");
    code = transport::parsedItem(content, 1, u";").toString();
    message = transport::parsedItem(content, 2, u";").toString();
    return code == QLatin1String("10000") ? 1 : 0;
}

QString CQVParser::GetTagValue(const QString& data, const QString& tag, int field, int record,
                               const QString& recordSep)
{
    if (field < 1 || record < 1)
        return {};
    const QStringView content = transport::parseElement(data, tag);
    if (content.isEmpty())
        return {};
    if (record == 1)
        return transport::parsedItem(content, static_cast<unsigned>(field), u";").toString();
    const QStringView rec = transport::parsedItem(content, static_cast<unsigned>(record), recordSep);
    if (rec.isEmpty())
        return {};
    return transport::parsedItem(rec, static_cast<unsigned>(field), u";").toString();
}

QString CQVParser::GetRecord(const QString& data, const QString& tag, int record, const QString& recordSep)
{
    if (record < 1)
        return {};
    return transport::parsedItem(transport::parseElement(data, tag), static_cast<unsigned>(record), recordSep)
        .toString();
}

int CQVParser::ExistRecord(const QString& data, const QString& tag, int record, const QString& recordSep)
{
    if (record < 1)
        return 0;
    return transport::parsedItem(transport::parseElement(data, tag), static_cast<unsigned>(record), recordSep)
               .isEmpty()
        ? 0
        : 1;
}
