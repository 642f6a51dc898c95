// The reply envelope readers: XParse, XParsedItem and the CQVParser readers.
#include <gtest/gtest.h>

#include "CQV.h"
#include "CQVParser.h"

namespace {

const QString kSemi = QStringLiteral(";");
const QString kBar = QStringLiteral("|");

QString wrap(const QString& tag, const QString& content)
{
    return QStringLiteral("<DataTag><%1>%2</%1></DataTag>").arg(tag, content);
}

TEST(XParse, ReturnsTrimmedContentOfTheFirstElement)
{
    CQV qv;
    EXPECT_EQ(qv.XParse(QStringLiteral("<a> \t\r\n x y \v\f</a><a>z</a>"), QStringLiteral("a")), QStringLiteral("x y"));
    // Tags match literally and case-sensitively.
    EXPECT_EQ(qv.XParse(QStringLiteral("<A>x</A>"), QStringLiteral("a")), QString());
    // Only the six ASCII blanks are trimmed; a full-width blank is data.
    EXPECT_EQ(qv.XParse(QStringLiteral("<a>\u3000가\u3000</a>"), QStringLiteral("a")), QStringLiteral("\u3000가\u3000"));
}

TEST(XParse, MissingOpeningOrClosingTagGivesEmpty)
{
    CQV qv;
    EXPECT_EQ(qv.XParse(QStringLiteral("<msg>10000;OK;"), QStringLiteral("msg")), QString());
    EXPECT_EQ(qv.XParse(QStringLiteral("10000;OK;</msg>"), QStringLiteral("msg")), QString());
    EXPECT_EQ(qv.XParse(QString(), QStringLiteral("msg")), QString());
    // The closing tag is searched after the opening one.
    EXPECT_EQ(qv.XParse(QStringLiteral("</b>x<b>y</b>"), QStringLiteral("b")), QStringLiteral("y"));
}

TEST(XParsedItem, CountsTerminatedItemsFromOne)
{
    CQV qv;
    const QString text = QStringLiteral(" a ;b;;c;");
    EXPECT_EQ(qv.XParsedItem(text, 1, kSemi), QStringLiteral("a"));
    EXPECT_EQ(qv.XParsedItem(text, 2, kSemi), QStringLiteral("b"));
    EXPECT_EQ(qv.XParsedItem(text, 3, kSemi), QString());
    EXPECT_EQ(qv.XParsedItem(text, 4, kSemi), QStringLiteral("c"));
    // Just past the last terminator: empty, which is how callers find the end.
    EXPECT_EQ(qv.XParsedItem(text, 5, kSemi), QString());
    // A last item without its terminator reads as empty.
    EXPECT_EQ(qv.XParsedItem(QStringLiteral("a;b"), 2, kSemi), QString());
    EXPECT_EQ(qv.XParsedItem(text, 0, kSemi), QString());
    EXPECT_EQ(qv.XParsedItem(text, 1, QString()), QString());
}

TEST(XParsedItem, CountWrapsToTheBeginningPastTheEnd)
{
    CQV qv;
    const QString text = QStringLiteral("a;b;c;");
    // Items 1..3, then the empty item 4, then item 5 is item 1 again.
    EXPECT_EQ(qv.XParsedItem(text, 5, kSemi), QStringLiteral("a"));
    EXPECT_EQ(qv.XParsedItem(text, 6, kSemi), QStringLiteral("b"));
    EXPECT_EQ(qv.XParsedItem(text, 8, kSemi), QString());
    EXPECT_EQ(qv.XParsedItem(text, 9, kSemi), QStringLiteral("a"));
    // A huge item number is answered at once, with the same wrap.
    EXPECT_EQ(qv.XParsedItem(text, 4000000001u, kSemi), QStringLiteral("a")); // 4000000001 % 4 == 1
    EXPECT_EQ(qv.XParsedItem(QString(), 4000000000u, kSemi), QString());
}

TEST(XParsedItem, MultiCharacterSeparator)
{
    CQV qv;
    const QString text = QStringLiteral("x::y::z");
    EXPECT_EQ(qv.XParsedItem(text, 1, QStringLiteral("::")), QStringLiteral("x"));
    EXPECT_EQ(qv.XParsedItem(text, 2, QStringLiteral("::")), QStringLiteral("y"));
    EXPECT_EQ(qv.XParsedItem(text, 3, QStringLiteral("::")), QString());
}

TEST(GetMsgTag, SuccessCodeAndTextAreItemsOneAndTwo)
{
    CQVParser parser(nullptr);
    QString code = QStringLiteral("old");
    QString text = QStringLiteral("old");
    EXPECT_TRUE(parser.GetMsgTag(wrap(QStringLiteral("msg"), QStringLiteral("10000;OK;")), code, text));
    EXPECT_EQ(code, QStringLiteral("10000"));
    EXPECT_EQ(text, QStringLiteral("OK"));

    // Without the closing ";" the text is empty and the answer is still success.
    EXPECT_TRUE(parser.GetMsgTag(wrap(QStringLiteral("msg"), QStringLiteral("10000;OK")), code, text));
    EXPECT_EQ(code, QStringLiteral("10000"));
    EXPECT_EQ(text, QString());

    // Items are trimmed; any other code is a refusal.
    EXPECT_FALSE(parser.GetMsgTag(wrap(QStringLiteral("msg"), QStringLiteral(" 20001 ; A B ; ")), code, text));
    EXPECT_EQ(code, QStringLiteral("20001"));
    EXPECT_EQ(text, QStringLiteral("A B"));

    EXPECT_FALSE(parser.GetMsgTag(wrap(QStringLiteral("msg"), QStringLiteral("BIZ06;다시 로그인하십시오;")), code, text));
    EXPECT_EQ(code, QStringLiteral("BIZ06"));
    EXPECT_EQ(text, QStringLiteral("다시 로그인하십시오"));
}

TEST(GetMsgTag, MissingMsgSetsBothOutputsEmpty)
{
    CQVParser parser(nullptr);
    QString code = QStringLiteral("old");
    QString text = QStringLiteral("old");
    EXPECT_FALSE(parser.GetMsgTag(QStringLiteral("<DataTag></DataTag>"), code, text));
    EXPECT_EQ(code, QString());
    EXPECT_EQ(text, QString());
    // "10000" must be the whole code.
    EXPECT_FALSE(parser.GetMsgTag(QStringLiteral("<msg>100000;x;</msg>"), code, text));
}

TEST(GetDataTag, EmptyOrMissingElementLeavesOutputUnchanged)
{
    CQVParser parser(nullptr);
    QString data = QStringLiteral("before");
    EXPECT_FALSE(parser.GetDataTag(QStringLiteral("<DataTag>  \r\n </DataTag>"), data));
    EXPECT_EQ(data, QStringLiteral("before"));
    EXPECT_FALSE(parser.GetDataTag(QStringLiteral("<html>500 Internal Server Error</html>"), data));
    EXPECT_FALSE(parser.GetDataTag(QStringLiteral("<DataTag><msg>10000;OK;</msg>"), data));
    EXPECT_EQ(data, QStringLiteral("before"));

    EXPECT_TRUE(parser.GetDataTag(QStringLiteral("x<DataTag> <msg>10000;OK;</msg> </DataTag>y"), data));
    EXPECT_EQ(data, QStringLiteral("<msg>10000;OK;</msg>"));
}

TEST(GetTagValue, ListFieldsByRecord)
{
    CQVParser parser(nullptr);
    const QString data = wrap(QStringLiteral("list0"), QStringLiteral("a;b;|c;d;|e;f;|"));
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 2, 3, kBar), QStringLiteral("f"));
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 1, 2, kBar), QStringLiteral("c"));
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 2, 4, kBar), QString());
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 3, 2, kBar), QString());
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list1"), 1, 1, kBar), QString());
    // Nonsense numbers read as empty instead of wrapping around.
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 0, 1, kBar), QString());
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 1, -1, kBar), QString());
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), -2, 2, kBar), QString());
}

