// Checks what the build laid out in the program folder: bitmaps, index, sounds
// and deploy.ini.
#include <QImage>
#include <QSettings>
#include <QSet>
#include <gtest/gtest.h>

#include "ButtonPainter.h"
#include "SoundSet.h"
#include "TestFiles.h"

using namespace bmpgen;
using namespace bmpgen::test;

namespace {

QString bmpPath(const QString& name) { return binDir() + QStringLiteral("/BMP/") + name; }

// Header checks of a bitmap file: 24-bit, uncompressed, the given size.
void expectBmp24(const QString& name, int width, int height)
{
    const QByteArray b = readAll(bmpPath(name));
    ASSERT_GE(b.size(), 54) << "missing or short: " << name.toStdString();
    EXPECT_EQ(b.left(2), QByteArray("BM")) << name.toStdString();
    EXPECT_EQ(les32(b, 18), width) << name.toStdString();
    EXPECT_EQ(std::abs(les32(b, 22)), height) << name.toStdString();
    EXPECT_EQ(le16(b, 28), 24) << name.toStdString();
    EXPECT_EQ(le32(b, 30), 0u) << name.toStdString();
    const int stride = (width * 3 + 3) & ~3;
    EXPECT_EQ(b.size(), int(le32(b, 10)) + stride * height) << name.toStdString();
    const QImage img(bmpPath(name));
    EXPECT_EQ(img.size(), QSize(width, height)) << name.toStdString();
}

class BuiltFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (binDir().isEmpty())
            GTEST_FAIL() << "TVPB_BIN is not set";
    }
};

} // namespace

TEST_F(BuiltFiles, EveryListedButtonHasItsThreeFacesAtTheEncodedSize)
{
    const QList<ButtonSpec> specs = listedButtons();
    ASSERT_GE(specs.size(), 41);
    for (const ButtonSpec& s : specs) {
        for (const QString& file : {s.normalFile(), s.pressedFile(), s.dimmedFile()})
            expectBmp24(file, s.width, s.height);
    }
}

TEST_F(BuiltFiles, FacesShowTheLabelAndDifferFromEachOther)
{
    for (const ButtonSpec& s : listedButtons()) {
        const QImage normal(bmpPath(s.normalFile()));
        const QImage pressed(bmpPath(s.pressedFile()));
        const QImage dimmed(bmpPath(s.dimmedFile()));
        ASSERT_FALSE(normal.isNull() || pressed.isNull() || dimmed.isNull()) << s.baseName().toStdString();
        const int pixels = s.width * s.height;
        EXPECT_GT(differingPixels(normal, pressed), pixels / 2) << s.baseName().toStdString();
        EXPECT_GT(differingPixels(normal, dimmed), pixels / 2) << s.baseName().toStdString();
        // The pressed face is darker; the dimmed one is grey.
        EXPECT_LT(meanGray(pressed), meanGray(normal)) << s.baseName().toStdString();
        const QColor grey(dimmed.pixel(2, s.height / 2));
        EXPECT_LE(std::abs(grey.red() - grey.blue()), 6) << s.baseName().toStdString();

        const QRect area = labelArea(s.width, s.height);
        for (const QImage* face : {&normal, &pressed, &dimmed}) {
            const Ink ink = labelInk(*face, area);
            EXPECT_GE(ink.count, area.width() * area.height() / 20) << s.baseName().toStdString();
            EXPECT_NEAR(ink.centreX, s.width / 2.0, s.width * 0.12) << s.baseName().toStdString();
        }
    }
}

TEST_F(BuiltFiles, PicturesAreAtTheirSizes)
{
    expectBmp24(QStringLiteral("title_icon.bmp"), 26, 26);
    expectBmp24(QStringLiteral("title.bmp"), 213, 26);
    expectBmp24(QStringLiteral("app_icon.bmp"), 32, 32);
    expectBmp24(QStringLiteral("start_bg.bmp"), 240, 294);
    expectBmp24(QStringLiteral("cheque.bmp"), 232, 60);
    expectBmp24(QStringLiteral("enrol_guide.bmp"), 220, 200);
}

