#include "KitAmount.h"

#include <limits>

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

QString FormatAmountOrEmpty(const QString& amount)
{
    for (QChar c : amount)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return FormatAmount(amount);
    return {};
}

qint64 SumAmounts(const QStringList& amounts, bool* overflow)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    if (overflow)
        *overflow = false;
    qint64 sum = 0;
    for (const QString& amount : amounts) {
        qint64 value = 0;
        for (QChar c : amount) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                continue;
            const int digit = c.unicode() - '0';
            if (value > (kMax - digit) / 10) {
                if (overflow)
                    *overflow = true;
                return kMax;
            }
            value = value * 10 + digit;
        }
        if (sum > kMax - value) {
            if (overflow)
                *overflow = true;
            return kMax;
        }
        sum += value;
    }
    return sum;
}
