#pragma once
// Amounts as the screens show them: digits grouped by three with ",".
#include <QString>
#include <QStringList>

// Removes every ","; a leading "-" marks a negative amount (every "-" is then
// removed); leading zeros are dropped ("0" when nothing is left); "," goes
// after every third digit from the right; the "-" is put back.
QString FormatAmount(const QString& amount);

// The integer in decimal with the same grouping and sign rule.
QString FormatAmountInt(qint64 amount);

// For the screens where "0" would state something the reply did not say: a text
// without any digit (missing, empty, blanks) stays empty; anything else is
// FormatAmount of it.
QString FormatAmountOrEmpty(const QString& amount);

// The sum of amounts, each read over its digits only (separators, blanks, units
// and signs are passed over), in 64 bits. An amount or a sum past the 64-bit
// range gives the largest value and sets *overflow when given.
qint64 SumAmounts(const QStringList& amounts, bool* overflow = nullptr);
