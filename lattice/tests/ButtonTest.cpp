// Image buttons: faces by state and the readable fallback for a missing file.
#include <QFile>
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

TEST(BmpButton, CreatedFromAnImageNameWithItsNameSizeAndPlace)
{
    QWidget screen;
    CBmpButton* b = CBmpButton::Create(&screen, "btnQuery", QStringLiteral("없는단추_4524"), 70, 262);
    EXPECT_EQ(b->parentWidget(), &screen);
    EXPECT_EQ(b->objectName(), QStringLiteral("btnQuery"));
    EXPECT_EQ(b->geometry(), QRect(70, 262, 45, 24));
    EXPECT_EQ(b->fallbackLabel(), QStringLiteral("없는단추"));
}

TEST(BmpButton, FallbackFaceShowsTheWholeLabelOfEveryButtonTheScreensUse)
{
    // Every face the build draws, at its own size.
    QFile list(QStringLiteral(TVPB_BUTTON_LIST));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList names;
    for (const QString& raw : QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            names << line;
    }
    ASSERT_TRUE(names.contains(QStringLiteral("앞으로_3224")));
    ASSERT_TRUE(names.contains(QStringLiteral("이전으로_3224")));
    for (const QString& name : names) {
        const QString label = CBmpButton::labelFromFileName(name + QStringLiteral(".bmp"));
        const QSize size = CBmpButton::sizeFromFileName(name + QStringLiteral(".bmp"));
        const std::string tag = name.toStdString();
        QFont font; // the device font the test main installs, as on the screens
        const QSize room(size.width() - 4, size.height() - 2);
        const QStringList lines = CBmpButton::fitFallbackLabel(label, &font, room);
        EXPECT_EQ(lines.join(QString()), label) << tag;
        // Small but legible, and a stacked label never leaves a lone letter on a line.
        EXPECT_GE(font.pixelSize(), 9) << tag;
        for (const QString& line : lines)
            EXPECT_TRUE(lines.size() == 1 || line.size() >= 2) << tag;
        // The painter cuts a line that is wider than the room by any fraction: it
        // must keep every line whole.
        const QFontMetrics fm(font);
        for (const QString& line : lines)
            EXPECT_EQ(fm.elidedText(line, Qt::ElideRight, room.width()), line) << tag;
        EXPECT_LE(int(lines.size()) * (fm.ascent() + fm.descent()), room.height()) << tag;
    }

    // Drawn: "앞으로" on 32x24 shows all three syllables, not "앞…": its ink spans the
    // width the font gives the whole label.
    CBmpButton forward;
    EXPECT_FALSE(forward.LoadBitmap(QStringLiteral("/nonexistent/앞으로_D3224.bmp")));
    forward.SizeToContent();
    ASSERT_EQ(forward.size(), QSize(32, 24));
    QFont used = forward.font();
    ASSERT_EQ(CBmpButton::fitFallbackLabel(QStringLiteral("앞으로"), &used, QSize(28, 22)).size(), 1);
    const QImage face = forward.grab().toImage();
    int first = -1, last = -1;
    for (int x = 2; x < 30; ++x)
        for (int y = 2; y < 22; ++y)
            if (qGray(face.pixel(x, y)) < 110) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    ASSERT_GE(first, 0);
    EXPECT_GE(last - first + 1, QFontMetrics(used).boundingRect(QStringLiteral("앞으로")).width() - 2);

    // A short label keeps the full size on one line.
    QFont roomy;
    roomy.setPixelSize(13);
    EXPECT_EQ(CBmpButton::fitFallbackLabel(QStringLiteral("확인"), &roomy, QSize(41, 22)).size(), 1);
    EXPECT_EQ(roomy.pixelSize(), 13);

    // Drawn: "이전으로" on 32x24 without its file puts ink above and below the middle
    // (two stacked halves), not one cut-short line.
    CBmpButton b;
    QFont f = b.font();
    f.setPixelSize(13);
    b.setFont(f);
    EXPECT_FALSE(b.LoadBitmap(QStringLiteral("/nonexistent/이전으로_3224.bmp")));
    b.SizeToContent();
    ASSERT_EQ(b.size(), QSize(32, 24));
    const QImage img = b.grab().toImage();
    int above = 0, below = 0;
    for (int y = 2; y < 22; ++y)
        for (int x = 2; x < 30; ++x)
            (y < 12 ? above : below) += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(above, 15);
    EXPECT_GT(below, 15);
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
