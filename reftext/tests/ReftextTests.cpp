#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include "CBCode.h"
#include "CECode.h"
#include "CIBInfo.h"
#include "CSecInfo.h"
#include "CodePage949Qt.h"

namespace {

QByteArray rawResource(const char* lib)
{
    QFile f(QStringLiteral(":/reftext/%1/TEXT/129").arg(QLatin1String(lib)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Rows of a code table, each "code\tname", split at "\r\n".
QStringList rows(const QString& table)
{
    QStringList r = table.split(QStringLiteral("\r\n"));
    if (!r.isEmpty() && r.last().isEmpty())
        r.removeLast();
    return r;
}

} // namespace

TEST(Zentab, BankTableHasThirtyRowsInOrderAndNoFinalLineEnd)
{
    const QString t = CBCode().GetZentab();
    ASSERT_FALSE(t.isEmpty());
    EXPECT_TRUE(t.startsWith(QStringLiteral("20\t타브린은행\r\n39\t경남은행\r\n")));
    EXPECT_TRUE(t.endsWith(QStringLiteral("\r\n54\t홍콩상하이은행\r\n56\tABN-AMRO")));
    const QStringList r = rows(t);
    ASSERT_EQ(r.size(), 30);
    EXPECT_EQ(r.at(19), QStringLiteral("71\t우체국"));
    EXPECT_EQ(r.at(25), QStringLiteral("03\t중소기업은행"));
    for (const QString& row : r) {
        EXPECT_EQ(row.count(QLatin1Char('\t')), 1) << row.toStdString();
        EXPECT_FALSE(row.contains(QLatin1Char('\n')));
    }
    // Every line end is "\r\n": no bare line feed is left.
    EXPECT_EQ(t.count(QLatin1Char('\n')), 29);
    EXPECT_EQ(t.count(QStringLiteral("\r\n")), 29);
}

TEST(Quendra, OccupationTableHasTwentyOneRowsAndAFinalLineEnd)
{
    const QString t = CECode().GetQuendra();
    EXPECT_TRUE(t.startsWith(QStringLiteral("1700\t공기업,공공단체\r\n")));
    EXPECT_TRUE(t.endsWith(QStringLiteral("2200\t제조업\r\n")));
    const QStringList r = rows(t);
    ASSERT_EQ(r.size(), 21);
    EXPECT_EQ(r.at(14), QStringLiteral("2100\t농,수렵,임업,어업,광업"));
    EXPECT_EQ(t.count(QStringLiteral("\r\n")), 21);
    EXPECT_EQ(t.count(QLatin1Char('\n')), 21);
}

TEST(ReferenceTexts, ResourcesAreStoredAsCodePage949)
{
    for (const char* lib : {"Zentab", "Quendra", "Morlit", "Pelvro"}) {
        const QByteArray raw = rawResource(lib);
        ASSERT_FALSE(raw.isEmpty()) << lib;
        // "타" / "은" / "이" / "인" in UTF-8 would begin with 0xEx; CP949 Hangul
        // never forms those three-byte sequences with a 0x80-0xBF middle byte.
        EXPECT_FALSE(raw.contains(QByteArray::fromStdString("은"))) << lib;
        EXPECT_FALSE(raw.contains(QByteArray::fromStdString("이"))) << lib;
        EXPECT_FALSE(raw.contains('\0')) << lib;
        EXPECT_TRUE(raw.contains("\r\n")) << lib;
    }
    EXPECT_EQ(rawResource("Zentab"), cp949::encode(CBCode().GetZentab()));
    EXPECT_EQ(rawResource("Quendra"), cp949::encode(CECode().GetQuendra()));
    EXPECT_EQ(rawResource("Zentab").left(13), cp949::encode(QStringLiteral("20\t타브린은행")));
}

TEST(Morlit, SecurityTextHasTheTwoSectionsSeparatedByBlankLines)
{
    const QString t = CSecInfo().GetSecInfo();
    EXPECT_TRUE(t.startsWith(QStringLiteral("공인 인증서란?\r\n\r\n")));
    const qsizetype card = t.indexOf(QStringLiteral("\r\n\r\n보안카드란?\r\n\r\n"));
    ASSERT_GT(card, 0);
    EXPECT_TRUE(t.mid(card).contains(QStringLiteral("yessign")));
    EXPECT_TRUE(t.mid(card).contains(QStringLiteral("출금")));
    const qsizetype bytes = cp949::encode(t).size();
    EXPECT_GT(bytes, 600);
    EXPECT_LT(bytes, 800);
}

TEST(Pelvro, TermsHaveTheTitleAndNumberedArticlesInOrder)
{
    const QString t = CIBInfo().GetPelvro();
    EXPECT_TRUE(t.startsWith(QStringLiteral("인터넷뱅킹서비스 이용 약관\r\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("\r\n제1조(목적)\r\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("\r\n제2조(서비스의 종류)\r\n")));
    qsizetype last = 0;
    for (int n = 1; n <= 18; ++n) {
        const qsizetype at = t.indexOf(QStringLiteral("\r\n제%1조(").arg(n));
        ASSERT_GT(at, last) << "article " << n;
        last = at;
    }
    EXPECT_EQ(t.indexOf(QStringLiteral("제19조(")), -1);
}

TEST(ReferenceTexts, ObjectsCopyAndAssign)
{
    CBCode a;
    CBCode b(a);
    CBCode c;
    c = b;
    EXPECT_EQ(c.GetZentab(), a.GetZentab());
    CSecInfo s1;
    CSecInfo s2 = s1;
    EXPECT_EQ(s1.GetSecInfo(), s2.GetSecInfo());
}
