#include <gtest/gtest.h>

#include "ButtonList.h"

using bmpgen::ButtonSpec;
using bmpgen::parseButtonList;
using bmpgen::parseButtonName;

TEST(ButtonName, EveryFormOfANameGivesTheSameFamily)
{
    const ButtonSpec expected{QStringLiteral("조회"), 42, 26};
    for (const char* form : {"조회_4226", "조회_4226_d", "조회_D4226", "BMP\\조회_4226.bmp", "BMP\\조회_4226_d.bmp",
                             "BMP/조회_D4226.bmp", "  조회_4226.BMP  "}) {
        ButtonSpec s;
        QString error;
        ASSERT_TRUE(parseButtonName(QString::fromUtf8(form), &s, &error)) << form << ": " << error.toStdString();
        EXPECT_EQ(s, expected) << form;
    }
}

TEST(ButtonName, FileNamesOfTheThreeFaces)
{
    ButtonSpec s;
    ASSERT_TRUE(parseButtonName(QStringLiteral("앞으로_D3224"), &s, nullptr));
    EXPECT_EQ(s.baseName(), QStringLiteral("앞으로_3224"));
    EXPECT_EQ(s.normalFile(), QStringLiteral("앞으로_3224.bmp"));
    EXPECT_EQ(s.pressedFile(), QStringLiteral("앞으로_3224_d.bmp"));
    EXPECT_EQ(s.dimmedFile(), QStringLiteral("앞으로_D3224.bmp"));

    ASSERT_TRUE(parseButtonName(QStringLiteral("exit_2826"), &s, nullptr));
    EXPECT_EQ(s.label, QStringLiteral("exit"));
    EXPECT_EQ(s.width, 28);
    EXPECT_EQ(s.height, 26);
    // Sizes under ten keep their leading zero.
    EXPECT_EQ((ButtonSpec{QStringLiteral("x"), 9, 8}).normalFile(), QStringLiteral("x_0908.bmp"));
}

TEST(ButtonName, MalformedNamesAreRefused)
{
    for (const char* bad : {"조회", "조회_422", "조회_42266", "_4226", "조회_4226.png", "조회_d4226", "조회_D4226_d",
                            "조회_0026", "조회_4200", "조 회_4226", "dir/조회_4226", "조회_4226_x"}) {
        QString error;
        EXPECT_FALSE(parseButtonName(QString::fromUtf8(bad), nullptr, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST(ButtonList, SkipsCommentsAndBlanksAndKeepsEachFamilyOnce)
{
    const QString text = QStringLiteral("# faces\n\n조회_4226\n  \n조회_4226_d\n닫기_5024\r\n앞으로_D3224\n# end\n");
    QList<ButtonSpec> specs;
    QString error;
    ASSERT_TRUE(parseButtonList(text, &specs, &error)) << error.toStdString();
    ASSERT_EQ(specs.size(), 3);
    EXPECT_EQ(specs[0].baseName(), QStringLiteral("조회_4226"));
    EXPECT_EQ(specs[1].baseName(), QStringLiteral("닫기_5024"));
    EXPECT_EQ(specs[2].baseName(), QStringLiteral("앞으로_3224"));
}

TEST(ButtonList, ReportsTheLineOfTheFirstBadName)
{
    QList<ButtonSpec> specs{ButtonSpec{QStringLiteral("keep"), 10, 10}};
    QString error;
    EXPECT_FALSE(parseButtonList(QStringLiteral("조회_4226\n# c\n닫기_50\n확인_4524\n"), &specs, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("line 3:"))) << error.toStdString();
    // The output is left alone on failure.
    ASSERT_EQ(specs.size(), 1);
    EXPECT_EQ(specs[0].label, QStringLiteral("keep"));
}
