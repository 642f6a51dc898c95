#include "CardRecords.h"

#include "KitReply.h"

namespace cards {

QList<CardRecord> ParseCards(const QString& reply)
{
    QList<CardRecord> out;
    for (const QStringList& r : kit::ListRecords(reply, 6))
        out.append({r[0], r[1], r[2], r[3], r[4], r[5]});
    return out;
}

QString CashAmount(const QString& typed)
{
    QString digits;
    for (QChar c : typed) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
        else if (c != QLatin1Char(','))
            return {};
    }
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    return digits;
}

} // namespace cards
