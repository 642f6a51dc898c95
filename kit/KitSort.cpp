#include "KitSort.h"

#include <utility>

QList<int> SortDescending(QStringList& strings)
{
    const qsizetype n = strings.size();
    QList<int> positions(n);
    for (qsizetype i = 0; i < n; ++i)
        positions[i] = static_cast<int>(i);
    for (qsizetype i = 0; i + 1 < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (QString::compare(strings.at(i), strings.at(j), Qt::CaseSensitive) <= 0) {
                strings.swapItemsAt(i, j);
                std::swap(positions[i], positions[j]);
            }
        }
    }
    return positions;
}

QList<QStringList> NewestFirst(const QList<QStringList>& records, int dateField)
{
    QStringList dates;
    dates.reserve(records.size());
    for (const QStringList& r : records)
        dates << r.value(dateField);
    const QList<int> order = SortDescending(dates);
    QList<QStringList> out;
    out.reserve(records.size());
    for (int original : order)
        out << records[original];
    return out;
}
