// Query values and the code page 949 conversions.
#include <gtest/gtest.h>

#include <QStringList>

#include "CodePage949.h"
#include "QueryValue.h"

namespace {

TEST(QueryValue, OrdinaryValuesStayByteIdentical)
{
    for (const QString& v : {QStringLiteral("1234567890123"), QStringLiteral("20240131"), QStringLiteral("150000"),
                             QStringLiteral("홍길동"), QStringLiteral("a b=c+d;e|f/g?h"), QStringLiteral("K"),
                             QString()}) {
        EXPECT_EQ(QueryValue(v), v);
    }
}

TEST(QueryValue, AmpersandAndPercentAreEncoded)
{
    EXPECT_EQ(QueryValue(QStringLiteral("A&TranMny=9")), QStringLiteral("A%26TranMny=9"));
    EXPECT_EQ(QueryValue(QStringLiteral("100%")), QStringLiteral("100%25"));
    // "%" first: a value that already looks encoded comes back unchanged after decoding.
    EXPECT_EQ(QueryValue(QStringLiteral("%26&")), QStringLiteral("%2526%26"));
    EXPECT_EQ(QueryValue(QStringLiteral("&&")), QStringLiteral("%26%26"));
}

TEST(QueryValue, EncodedValueCannotAddAKey)
{
    const QString query = QStringLiteral("encrypt=1&trcode=PDA_T001&Sender=") + QueryValue(QStringLiteral("김&TranMny=1"))
        + QStringLiteral("&TranMny=5000");
    EXPECT_EQ(query.split(u'&').size(), 4);
    EXPECT_EQ(query.count(QStringLiteral("TranMny=")), 2); // one real key, one inside the value
    EXPECT_TRUE(query.contains(QStringLiteral("Sender=김%26TranMny=1&")));
}

TEST(CodePage949, HangulIsTwoBytesPerSyllable)
{
    const QByteArray bytes = transport::toCp949(QStringLiteral("가나q=1"));
    EXPECT_EQ(bytes, QByteArray("\xB0\xA1\xB3\xAA" "q=1"));
    EXPECT_EQ(transport::fromCp949(bytes), QStringLiteral("가나q=1"));
    // A syllable outside KS X 1001 but inside code page 949.
    EXPECT_EQ(transport::toCp949(QStringLiteral("똠")).size(), 2);
    EXPECT_EQ(transport::fromCp949(transport::toCp949(QStringLiteral("똠방각하"))), QStringLiteral("똠방각하"));
}

TEST(CodePage949, BadInputIsReplacedNotDropped)
{
    // A character code page 949 cannot hold becomes "?", the rest goes on.
    EXPECT_EQ(transport::toCp949(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
    // A lead byte without a valid trail byte becomes U+FFFD, the rest goes on.
    EXPECT_EQ(transport::fromCp949(QByteArray("x\xFFy")), QStringLiteral("x\uFFFDy"));
    EXPECT_EQ(transport::fromCp949(QByteArray("ab\xB0")), QStringLiteral("ab\uFFFD"));
    EXPECT_EQ(transport::fromCp949(QByteArray()), QString());
}

TEST(CodePage949, LongTextConvertsWhole)
{
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("한%1").arg(i % 10);
    const QByteArray bytes = transport::toCp949(text);
    EXPECT_EQ(bytes.size(), 5000 * 3);
    EXPECT_EQ(transport::fromCp949(bytes), text);
}

} // namespace
