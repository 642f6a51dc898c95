// Image buttons: faces by state and the readable fallback for a missing file.
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "CBmpButton.h"
#include "Services.h"

namespace {

QString writeFace(const QTemporaryDir& dir, const QString& name, const QColor& colour)
{
    QImage img(42, 26, QImage::Format_RGB32);
    img.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(img.save(path, "BMP"));
    return path;
}

QColor centre(CBmpButton& b)
{
    const QImage img = b.grab().toImage();
    return img.pixelColor(img.width() / 2, img.height() / 2);
}

TEST(BmpButton, ShowsEachFaceInItsState)
{
    QTemporaryDir dir;
    const QString normal = writeFace(dir, QStringLiteral("조회_4226.bmp"), QColor(255, 0, 0));
    const QString pressed = writeFace(dir, QStringLiteral("조회_4226_d.bmp"), QColor(0, 255, 0));
    const QString dimmed = writeFace(dir, QStringLiteral("조회_D4226.bmp"), QColor(0, 0, 255));

    CBmpButton b;
    ASSERT_TRUE(b.LoadBitmap(normal, pressed, dimmed));
    b.SizeToContent();
    EXPECT_EQ(b.size(), QSize(42, 26));
    b.show();
    EXPECT_EQ(b.currentFace(), CBmpButton::NormalFace);
    EXPECT_EQ(centre(b), QColor(255, 0, 0));

    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    QTest::mousePress(&b, Qt::LeftButton);
    EXPECT_EQ(b.currentFace(), CBmpButton::PressedFace);
    EXPECT_EQ(centre(b), QColor(0, 255, 0));
    QTest::mouseRelease(&b, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(centre(b), QColor(255, 0, 0));

    b.EnableWindow(FALSE);
    EXPECT_EQ(b.currentFace(), CBmpButton::DisabledFace);
    EXPECT_EQ(centre(b), QColor(0, 0, 255));
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(BmpButton, DisabledWithoutItsOwnFaceIsDimmed)
{
    QTemporaryDir dir;
    const QString normal = writeFace(dir, QStringLiteral("뒤로_3224.bmp"), QColor(0, 0, 0));
    CBmpButton b;
    ASSERT_TRUE(b.LoadBitmap(normal, QString(), QString()));
    b.resize(42, 26);
    b.setEnabled(false);
    const QColor c = centre(b);
    EXPECT_GT(c.red(), 60); // lighter than the black face
    EXPECT_EQ(c.red(), c.blue());
}

TEST(BmpButton, MissingFileGivesALabelledButtonThatStillWorks)
{
    CBmpButton b;
    EXPECT_FALSE(b.LoadBitmap(QStringLiteral("BMP\\없는단추_4226.bmp"), QStringLiteral("BMP\\없는단추_4226_d.bmp"),
                              QString()));
    EXPECT_FALSE(b.hasBitmap());
    EXPECT_EQ(b.currentFace(), CBmpButton::TextFace);
    EXPECT_EQ(b.fallbackLabel(), QStringLiteral("없는단추"));
    EXPECT_EQ(b.text(), QStringLiteral("없는단추"));
    b.SizeToContent();
    EXPECT_EQ(b.size(), QSize(42, 26));
    b.show();
    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    // Something is drawn: not a blank rectangle.
    const QImage img = b.grab().toImage();
    QSet<QRgb> colours;
    for (int x = 0; x < img.width(); ++x)
        colours.insert(img.pixel(x, img.height() / 2));
    EXPECT_GT(colours.size(), 2);
}

TEST(BmpButton, NamesGiveLabelAndSize)
{
    EXPECT_EQ(CBmpButton::labelFromFileName(QStringLiteral("BMP\\조회_4226.bmp")), QStringLiteral("조회"));
    EXPECT_EQ(CBmpButton::labelFromFileName(QStringLiteral("BMP\\조회_4226_d.bmp")), QStringLiteral("조회"));
    EXPECT_EQ(CBmpButton::labelFromFileName(QStringLiteral("BMP\\앞으로_D3224.bmp")), QStringLiteral("앞으로"));
    EXPECT_EQ(CBmpButton::labelFromFileName(QStringLiteral("BMP\\계좌상세_6524_d.bmp")), QStringLiteral("계좌상세"));
    EXPECT_EQ(CBmpButton::labelFromFileName(QStringLiteral("/x/y/로고.bmp")), QStringLiteral("로고"));
    EXPECT_EQ(CBmpButton::sizeFromFileName(QStringLiteral("BMP\\계좌상세_6524_d.bmp")), QSize(65, 24));
    EXPECT_EQ(CBmpButton::sizeFromFileName(QStringLiteral("BMP\\앞으로_D3224.bmp")), QSize(32, 24));
    EXPECT_FALSE(CBmpButton::sizeFromFileName(QStringLiteral("BMP\\로고.bmp")).isValid());
}

TEST(BmpButton, RelativeNamesLiveInTheProgramFolder)
{
    EXPECT_EQ(CBmpButton::resolvePath(QStringLiteral("BMP\\조회_4226.bmp")),
              platform::programFile(QStringLiteral("BMP\\조회_4226.bmp")));
    EXPECT_TRUE(CBmpButton::resolvePath(QStringLiteral("BMP\\조회_4226.bmp"))
                    .startsWith(platform::programFolder()));
    EXPECT_EQ(CBmpButton::resolvePath(QStringLiteral("/tmp/a.bmp")), QStringLiteral("/tmp/a.bmp"));
}

} // namespace
