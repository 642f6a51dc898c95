#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "BmpWriter.h"
#include "TestFiles.h"
#include "WavWriter.h"

using namespace bmpgen;
using namespace bmpgen::test;

TEST(BmpWriter, WritesBottomUp24BitRowsPaddedToFourBytes)
{
    QImage img(3, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(255, 0, 0));
    img.setPixel(1, 0, qRgb(0, 255, 0));
    img.setPixel(2, 0, qRgb(0, 0, 255));
    img.setPixel(0, 1, qRgb(1, 2, 3));
    img.setPixel(1, 1, qRgb(4, 5, 6));
    img.setPixel(2, 1, qRgb(7, 8, 9));
    const QByteArray b = encodeBmp24(img);

    const int stride = 12; // 9 bytes of pixels padded to 12
    ASSERT_EQ(b.size(), 54 + 2 * stride);
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(b, 2), quint32(b.size()));
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(les32(b, 18), 3);
    EXPECT_EQ(les32(b, 22), 2); // positive: bottom-up
    EXPECT_EQ(le16(b, 26), 1);
    EXPECT_EQ(le16(b, 28), 24);
    EXPECT_EQ(le32(b, 30), 0u);
    EXPECT_EQ(le32(b, 34), quint32(2 * stride));
    // First stored row is the image's last row, in blue-green-red order.
    EXPECT_EQ(b.mid(54, 3), QByteArray("\x03\x02\x01", 3));
    EXPECT_EQ(b.mid(54 + 6, 3), QByteArray("\x09\x08\x07", 3));
    EXPECT_EQ(b.mid(54 + 9, 3), QByteArray(3, '\0'));
    EXPECT_EQ(b.mid(54 + stride, 3), QByteArray("\x00\x00\xff", 3));

    // Qt's own reader sees the same picture.
    const QImage back = QImage::fromData(b, "BMP");
    ASSERT_FALSE(back.isNull());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(back.pixel(x, y), img.pixel(x, y)) << x << "," << y;
}

TEST(BmpWriter, FailsCleanlyOnAnUnwritablePathOrEmptyImage)
{
    QString error;
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    EXPECT_FALSE(writeBmp24(img, QStringLiteral("/nonexistent-dir/x.bmp"), &error));
    EXPECT_FALSE(error.isEmpty());

    QTemporaryDir dir;
    error.clear();
    EXPECT_FALSE(writeBmp24(QImage(), dir.filePath(QStringLiteral("e.bmp")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("e.bmp"))));

    ASSERT_TRUE(writeBmp24(img, dir.filePath(QStringLiteral("한글.bmp")), &error));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("한글.bmp"))).size(), QSize(4, 4));
}

TEST(WavWriter, SynthesizesTheRequestedLengthWithRestsSilentAndNoClicks)
{
    const QList<qint16> s = synthesize({{1000, 100}, {0, 50}, {500, 20, true}}, 8000);
    ASSERT_EQ(s.size(), 800 + 400 + 160);
    // Starts and ends at silence (fades), rest is silent.
    EXPECT_EQ(s.first(), 0);
    EXPECT_LE(std::abs(s[799]), 200);
    for (int i = 800; i < 1200; ++i)
        ASSERT_EQ(s[i], 0) << i;
    int peak = 0;
    for (qint16 v : s)
        peak = std::max(peak, std::abs(int(v)));
    EXPECT_GT(peak, 8000);   // audible
    EXPECT_LT(peak, 32767);  // never clipped
}

TEST(WavWriter, EncodesAPcmMono16BitFile)
{
    const QList<qint16> samples{0, 1, -1, 32767, -32768};
    const QByteArray b = encodeWav(samples, 22050);
    ASSERT_EQ(b.size(), 44 + 10);
    EXPECT_EQ(b.left(4), QByteArray("RIFF"));
    EXPECT_EQ(le32(b, 4), quint32(b.size() - 8));
    EXPECT_EQ(b.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le16(b, 20), 1);
    EXPECT_EQ(le16(b, 22), 1);
    EXPECT_EQ(le32(b, 24), 22050u);
    EXPECT_EQ(le32(b, 28), 44100u);
    EXPECT_EQ(le16(b, 32), 2);
    EXPECT_EQ(le16(b, 34), 16);
    EXPECT_EQ(b.mid(36, 4), QByteArray("data"));
    EXPECT_EQ(le32(b, 40), 10u);
    EXPECT_EQ(qint16(le16(b, 44 + 6)), 32767);
    EXPECT_EQ(qint16(le16(b, 44 + 8)), -32768);
    EXPECT_EQ(qint16(le16(b, 44 + 4)), -1);
}
