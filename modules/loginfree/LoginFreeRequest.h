#pragma once
// One request of a login-free screen: the connect step of the settings, then
// the query on the parser path and the reply checks, each failure one message
// box ("오류메시지" for a failed exchange or a broken reply, "메시지" with the
// bank's code and text for a refusal).
#include <QString>

class CQV;
class CRasEx;
class QWidget;

namespace loginfree {

// TRUE with `data` the content of the reply's DataTag; FALSE after the
// message (or silently when the settings name no way to connect).
bool Send(QWidget* window, CQV* session, CRasEx* ras, const QString& query, int encrypt, QString& data);

// A field of a record of a reply element, records ended by "|".
QString Field(CQV* session, const QString& data, const QString& tag, int field, int record = 1);
bool HasRecord(CQV* session, const QString& data, const QString& tag, int record);
// Records 1, 2 ... while they exist.
int RecordCount(CQV* session, const QString& data, const QString& tag);

} // namespace loginfree