TEST_F(BuiltFiles, IndexListsEveryBitmapWithItsSize)
{
    const QStringList lines = QString::fromUtf8(readAll(bmpPath(QStringLiteral("index.txt")))).split(QLatin1Char('\n'));
    QSet<QString> listed;
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char(' '));
        ASSERT_EQ(parts.size(), 2) << line.toStdString();
        const QStringList wh = parts[1].split(QLatin1Char('x'));
        ASSERT_EQ(wh.size(), 2) << line.toStdString();
        expectBmp24(parts[0], wh[0].toInt(), wh[1].toInt());
        listed.insert(parts[0]);
    }
    const QList<ButtonSpec> specs = listedButtons();
    EXPECT_EQ(listed.size(), specs.size() * 3 + 6);
    for (const ButtonSpec& s : specs) {
        EXPECT_TRUE(listed.contains(s.normalFile())) << s.baseName().toStdString();
        EXPECT_TRUE(listed.contains(s.pressedFile())) << s.baseName().toStdString();
        EXPECT_TRUE(listed.contains(s.dimmedFile())) << s.baseName().toStdString();
    }
}

TEST_F(BuiltFiles, SystemSoundsAreAudibleWavFiles)
{
    const QStringList expected{QStringLiteral("InfBeg.wav"), QStringLiteral("InfEnd.wav"), QStringLiteral("Ding.wav"),
                               QStringLiteral("Alarm1.wav"), QStringLiteral("Alarm3.wav")};
    QStringList produced;
    for (const SoundSpec& s : systemSounds())
        produced << s.fileName();
    EXPECT_EQ(produced, expected);

    for (const QString& name : expected) {
        const QByteArray b = readAll(binDir() + QStringLiteral("/sounds/") + name);
        ASSERT_GE(b.size(), 44) << name.toStdString();
        EXPECT_EQ(b.left(4), QByteArray("RIFF")) << name.toStdString();
        EXPECT_EQ(le32(b, 4), quint32(b.size() - 8)) << name.toStdString();
        EXPECT_EQ(b.mid(8, 8), QByteArray("WAVEfmt ")) << name.toStdString();
        EXPECT_EQ(le16(b, 20), 1) << name.toStdString(); // PCM
        EXPECT_EQ(le16(b, 22), 1) << name.toStdString(); // mono
        const int bits = le16(b, 34);
        EXPECT_TRUE(bits == 8 || bits == 16) << name.toStdString();
        EXPECT_EQ(b.mid(36, 4), QByteArray("data")) << name.toStdString();
        const quint32 data = le32(b, 40);
        EXPECT_EQ(quint32(b.size() - 44), data) << name.toStdString();
        // Between a tenth and two seconds of sound, and not silent.
        const double seconds = double(data) / le32(b, 28);
        EXPECT_GT(seconds, 0.1) << name.toStdString();
        EXPECT_LT(seconds, 2.0) << name.toStdString();
        int peak = 0;
        for (int at = 44; at + 1 < b.size(); at += 2)
            peak = std::max(peak, std::abs(int(qint16(le16(b, at)))));
        EXPECT_GT(peak, 4000) << name.toStdString();
    }
}

TEST_F(BuiltFiles, DeployIniHoldsTheDocumentedSections)
{
    const QString path = binDir() + QStringLiteral("/deploy.ini");
    ASSERT_TRUE(QFile::exists(path));
    QSettings ini(path, QSettings::IniFormat);
    EXPECT_FALSE(ini.value(QStringLiteral("bank/server_host")).toString().isEmpty());
    EXPECT_TRUE(ini.contains(QStringLiteral("bank/gateway_public_key")));
    EXPECT_FALSE(ini.value(QStringLiteral("download/host")).toString().isEmpty());
    EXPECT_FALSE(ini.value(QStringLiteral("carrier/skt_account")).toString().isEmpty());
    EXPECT_FALSE(ini.value(QStringLiteral("carrier/lgt_realm")).toString().isEmpty());
    EXPECT_TRUE(ini.contains(QStringLiteral("carrier/ktf_realm")));
}
