// Query values.
#include <gtest/gtest.h>

#include <QStringList>

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

} // namespace
