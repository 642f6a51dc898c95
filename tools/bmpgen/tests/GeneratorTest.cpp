#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "Generator.h"
#include "TestFiles.h"

using namespace bmpgen;
using namespace bmpgen::test;

namespace {

class GeneratorRun : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString list() const { return dir.filePath(QStringLiteral("buttons.txt")); }
    QString bmp(const QString& name = {}) const { return dir.filePath(QStringLiteral("BMP/") + name); }

    void writeList(const QByteArray& text)
    {
        QFile f(list());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    Generator generator() const { return Generator({list(), bmp(), dir.filePath(QStringLiteral("sounds"))}); }
};

} // namespace

TEST_F(GeneratorRun, DrawsEveryFaceAndRemovesWhatALaterListDropped)
{
    writeList("# test\n조회_4226\nBMP\\앞으로_D3224.bmp\n");
    Generator first = generator();
    ASSERT_TRUE(first.run()) << first.errors().join(QLatin1Char(';')).toStdString();
    for (const char* name : {"조회_4226.bmp", "조회_4226_d.bmp", "조회_D4226.bmp", "앞으로_3224.bmp", "앞으로_3224_d.bmp",
                             "앞으로_D3224.bmp", "title.bmp", "start_bg.bmp", "index.txt"})
        EXPECT_TRUE(QFile::exists(bmp(QString::fromUtf8(name)))) << name;
    EXPECT_EQ(first.bitmapsWritten().size(), 6 + 6);
    EXPECT_EQ(first.soundsWritten().size(), 5);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("sounds/InfBeg.wav"))));

    // A file the generator never wrote is not its to remove.
    QFile own(bmp(QStringLiteral("own.bmp")));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();

    writeList("조회_4226\n");
    Generator second = generator();
    ASSERT_TRUE(second.run());
    EXPECT_TRUE(QFile::exists(bmp(QStringLiteral("조회_4226_d.bmp"))));
    EXPECT_FALSE(QFile::exists(bmp(QStringLiteral("앞으로_3224.bmp"))));
    EXPECT_FALSE(QFile::exists(bmp(QStringLiteral("앞으로_3224_d.bmp"))));
    EXPECT_FALSE(QFile::exists(bmp(QStringLiteral("앞으로_D3224.bmp"))));
    EXPECT_TRUE(QFile::exists(bmp(QStringLiteral("own.bmp"))));
    EXPECT_FALSE(QString::fromUtf8(readAll(bmp(QStringLiteral("index.txt")))).contains(QStringLiteral("앞으로")));
}

TEST_F(GeneratorRun, IndexEntriesOutsideTheFolderAreNeverDeleted)
{
    writeList("조회_4226\n");
    ASSERT_TRUE(generator().run());
    // A tampered index naming files elsewhere.
    QFile victim(dir.filePath(QStringLiteral("victim.txt")));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.close();
    QFile index(bmp(QStringLiteral("index.txt")));
    ASSERT_TRUE(index.open(QIODevice::Append));
    index.write("../victim.txt 1x1\n");
    index.close();
    ASSERT_TRUE(generator().run());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("victim.txt"))));
}

TEST_F(GeneratorRun, FailsOnABadListOrAMissingOne)
{
    writeList("조회_4226\n닫기_50x24\n");
    Generator bad = generator();
    EXPECT_FALSE(bad.run());
    ASSERT_FALSE(bad.errors().isEmpty());
    EXPECT_TRUE(bad.errors().first().contains(QStringLiteral("line 2"))) << bad.errors().first().toStdString();

    Generator missing({dir.filePath(QStringLiteral("none.txt")), bmp(), dir.filePath(QStringLiteral("sounds"))});
    EXPECT_FALSE(missing.run());
    EXPECT_FALSE(missing.errors().isEmpty());
}
