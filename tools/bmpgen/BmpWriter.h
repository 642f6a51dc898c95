#pragma once
#include <QImage>
#include <QString>

namespace bmpgen {

// Writes an image as an uncompressed 24-bit Windows bitmap (bottom-up rows, each
// padded to four bytes), the format the device's bitmap loader reads. The file is
// replaced atomically. False, with a reason, when it cannot be written.
bool writeBmp24(const QImage& image, const QString& path, QString* error);

// The bytes writeBmp24 would write.
QByteArray encodeBmp24(const QImage& image);

} // namespace bmpgen
