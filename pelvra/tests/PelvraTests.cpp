#include <gtest/gtest.h>

#include <QFile>

#include "CEBInfo.h"
#include "CodePage949Qt.h"

TEST(Pelvra, ElectronicBankingTermsComeBackFromCodePage949)
{
    const QString t = CEBInfo().GetPelvra();
    EXPECT_TRUE(t.startsWith(QStringLiteral("전자금융거래 기본약관\r\n\r\n제1조(목적)\r\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("\r\n제10조(준용 규정)\r\n")));
    EXPECT_FALSE(t.contains(QChar(0xFFFD)));

    QFile f(QStringLiteral(":/reftext/Pelvra/TEXT/129"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    EXPECT_EQ(raw, cp949::encode(t));
    EXPECT_FALSE(raw.contains(QByteArray::fromStdString("약관")));
}

TEST(Pelvra, CopiesReadTheSameText)
{
    CEBInfo a;
    CEBInfo b(a);
    CEBInfo c;
    c = a;
    EXPECT_EQ(b.GetPelvra(), c.GetPelvra());
    EXPECT_FALSE(b.GetPelvra().isEmpty());
}
