#include <gtest/gtest.h>

#include "KitAmount.h"
#include "KitFields.h"
#include "KitSort.h"

TEST(KitFields, GetFieldTrimsAndReadsNullWordsAsEmpty)
{
    QString out = QStringLiteral("stale");
    EXPECT_TRUE(GetField(u"  123-456 ;next;", u";", out));
    EXPECT_EQ(out, QStringLiteral("123-456"));
    EXPECT_FALSE(GetField(u"   Null  ;x;", u";", out));
    EXPECT_TRUE(out.isEmpty());
    for (const char16_t* word : {u"null;", u"NULL;", u" null ;"}) {
        EXPECT_FALSE(GetField(word, u";", out));
        EXPECT_TRUE(out.isEmpty());
    }
    // Other spellings are ordinary text.
    EXPECT_TRUE(GetField(u"nULL;", u";", out));
    EXPECT_EQ(out, QStringLiteral("nULL"));
}

TEST(KitFields, DelimiterAtStartOrMissing)
{
    QString out = QStringLiteral("stale");
    EXPECT_TRUE(GetField(u";abc;", u";", out));
    EXPECT_TRUE(out.isEmpty());
    out = QStringLiteral("stale");
    EXPECT_FALSE(GetField(u"abc", u";", out));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(GetField(u"", u";", out));
    // Only blanks are trimmed, not tabs.
    EXPECT_TRUE(GetField(u"\tA ;", u";", out));
    EXPECT_EQ(out, QStringLiteral("\tA"));
}

TEST(KitFields, FieldEndWalksARecordAndStopsSafely)
{
    const QString record = QStringLiteral("1002-03;홍길동; 50000 ;NULL;|");
    QStringView rest = record;
    QStringList fields;
    for (int i = 0; i < 4; ++i) {
        QString f;
        GetField(rest, u";", f);
        fields << f;
        rest = rest.mid(FieldEnd(rest, u";"));
    }
    EXPECT_EQ(fields, (QStringList{"1002-03", "홍길동", "50000", ""}));
    EXPECT_EQ(rest, u"|");
    // No delimiter left: the position is the end of the text, never beyond.
    EXPECT_EQ(FieldEnd(u"|", u";"), 1);
    EXPECT_EQ(FieldEnd(u"", u";"), 0);
    EXPECT_EQ(FieldEnd(u"ab||cd", u"||"), 4);
}

TEST(KitFields, DupFieldOwnsItsCopy)
{
    EXPECT_EQ(DupField(u" 10000 ;ok;", u";"), std::optional<QString>(QStringLiteral("10000")));
    EXPECT_EQ(DupField(u"Null;", u";"), std::optional<QString>(QString()));
    EXPECT_EQ(DupField(u"no delimiter", u";"), std::nullopt);
}

TEST(KitFields, DigitsOnlyKeepsTheDigits)
{
    EXPECT_EQ(DigitsOnly(u"123-45-678 원"), QStringLiteral("12345678"));
    EXPECT_EQ(DigitsOnly(u"-,"), QString());
    EXPECT_EQ(DigitsOnly(u"０1"), QStringLiteral("1")); // full-width digits are not ASCII digits
}

TEST(KitAmount, FormatAmountGroupsBareAndSeparatedAmounts)
{
    EXPECT_EQ(FormatAmount(QStringLiteral("0001234567")), QStringLiteral("1,234,567"));
    EXPECT_EQ(FormatAmount(QStringLiteral("-1234")), QStringLiteral("-1,234"));
    EXPECT_EQ(FormatAmount(QString()), QStringLiteral("0"));
    EXPECT_EQ(FormatAmount(QStringLiteral("000")), QStringLiteral("0"));
    EXPECT_EQ(FormatAmount(QStringLiteral("123")), QStringLiteral("123"));
    EXPECT_EQ(FormatAmount(QStringLiteral("1234")), QStringLiteral("1,234"));
    EXPECT_EQ(FormatAmount(QStringLiteral("123456")), QStringLiteral("123,456"));
    EXPECT_EQ(FormatAmount(QStringLiteral("1,2,3,4,5,6,7")), QStringLiteral("1,234,567"));
    EXPECT_EQ(FormatAmount(QStringLiteral("-0,001,000")), QStringLiteral("-1,000"));
}

TEST(KitAmount, FormatAmountIntKeepsTheSign)
{
    EXPECT_EQ(FormatAmountInt(-1000000), QStringLiteral("-1,000,000"));
    EXPECT_EQ(FormatAmountInt(0), QStringLiteral("0"));
    EXPECT_EQ(FormatAmountInt(999), QStringLiteral("999"));
    EXPECT_EQ(FormatAmountInt(1000), QStringLiteral("1,000"));
    EXPECT_EQ(FormatAmountInt(-12), QStringLiteral("-12"));
    EXPECT_EQ(FormatAmountInt(2147483647LL), QStringLiteral("2,147,483,647"));
}

TEST(KitSort, DescendingWithOriginalPositions)
{
    QStringList s{"b", "c", "a"};
    const QList<int> pos = SortDescending(s);
    EXPECT_EQ(s, (QStringList{"c", "b", "a"}));
    EXPECT_EQ(pos, (QList<int>{1, 0, 2}));
}

TEST(KitSort, EqualStringsChangePlacesEachTimeTheyMeet)
{
    QStringList two{"20240101", "20240101"};
    EXPECT_EQ(SortDescending(two), (QList<int>{1, 0}));
    QStringList three{"x", "x", "x"};
    // (0,1) swap -> 1,0,2; (0,2) swap -> 2,0,1; (1,2) swap -> 2,1,0.
    EXPECT_EQ(SortDescending(three), (QList<int>{2, 1, 0}));
}

TEST(KitSort, DatesNewestFirstAndCaseSensitive)
{
    QStringList dates{"20240105", "20231231", "20240301", "20240105"};
    const QList<int> pos = SortDescending(dates);
    EXPECT_EQ(dates, (QStringList{"20240301", "20240105", "20240105", "20231231"}));
    EXPECT_EQ(pos.at(0), 2);
    EXPECT_EQ(pos.at(3), 1);
    QStringList letters{"B", "a"}; // "a" (0x61) is greater than "B" (0x42)
    EXPECT_EQ(SortDescending(letters), (QList<int>{1, 0}));
    EXPECT_EQ(letters, (QStringList{"a", "B"}));
    QStringList none;
    EXPECT_TRUE(SortDescending(none).isEmpty());
}
