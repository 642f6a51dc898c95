// The loan replies as the screens read them, including replies a real bank
// does not send: short or missing blocks, short credit-line entries, large totals.
#include <gtest/gtest.h>

#include "LoanRecords.h"

using namespace loans;

namespace {
QString reply(const QString& blocks)
{
    return QStringLiteral("<DataTag><msg>10000;ok;</msg>") + blocks + QStringLiteral("</DataTag>");
}
QStringList values(const QList<DetailRow>& rows)
{
    QStringList out;
    for (const DetailRow& r : rows)
        out << r.value;
    return out;
}
} // namespace

TEST(LoanRecords, TotalIsA64BitSumOverDigitsShownWithoutSeparators)
{
    EXPECT_EQ(LoanTotal({QStringLiteral("2147483647"), QStringLiteral("1")}), QStringLiteral("2147483648"));
    EXPECT_EQ(LoanTotal({QStringLiteral("1,000,000"), QStringLiteral("250000")}), QStringLiteral("1250000"));
    EXPECT_EQ(LoanTotal({QStringLiteral("150000000000"), QString(), QStringLiteral(" 5 ")}),
              QStringLiteral("150000000005"));
    EXPECT_EQ(LoanTotal({}), QStringLiteral("0"));
}

TEST(LoanRecords, GeneralDetailNeedsBothBlocksAndFormatsItsThreeAmounts)
{
    const QString b = QStringLiteral("<free1>n;가계일반대출;10000000;2023.01.05;2026.01.05;2024.10.05;2024.11.05;정상;"
                                     "2024.10.05;만기일시상환;13회;44164;110-234-567890;후취;</free1>");
    const QString a = QStringLiteral("<free0>n;k;김민준;5.20%;12000000;2026.01.05;10000000;KRW;</free0>");
    auto rows = GeneralDetailRows(reply(a + b));
    ASSERT_EQ(rows.size(), 13);
    EXPECT_EQ(values(rows),
              (QStringList{"12,000,000", "가계일반대출", "10,000,000", "2023.01.05", "2024.10.05", "2024.11.05", "정상",
                           "2024.10.05", "만기일시상환", "13회", "44,164", "110-234-567890", "후취"}));
    EXPECT_TRUE(rows[0].rightAligned && rows[2].rightAligned && rows[10].rightAligned);
    EXPECT_FALSE(rows[1].rightAligned);
    // One block missing: labels only. A short record: what is missing is empty.
    for (const QString& r : {reply(a), reply(b), QString()}) {
        auto only = GeneralDetailRows(r);
        ASSERT_EQ(only.size(), 13);
        EXPECT_EQ(only[12].label, QStringLiteral("이자수취조건"));
        EXPECT_EQ(values(only).join(QString()), QString());
    }
    auto shortOne = GeneralDetailRows(reply(QStringLiteral("<free0>n;k;x;r;5000;</free0><free1>n;일반;</free1>")));
    EXPECT_EQ(shortOne[0].value, QStringLiteral("5,000"));
    EXPECT_EQ(shortOne[1].value, QStringLiteral("일반"));
    EXPECT_EQ(shortOne[2].value, QString());   // not "0"
    EXPECT_EQ(shortOne[12].value, QString());
}

TEST(LoanRecords, CreditDetailSkipsEntriesNineAndElevenAndReadsTheOverdueFlag)
{
    QStringList labels, vals;
    for (int i = 0; i < 13; ++i) {
        labels << QStringLiteral("L%1").arg(i);
        vals << QStringLiteral("v%1").arg(i);
    }
    vals[3] = QStringLiteral("10000000");
    vals[4] = QStringLiteral("3200000");
    auto make = [&](const QStringList& l, const QStringList& v) {
        return reply(QStringLiteral("<free0>") + v.join(QLatin1Char(';')) + QStringLiteral(";</free0><free1>") +
                     l.join(QLatin1Char(';')) + QStringLiteral(";</free1>"));
    };
    for (const auto& [flag, word] : {std::pair{"N", "정상"}, {"Y", "연체"}, {"X", "연체"}, {"No", "정상"}}) {
        vals[10] = QString::fromLatin1(flag);
        auto rows = CreditDetailRows(make(labels, vals));
        ASSERT_EQ(rows.size(), 11);  // N - 2
        EXPECT_EQ(rows[3].value, QStringLiteral("10,000,000"));
        EXPECT_EQ(rows[4].value, QStringLiteral("3,200,000"));
        EXPECT_TRUE(rows[3].rightAligned && rows[4].rightAligned);
        EXPECT_EQ(rows[8].label, QStringLiteral("L8"));
        EXPECT_EQ(rows[9].label, QStringLiteral("L10"));
        EXPECT_EQ(rows[9].value, QString::fromUtf8(word)) << flag;
        EXPECT_EQ(rows[10].label, QStringLiteral("L12"));
        for (const DetailRow& r : rows)
            EXPECT_TRUE(r.label != QStringLiteral("L9") && r.label != QStringLiteral("L11"));
    }
    // Entry 10 without a value shows empty; fewer than twelve entries show what
    // arrived (never a negative or short count); values past the labels are ignored.
    QStringList fewValues = vals.mid(0, 10);
    auto noFlag = CreditDetailRows(make(labels, fewValues));
    ASSERT_EQ(noFlag.size(), 11);
    EXPECT_EQ(noFlag[9].value, QString());
    auto five = CreditDetailRows(make(labels.mid(0, 5), vals));
    ASSERT_EQ(five.size(), 5);
    EXPECT_EQ(five[4].value, QStringLiteral("3,200,000"));
    auto ten = CreditDetailRows(make(labels.mid(0, 10), vals));
    EXPECT_EQ(ten.size(), 9);
    EXPECT_TRUE(CreditDetailRows(reply(QStringLiteral("<free0>a;</free0>"))).isEmpty());
}

TEST(LoanRecords, InterestRecordsShowValuesAsReceivedAndShortRecordsEmpty)
{
    auto rows = RecordRows(reply(QStringLiteral("<free0>770-01-0012345;2024.11.05;김민준;정상;;44164;0;10000000;;</free0>")),
                           InterestDueLabels(), {5, 6, 7});
    ASSERT_EQ(rows.size(), 9);
    EXPECT_EQ(rows[5].value, QStringLiteral("44164"));  // no separators in this flow
    EXPECT_EQ(rows[7].value, QStringLiteral("10000000"));
    EXPECT_TRUE(rows[5].rightAligned);
    EXPECT_FALSE(rows[0].rightAligned);
    auto receipt = RecordRows(reply(QStringLiteral("<free0>110-1;김민준;</free0>")), ReceiptLabels(), {6}, 1);
    ASSERT_EQ(receipt.size(), 10);
    EXPECT_EQ(receipt[0].value, QString());  // the depositor comes from the confirmation
    EXPECT_EQ(receipt[1].value, QStringLiteral("110-1"));
    EXPECT_EQ(receipt[2].value, QStringLiteral("김민준"));
    EXPECT_EQ(receipt[9].value, QString());
}
