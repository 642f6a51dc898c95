#include "AccountRecords.h"

#include "KitReply.h"

namespace inquiry {

QList<AccountRecord> ParseAccounts(const QString& reply)
{
    QList<AccountRecord> out;
    for (const QStringList& fields : kit::ListRecords(reply, 8)) {
        AccountRecord a;
        a.fields = fields;
        a.kindName = a.fields[0];
        a.number = a.fields[1];
        a.balance = a.fields[2];
        a.kindCode = a.fields[5];
        out << a;
    }
    return out;
}

QList<TxRecord> ParseTransactions(const QString& reply)
{
    return kit::ListRecords(reply, 6);
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

} // namespace inquiry
