#include "KitAmount.h"

namespace {

QString group(const QString& digits, bool negative)
{
    QString out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    if (negative)
        out.prepend(QLatin1Char('-'));
    return out;
}

} // namespace

QString FormatAmount(const QString& amount)
{
    QString s = amount;
    s.remove(QLatin1Char(','));
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(QLatin1Char('-'));
    qsizetype zeros = 0;
    while (zeros < s.size() && s.at(zeros) == QLatin1Char('0'))
        ++zeros;
    s.remove(0, zeros);
    if (s.isEmpty())
        s = QStringLiteral("0");
    return group(s, negative);
}

QString FormatAmountInt(qint64 amount)
{
    QString s = QString::number(amount);
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    return group(s, negative);
}
