#include "AccountRecords.h"

#include "KitFields.h"
#include "KitSort.h"

namespace inquiry {

namespace {

// The fields of one record text, n of them, each read up to its ";".
QStringList readFields(QStringView record, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i) {
        QString field;
        GetField(record, u";", field);
        out << field;
        record = record.mid(FieldEnd(record, u";"));
    }
    return out;
}

// Record texts of a list, each ended by "|"; an unterminated tail is no record.
QList<QStringView> records(const QString& list)
{
    QList<QStringView> out;
    QStringView rest(list);
    for (qsizetype bar = rest.indexOf(u'|'); bar >= 0; bar = rest.indexOf(u'|')) {
        out << rest.left(bar);
        rest = rest.mid(bar + 1);
    }
    return out;
}

} // namespace

QString TagContent(const QString& reply, const QString& tag)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const qsizetype a = reply.indexOf(open);
    if (a < 0)
        return {};
    const qsizetype start = a + open.size();
    const qsizetype c = reply.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'), start);
    if (c < 0)
        return {};
    return reply.mid(start, c - start).trimmed();
}

QList<AccountRecord> ParseAccounts(const QString& list)
{
    QList<AccountRecord> out;
    for (QStringView r : records(list)) {
        AccountRecord a;
        a.fields = readFields(r, 8);
        a.kindName = a.fields[0];
        a.number = a.fields[1];
        a.balance = a.fields[2];
        a.kindCode = a.fields[5];
        out << a;
    }
    return out;
}

QList<TxRecord> ParseTransactions(const QString& list)
{
    QList<TxRecord> out;
    for (QStringView r : records(list))
        out << readFields(r, 6);
    return out;
}

QList<AccountRecord> GridOrder(const QList<AccountRecord>& accounts)
{
    QList<AccountRecord> out;
    for (const AccountRecord& a : accounts)
        if (a.kindCode != QLatin1String("A07"))
            out << a;
    for (const AccountRecord& a : accounts)
        if (a.kindCode == QLatin1String("A07"))
            out << a;
    return out;
}

QString KindDigits(const QString& code)
{
    QString d = code;
    d.remove(QLatin1Char('A'));
    return d;
}

bool HasHistory(const QString& code)
{
    const QString d = KindDigits(code);
    return d != QLatin1String("00") && d != QLatin1String("02") && d != QLatin1String("07");
}

bool UsesDays(const QString& code)
{
    const QString d = KindDigits(code);
    return d == QLatin1String("04") || d == QLatin1String("05");
}

QList<Period> PeriodsFor(bool days)
{
    if (days)
        return {{QString(), 0}, {QStringLiteral("3일"), 3}, {QStringLiteral("1주"), 7}, {QStringLiteral("15일"), 15},
                {QStringLiteral("한달"), 30}};
    return {{QString(), 0}, {QStringLiteral("3개월"), 91}, {QStringLiteral("6개월"), 182},
            {QStringLiteral("9개월"), 273}, {QStringLiteral("12개월"), 365}};
}

QList<TxRecord> NewestFirst(const QList<TxRecord>& records)
{
    QStringList dates;
    for (const TxRecord& r : records)
        dates << r.value(0);
    const QList<int> order = SortDescending(dates);
    QList<TxRecord> out;
    for (int original : order)
        out << records[original];
    return out;
}

} // namespace inquiry
