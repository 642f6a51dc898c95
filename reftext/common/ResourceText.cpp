#include "ResourceText.h"

#include <QFile>

#include "CodePage949Qt.h"

namespace reftext {

QString loadResourceText(const QString& resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return cp949::decode(bytes);
}

} // namespace reftext
