#pragma once
#include <QString>

namespace reftext {

// Reads a text resource stored as code page 949 bytes and returns it as UTF-16.
// The text ends at the first zero byte if there is one. A missing resource
// gives an empty text.
QString loadResourceText(const QString& resourcePath);

} // namespace reftext
