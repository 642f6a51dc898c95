#pragma once
// Field helpers for reply records: fields end with ";" and records with "|".
// A screen reads a record by taking the field at its position (GetField) and
// moving past its delimiter (FieldEnd), once per field.
#include <QString>
#include <QStringView>
#include <optional>

// The field before the first delimiter, trailing then leading blanks removed;
// "null", "Null" and "NULL" read as empty. Returns true when the delimiter was
// found and the field is not a null word; `out` is empty when it returns false.
bool GetField(QStringView text, QStringView delimiter, QString& out);

// Index just past the first delimiter; the text's length when there is none.
qsizetype FieldEnd(QStringView text, QStringView delimiter);

// Like GetField but owned: the trimmed field (empty for a null word), or no
// value when the delimiter is missing.
std::optional<QString> DupField(QStringView text, QStringView delimiter);

// The characters "0" to "9" of the text, in order.
QString DigitsOnly(QStringView source);

namespace kit {
// Account and card numbers as the requests carry them: every "-" removed.
QString WithoutDashes(QString number);
} // namespace kit
