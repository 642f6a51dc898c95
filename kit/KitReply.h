#pragma once
// Reading a checked reply: its single-record blocks ("<free0>", "<free1>": fields
// each ended by ";") and its list blocks ("<list0>": records each ended by "|",
// their fields by ";"). Fields are read with GetField, so they are trimmed and the
// null words read as empty. A reader never reads past its block, nor a field past
// its record: a record shorter than asked for gives empty fields.
#include <QList>
#include <QString>
#include <QStringList>

namespace kit {

// Whether the reply holds "<tag>" ... "</tag>".
bool HasBlock(const QString& reply, const QString& tag);

// The text between the first "<tag>" and the next "</tag>", trimmed; empty when
// either is missing.
QString BlockText(const QString& reply, const QString& tag);

// The ";"-ended fields of one record: exactly `count` of them (empty past the
// record's end); with count < 0 every ";"-ended field the record has.
QStringList RecordFields(QStringView record, int count = -1);

// The fields of a free block (see RecordFields); an empty list when the reply has
// no such block, so a caller can tell "no record" from "empty fields".
QStringList FreeFields(const QString& reply, int count = -1, const QString& tag = QStringLiteral("free0"));

// The records of a list block, each ended by "|" (an unterminated tail is no
// record), each cut into `count` fields (see RecordFields). Empty when the reply
// has no such block or the block has no record.
QList<QStringList> ListRecords(const QString& reply, int count, const QString& tag = QStringLiteral("list0"));

} // namespace kit
