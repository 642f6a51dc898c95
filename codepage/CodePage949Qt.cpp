#include "CodePage949Qt.h"

#include "CodePage949.h"

namespace cp949 {

QByteArray encode(const QString& text)
{
    // A lone surrogate comes out of toUtf8() as U+FFFD, which the code page lacks: "?".
    const QByteArray utf8 = text.toUtf8();
    const std::string bytes = fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString decode(const QByteArray& bytes)
{
    const std::string utf8 = toUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace cp949
