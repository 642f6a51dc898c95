#pragma once
// Code page 949 for the client's texts: QString (UTF-16) inside, code page 949
// bytes on the wire and in resources. Same rules as CodePage949.h: invalid bytes
// decode to U+FFFD, characters the code page lacks encode to "?", never a failure.
#include <QByteArray>
#include <QString>

namespace cp949 {

QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

} // namespace cp949
