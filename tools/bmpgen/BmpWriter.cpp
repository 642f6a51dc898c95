#include "BmpWriter.h"

#include <QSaveFile>
#include <QtEndian>

namespace bmpgen {

namespace {
void put16(QByteArray& b, quint16 v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}
void put32(QByteArray& b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}
} // namespace

QByteArray encodeBmp24(const QImage& source)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB888);
    const int w = img.width();
    const int h = img.height();
    const int stride = (w * 3 + 3) & ~3;
    const quint32 pixelBytes = quint32(stride) * quint32(h);
    const quint32 headerBytes = 14 + 40;

    QByteArray b;
    b.reserve(int(headerBytes + pixelBytes));
    // File header.
    b.append("BM", 2);
    put32(b, headerBytes + pixelBytes);
    put32(b, 0);
    put32(b, headerBytes);
    // Info header: positive height means the last row comes first.
    put32(b, 40);
    put32(b, quint32(w));
    put32(b, quint32(h));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0); // no compression
    put32(b, pixelBytes);
    put32(b, 2835); // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);

    QByteArray row(stride, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const uchar* src = img.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            row[x * 3 + 0] = char(src[x * 3 + 2]);
            row[x * 3 + 1] = char(src[x * 3 + 1]);
            row[x * 3 + 2] = char(src[x * 3 + 0]);
        }
        b.append(row);
    }
    return b;
}

bool writeBmp24(const QImage& image, const QString& path, QString* error)
{
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("empty image for %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    file.write(encodeBmp24(image));
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace bmpgen
