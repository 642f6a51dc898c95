// The notice records and row texts on canned replies.
#include <gtest/gtest.h>

#include "NoticeRecords.h"

using namespace kit;

TEST(NoticeRecords, ListPageEndFlagRowsAndNumbersBack)
{
    const NoticePage page = FillStruct(QStringLiteral(
        "<DataTag><msg>10000;ok;</msg><free0>0;</free0><list0>123;20241101;첫 공지;|7;20241102;두번째 ;|</list0></DataTag>"));
    EXPECT_EQ(page.endFlag, QStringLiteral("0"));
    ASSERT_EQ(page.records.size(), 2);
    EXPECT_EQ(page.records[1].num, QStringLiteral("7"));
    EXPECT_EQ(page.records[1].title, QStringLiteral("두번째"));

    // "> ", the title, 45 blanks, the number reversed; read back in order.
    const QString row = NoticeRowText(page.records[0]);
    EXPECT_EQ(row, QStringLiteral("> 첫 공지") + QString(45, u' ') + QStringLiteral("321"));
    EXPECT_EQ(NoticeNumberOfRow(row), QStringLiteral("123"));

    // No free block or an empty flag: the flag is empty (and not "1").
    EXPECT_EQ(FillStruct(QStringLiteral("<DataTag><msg>10000;ok;</msg><list0></list0></DataTag>")).endFlag, QString());
    EXPECT_EQ(FillStruct(QStringLiteral("<DataTag><free0>;</free0></DataTag>")).endFlag, QString());
}

TEST(NoticeRecords, DetailBodyKeepsItsSemicolonsAndShowsAsPlainText)
{
    const _ST3510 n = FillDetail(QStringLiteral(
        "<DataTag><msg>10000;ok;</msg><free0>제목;20241101;첫 줄<br>&nbsp;&nbsp;둘; 셋 <b>굵게</b>;</free0></DataTag>"));
    EXPECT_EQ(n.title, QStringLiteral("제목"));
    EXPECT_EQ(n.second, QStringLiteral("20241101"));
    EXPECT_EQ(n.body, QStringLiteral("첫 줄<br>&nbsp;&nbsp;둘; 셋 <b>굵게</b>"));
    const QString text = NoticeDetailText(n);
    EXPECT_EQ(text, QStringLiteral("[제목]\r\n첫 줄<br>&nbsp;&nbsp;둘; 셋 <b>굵게</b>"));
    // Line breaks and blanks; the markup stays as its characters.
    EXPECT_EQ(NoticeDisplayText(text), QStringLiteral("[제목]\n첫 줄\n  둘; 셋 <b>굵게</b>"));

    // A detail without its second ";" has no body; a missing block gives nothing.
    EXPECT_EQ(FillDetail(QStringLiteral("<free0>제목;2024</free0>")).body, QString());
    EXPECT_EQ(FillDetail(QStringLiteral("<DataTag></DataTag>")).title, QString());
}
