#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>

#include "ButtonList.h"

namespace bmpgen::test {

inline QString binDir()
{
    const QByteArray env = qgetenv("TVPB_BIN");
    return env.isEmpty() ? QString() : QString::fromLocal8Bit(env);
}

inline QString sourceDir() { return QStringLiteral(BMPGEN_SOURCE_DIR); }

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QList<ButtonSpec> listedButtons()
{
    QList<ButtonSpec> specs;
    QString error;
    parseButtonList(QString::fromUtf8(readAll(sourceDir() + QStringLiteral("/buttons.txt"))), &specs, &error);
    return specs;
}

inline quint16 le16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }
inline quint32 le32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
inline qint32 les32(const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.constData() + at); }

} // namespace bmpgen::test

#include <QImage>
#include <QRect>
#include <cstdlib>

namespace bmpgen::test {

// Pixels of a label drawn on a vertical gradient: in each row of the area, the
// pixels whose brightness differs strongly from the row's background (taken
// just inside the bevel, at x = 2).
struct Ink {
    int count = 0;
    double centreX = 0;
    double centreY = 0;
};

inline Ink labelInk(const QImage& img, const QRect& area, int threshold = 60)
{
    Ink ink;
    double sx = 0, sy = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const int bg = qGray(img.pixel(2, y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (std::abs(qGray(img.pixel(x, y)) - bg) > threshold) {
                ++ink.count;
                sx += x;
                sy += y;
            }
        }
    }
    if (ink.count > 0) {
        ink.centreX = sx / ink.count;
        ink.centreY = sy / ink.count;
    }
    return ink;
}

inline double meanGray(const QImage& img)
{
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            sum += qGray(img.pixel(x, y));
    return sum / (img.width() * img.height());
}

inline int differingPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace bmpgen::test
