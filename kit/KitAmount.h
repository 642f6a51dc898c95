#pragma once
// Amounts as the screens show them: digits grouped by three with ",".
#include <QString>

// Removes every ","; a leading "-" marks a negative amount (every "-" is then
// removed); leading zeros are dropped ("0" when nothing is left); "," goes
// after every third digit from the right; the "-" is put back.
QString FormatAmount(const QString& amount);

// The integer in decimal with the same grouping and sign rule.
QString FormatAmountInt(qint64 amount);
