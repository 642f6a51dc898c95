#include "LossRecords.h"

#include "KitFields.h"
#include "KitReply.h"

namespace loss {

QList<CardRecord> ParseCards(const QString& reply, bool withType)
{
    QList<CardRecord> out;
    for (const QStringList& f : kit::ListRecords(reply, withType ? 4 : 3))
        out << CardRecord{f[0], f[1], f[2], withType ? f[3] : QString()};
    return out;
}

QList<PassbookRecord> ParsePassbooks(const QString& reply)
{
    QList<PassbookRecord> out;
    for (const QStringList& f : kit::ListRecords(reply, 3))
        out << PassbookRecord{f[0], f[1], f[2]};
    return out;
}

QString CardData(const QStringList& cardNumbers, const std::function<QString(const QString&)>& query)
{
    QString data;
    for (const QString& number : cardNumbers) {
        const QString digits = DigitsOnly(number);
        if (digits.isEmpty() || digits.size() > kCardDigitsLimit)
            return {};
        data += digits + QLatin1Char(';');
    }
    if (data.isEmpty() || query(data).size() > kQueryLimit)
        return {};
    return data;
}

} // namespace loss
