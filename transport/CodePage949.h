#pragma once
// Code page 949 on the wire, UTF-16 inside: conversions through glibc iconv ("CP949").
// Bytes that are not valid code page 949 become U+FFFD; characters that code page 949
// cannot hold become "?". Neither direction ever fails or drops the rest of the text.
#include <QByteArray>
#include <QString>
#include "HttpVelcorExport.h"

namespace transport {

HTTPVELCOR_EXPORT QByteArray toCp949(const QString& text);
HTTPVELCOR_EXPORT QString fromCp949(const QByteArray& bytes);

} // namespace transport
