#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "Cp949.h"
#include "ResourceText.h"

using reftext::fromCp949;
using reftext::toCp949;

TEST(Cp949, HangulOutsideEucKrRoundTrips)
{
    // 똠 is one of the syllables that only the extended code page holds.
    const QString ddom = QStringLiteral("똠방각하 똠");
    const QByteArray bytes = toCp949(ddom);
    EXPECT_EQ(bytes.left(2), QByteArray("\x8c\x63", 2));
    EXPECT_EQ(fromCp949(bytes), ddom);
}

TEST(Cp949, MixedAsciiAndHangulKeepLineEnds)
{
    const QString text = QStringLiteral("56\tABN-AMRO\r\n20\t타브린은행");
    const QByteArray bytes = toCp949(text);
    EXPECT_TRUE(bytes.startsWith("56\tABN-AMRO\r\n"));
    EXPECT_EQ(bytes.size(), 13 + 3 + 5 * 2);
    EXPECT_EQ(fromCp949(bytes), text);
}

TEST(Cp949, InvalidBytesBecomeReplacementCharacters)
{
    // 0x80 is no lead byte; a lead byte at the very end is truncated.
    const QByteArray bytes("a\x80" "b\xb0", 4);
    EXPECT_EQ(fromCp949(bytes), QStringLiteral("a\uFFFDb\uFFFD"));
}

TEST(Cp949, CharactersOutsideTheCodePageEncodeAsQuestionMarks)
{
    EXPECT_EQ(toCp949(QStringLiteral("a\u0E01b")), QByteArray("a?b")); // Thai is not in CP949
    EXPECT_EQ(toCp949(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y")); // surrogate pair
    EXPECT_TRUE(toCp949(QString()).isEmpty());
    EXPECT_TRUE(fromCp949(QByteArray()).isEmpty());
}

TEST(ResourceText, MissingResourceGivesEmptyText)
{
    EXPECT_TRUE(reftext::loadResourceText(QStringLiteral(":/reftext/Nothing/TEXT/129")).isEmpty());
}

TEST(ResourceText, TextEndsAtTheFirstZeroByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("t.bin"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(toCp949(QStringLiteral("보안")) + QByteArray("\0\0junk", 6));
    f.close();
    EXPECT_EQ(reftext::loadResourceText(path), QStringLiteral("보안"));
}
