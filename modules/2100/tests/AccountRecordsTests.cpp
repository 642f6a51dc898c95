// The records and kind rules of the account inquiry, on canned texts.
#include <gtest/gtest.h>

#include "AccountRecords.h"
#include "KitSort.h"

using namespace inquiry;

TEST(AccountRecords, AccountsAreCountedByTheirBarsAndReadAsEightFields)
{
    const QString list = QStringLiteral("<list0>보통예금;110-1;1000;별칭;20240101;A04;Y;20241101;|"
                                        "가계대출;770-1;5000; Null ;20240101;A07;N;;|"
                                        "잘린;기록;</list0>");
    const QList<AccountRecord> a = ParseAccounts(list);
    ASSERT_EQ(a.size(), 2); // the unterminated tail is no record
    EXPECT_EQ(a[0].kindName, QStringLiteral("보통예금"));
    EXPECT_EQ(a[0].number, QStringLiteral("110-1"));
    EXPECT_EQ(a[0].balance, QStringLiteral("1000"));
    EXPECT_EQ(a[0].kindCode, QStringLiteral("A04"));
    EXPECT_EQ(a[1].fields.size(), 8);
    EXPECT_EQ(a[1].fields[3], QString()); // a null word reads as empty
    EXPECT_TRUE(ParseAccounts(QStringLiteral("<list0>보통예금;110-1;1000;</list0>")).isEmpty());
}

TEST(AccountRecords, LoansGoAfterEveryOtherAccountInReplyOrder)
{
    QList<AccountRecord> in;
    for (const char* code : {"A07", "A04", "A07", "A01", "A06"}) {
        AccountRecord r;
        r.kindCode = QString::fromLatin1(code);
        r.number = QString::number(in.size());
        in << r;
    }
    QStringList order;
    for (const AccountRecord& r : GridOrder(in))
        order << r.number;
    EXPECT_EQ(order, (QStringList{"1", "3", "4", "0", "2"}));
}

TEST(AccountRecords, KindRulesWorkOnTheCodeWithoutItsA)
{
    EXPECT_FALSE(HasHistory(QStringLiteral("A00")));
    EXPECT_FALSE(HasHistory(QStringLiteral("A02")));
    EXPECT_FALSE(HasHistory(QStringLiteral("A07")));
    EXPECT_FALSE(HasHistory(QStringLiteral("07")));
    EXPECT_TRUE(HasHistory(QStringLiteral("A01")));
    EXPECT_TRUE(HasHistory(QStringLiteral("A06")));
    EXPECT_TRUE(UsesDays(QStringLiteral("A04")));
    EXPECT_TRUE(UsesDays(QStringLiteral("A05")));
    EXPECT_FALSE(UsesDays(QStringLiteral("A01")));
    EXPECT_FALSE(UsesDays(QStringLiteral("A06")));
}

TEST(AccountRecords, PeriodListsStartWithTheFreeRange)
{
    const QList<Period> days = PeriodsFor(true);
    const QList<Period> months = PeriodsFor(false);
    ASSERT_EQ(days.size(), 5);
    ASSERT_EQ(months.size(), 5);
    EXPECT_TRUE(days[0].caption.isEmpty());
    EXPECT_EQ(days[0].days, 0);
    EXPECT_EQ(days[1].caption, QStringLiteral("3일"));
    EXPECT_EQ(days[4].caption, QStringLiteral("한달"));
    EXPECT_EQ(days[4].days, 30);
    const int monthDays[] = {0, 91, 182, 273, 365};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(months[i].days, monthDays[i]);
    EXPECT_EQ(months[3].caption, QStringLiteral("9개월"));
}

TEST(AccountRecords, TransactionsNewestFirstWithTheSwapRuleForEqualDates)
{
    const QList<TxRecord> in = ParseTransactions(QStringLiteral("<list0>2024.10.01;a;;입금;1;1;|"
                                                                "2024.10.15;b;;입금;1;2;|"
                                                                "2024.10.15;c;;지급;1;1;|"
                                                                "2024.11.01;d;;입금;1;2;|</list0>"));
    QStringList memos;
    for (const TxRecord& t : NewestFirst(in))
        memos << t[1];
    // Equal dates are exchanged each time they meet: c comes before b.
    EXPECT_EQ(memos, (QStringList{"d", "c", "b", "a"}));
    EXPECT_TRUE(ParseTransactions(QStringLiteral("<list0>2024.10.01;a;;입금;1;1;</list0>")).isEmpty());
}
