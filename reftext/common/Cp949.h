#pragma once
#include <QByteArray>
#include <QString>

namespace reftext {

// Code page 949 (Unified Hangul Code) <-> UTF-16 through glibc iconv "CP949".
// Bytes that are not valid CP949 decode to U+FFFD; characters that CP949
// cannot hold encode to '?'.
QString fromCp949(const QByteArray& bytes);
QByteArray toCp949(const QString& text);

} // namespace reftext
