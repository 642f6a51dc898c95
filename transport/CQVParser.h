#pragma once
// CQVParser: one request through a CQV session (TransData by GET, TransDataEx
// by POST) and the readers of the reply envelope:
//
//   <DataTag> <msg>CODE;TEXT;</msg> <free0>f1;f2;</free0> <list0>a1;a2;|b1;b2;|</list0> </DataTag>
//
// Field and record numbers count from 1; a missing tag, record or field reads "".
// The parser does not own the session; copies share it.
#include <QString>
#include "HttpVelcorExport.h"

class CQV;

class HTTPVELCOR_EXPORT CQVParser {
public:
    explicit CQVParser(CQV* session);
    CQVParser(const CQVParser& other);
    CQVParser& operator=(const CQVParser& other);
    virtual ~CQVParser();

    // Non-zero: reply holds the plain reply. Zero: reply holds the error text
    // ("Velcor Error: \r\n...", "Error:\r\n서버로부터 받은 데이터가 없습니다.",
    // "Network Error: \r\nError: ...").
    int TransData(const QString& request, QString& reply, int encrypt, int pathFlag);
    int TransDataEx(const QString& request, QString& reply, int encrypt, int pathFlag);

    // data = content of <DataTag>; non-zero when that is non-empty (else data is unchanged).
    int GetDataTag(const QString& reply, QString& data);
    // code and message = items 1 and 2 of <msg>; non-zero exactly when code is "10000".
    int GetMsgTag(const QString& data, QString& code, QString& message);
    // Field `field` of record `record` of the element `tag`. For record 1 the
    // fields are counted through the whole content (the separator is not used).
    QString GetTagValue(const QString& data, const QString& tag, int field, int record, const QString& recordSep);
    // Record `record` of the element, its terminator removed, trimmed.
    QString GetRecord(const QString& data, const QString& tag, int record, const QString& recordSep);
    int ExistRecord(const QString& data, const QString& tag, int record, const QString& recordSep);

protected:
    CQV* m_pQV;

private:
    int exchange(const QString& request, QString& reply, int encrypt, int pathFlag, bool post);
};
