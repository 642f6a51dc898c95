#include "KitReply.h"

#include "KitFields.h"

namespace kit {

namespace {

// Start and end of the text inside "<tag>...</tag>"; false when either is missing.
bool blockRange(const QString& reply, const QString& tag, qsizetype* start, qsizetype* end)
{
    if (tag.isEmpty())
        return false;
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const qsizetype a = reply.indexOf(open);
    if (a < 0)
        return false;
    *start = a + open.size();
    *end = reply.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'), *start);
    return *end >= 0;
}

} // namespace

bool HasBlock(const QString& reply, const QString& tag)
{
    qsizetype start = 0;
    qsizetype end = 0;
    return blockRange(reply, tag, &start, &end);
}

QString BlockText(const QString& reply, const QString& tag)
{
    qsizetype start = 0;
    qsizetype end = 0;
    if (!blockRange(reply, tag, &start, &end))
        return {};
    return reply.mid(start, end - start).trimmed();
}

QStringList RecordFields(QStringView record, int count)
{
    // Line breaks between records are no part of a field.
    record = record.trimmed();
    if (count < 0)
        count = static_cast<int>(record.count(u';'));
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString field;
        GetField(record, u";", field);
        out << field;
        record = record.mid(FieldEnd(record, u";"));
    }
    return out;
}

QStringList FreeFields(const QString& reply, int count, const QString& tag)
{
    if (!HasBlock(reply, tag))
        return {};
    return RecordFields(BlockText(reply, tag), count);
}

QList<QStringList> ListRecords(const QString& reply, int count, const QString& tag)
{
    QList<QStringList> out;
    const QString list = BlockText(reply, tag);
    QStringView rest(list);
    for (qsizetype bar = rest.indexOf(u'|'); bar >= 0; bar = rest.indexOf(u'|')) {
        out << RecordFields(rest.left(bar), count);
        rest = rest.mid(bar + 1);
    }
    return out;
}

} // namespace kit