TEST(GetTagValue, RecordOneCountsFieldsThroughTheWholeContent)
{
    CQVParser parser(nullptr);
    EXPECT_EQ(parser.GetTagValue(wrap(QStringLiteral("free0"), QStringLiteral("x;y;")), QStringLiteral("free0"), 3, 1, kBar),
              QString());
    EXPECT_EQ(parser.GetTagValue(wrap(QStringLiteral("free0"), QStringLiteral("x;y;z;")), QStringLiteral("free0"), 3, 1, kBar),
              QStringLiteral("z"));
    // Past the first record of a list the "|" becomes part of the item.
    const QString list = wrap(QStringLiteral("list0"), QStringLiteral("a;b;|c;d;|"));
    EXPECT_EQ(parser.GetTagValue(list, QStringLiteral("list0"), 3, 1, kBar), QStringLiteral("|c"));
    EXPECT_EQ(parser.GetTagValue(list, QStringLiteral("list0"), 4, 1, kBar), QStringLiteral("d"));
}

TEST(GetRecord, RecordsAndTheirEnd)
{
    CQVParser parser(nullptr);
    const QString data = wrap(QStringLiteral("list0"), QStringLiteral(" a;b; | c;d; |"));
    EXPECT_EQ(parser.GetRecord(data, QStringLiteral("list0"), 1, kBar), QStringLiteral("a;b;"));
    EXPECT_EQ(parser.GetRecord(data, QStringLiteral("list0"), 2, kBar), QStringLiteral("c;d;"));
    EXPECT_EQ(parser.GetRecord(data, QStringLiteral("list0"), 3, kBar), QString());
    EXPECT_TRUE(parser.ExistRecord(data, QStringLiteral("list0"), 2, kBar));
    EXPECT_FALSE(parser.ExistRecord(data, QStringLiteral("list0"), 3, kBar));
    EXPECT_FALSE(parser.ExistRecord(data, QStringLiteral("list0"), 0, kBar));
    EXPECT_FALSE(parser.ExistRecord(wrap(QStringLiteral("list0"), QString()), QStringLiteral("list0"), 1, kBar));
    EXPECT_FALSE(parser.ExistRecord(data, QStringLiteral("free0"), 1, kBar));
}

TEST(GetRecord, WalkingAListStopsAtTheFirstEmptyRecord)
{
    CQVParser parser(nullptr);
    QString content;
    for (int i = 1; i <= 37; ++i)
        content += QStringLiteral("%1;이름%1;%2;|").arg(i).arg(i * 1000);
    const QString data = wrap(QStringLiteral("list0"), content);
    int records = 0;
    for (int i = 1; parser.ExistRecord(data, QStringLiteral("list0"), i, kBar); ++i) {
        ++records;
        ASSERT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 1, i, kBar), QString::number(i));
        ASSERT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 2, i, kBar), QStringLiteral("이름%1").arg(i));
        ASSERT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 3, i, kBar), QString::number(i * 1000));
    }
    EXPECT_EQ(records, 37);
}

} // namespace
