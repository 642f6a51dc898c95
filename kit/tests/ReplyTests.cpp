// Reading replies and the small value helpers the screens share, on canned texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateEdit>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <limits>

#include "KitAmount.h"
#include "KitDates.h"
#include "KitReply.h"
#include "KitServerTime.h"
#include "KitSort.h"

using namespace kit;

namespace {
QString envelope(const QString& body)
{
    return QStringLiteral("<DataTag><msg>10000;정상;</msg>") + body + QStringLiteral("</DataTag>");
}
} // namespace

TEST(KitReply, FreeBlocksGiveExactlyTheFieldsAskedForAndNothingBeyondTheBlock)
{
    const QString reply = envelope(QStringLiteral("<free0> 110-1 ;null;5000;</free0><free1>계좌번호;잔액;</free1>"
                                                  "<list0>x;y;|</list0>"));
    EXPECT_TRUE(HasBlock(reply, QStringLiteral("free0")));
    EXPECT_TRUE(HasBlock(reply, QStringLiteral("list0")));
    EXPECT_FALSE(HasBlock(reply, QStringLiteral("free2")));
    // Trimmed, the null word empty, and a short block padded with empty fields:
    // the "list0" text after the block is never read.
    EXPECT_EQ(FreeFields(reply, 5), (QStringList{"110-1", "", "5000", "", ""}));
    // Without a count: every ";"-ended field of the block.
    EXPECT_EQ(FreeFields(reply, -1, QStringLiteral("free1")), (QStringList{"계좌번호", "잔액"}));
    // No block: no fields at all (a screen tells "no record" from "empty fields").
    EXPECT_TRUE(FreeFields(reply, 3, QStringLiteral("free2")).isEmpty());
    EXPECT_TRUE(FreeFields(QStringLiteral("<free0>a;b;"), 2).isEmpty()); // unterminated block
    EXPECT_EQ(FreeFields(envelope(QStringLiteral("<free0></free0>")), 2), (QStringList{"", ""}));
    // A field without its ";" is no field.
    EXPECT_EQ(FreeFields(envelope(QStringLiteral("<free0>a;b</free0>")), 2), (QStringList{"a", ""}));
}

TEST(KitReply, ListRecordsAreCountedByTheirBarsAndShortRecordsGiveEmptyFields)
{
    const QString reply = envelope(QStringLiteral("<list0>\n20241101;KIM;10000;|\n20241102;NULL;|\n;;;;|"
                                                  "잘린;기록;</list0><free0>f;g;h;</free0>"));
    const QList<QStringList> records = ListRecords(reply, 3);
    ASSERT_EQ(records.size(), 3); // the unterminated tail is no record
    EXPECT_EQ(records[0], (QStringList{"20241101", "KIM", "10000"}));
    // A short record reads empty past its end, never into the next record.
    EXPECT_EQ(records[1], (QStringList{"20241102", "", ""}));
    EXPECT_EQ(records[2], (QStringList{"", "", ""}));
    EXPECT_TRUE(ListRecords(envelope(QStringLiteral("<list0></list0>")), 3).isEmpty());
    EXPECT_TRUE(ListRecords(envelope(QString()), 3).isEmpty());
    EXPECT_EQ(ListRecords(envelope(QStringLiteral("<list1>a;|b;|</list1>")), 1, QStringLiteral("list1")).size(), 2);
    EXPECT_EQ(RecordFields(u"a;b;c;"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(BlockText(QStringLiteral("<x> a </x>"), QStringLiteral("x")), QStringLiteral("a"));
}

TEST(KitReply, ServerTimeHeadingIsMonthDayHourMinuteOrNothing)
{
    EXPECT_EQ(ServerTimeHeading(envelope(QStringLiteral("<free0>20261208;091502;</free0>"))),
              QStringLiteral("12/08 09:15"));
    EXPECT_EQ(ServerTimeHeading(envelope(QStringLiteral("<free0>20261208;0915;</free0>"))),
              QStringLiteral("12/08 09:15"));
    // Short or missing fields: no heading rather than a cut one.
    EXPECT_TRUE(ServerTimeHeading(envelope(QStringLiteral("<free0>2026120;091502;</free0>"))).isEmpty());
    EXPECT_TRUE(ServerTimeHeading(envelope(QStringLiteral("<free0>20261208;091;</free0>"))).isEmpty());
    EXPECT_TRUE(ServerTimeHeading(envelope(QStringLiteral("<free0>20261208;</free0>"))).isEmpty());
    EXPECT_TRUE(ServerTimeHeading(envelope(QString())).isEmpty());
}

TEST(KitValues, DatesAsEightDigitsAndThePickerThatShowsThemWhole)
{
    EXPECT_EQ(Ymd(QDate(2026, 1, 9)), QStringLiteral("20260109"));
    EXPECT_EQ(Ymd(QDate(999, 12, 31)), QStringLiteral("09991231"));
    EXPECT_TRUE(Ymd(QDate()).isEmpty());
    QWidget parent;
    QDateEdit* picker = MakeDatePicker(&parent, QStringLiteral("d"), QDate(2026, 12, 28));
    EXPECT_EQ(picker->objectName(), QStringLiteral("d"));
    EXPECT_TRUE(picker->calendarPopup());
    EXPECT_EQ(picker->text(), QStringLiteral("2026-12-28"));

    // Every digit shows in the narrowest pickers the screens place (88 to 91 pixels,
    // 22 or 24 high): by the font's measure and by the ink that is drawn.
    parent.resize(240, 60);
    parent.show();
    auto* edit = picker->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    for (const QDate& date : {QDate(2026, 12, 8), QDate(2028, 8, 28), QDate(2000, 10, 10)}) {
        picker->setDate(date);
        const QString text = picker->text();
        for (const QSize size : {QSize(88, 22), QSize(89, 22), QSize(89, 24), QSize(91, 22)}) {
            picker->setGeometry(QRect(QPoint(0, 0), size));
            QCoreApplication::processEvents();
            const std::string tag = (text + QStringLiteral(" in %1x%2").arg(size.width()).arg(size.height())).toStdString();
            // The line edit keeps two pixels of its own on either side of the text.
            const QMargins m = edit->textMargins();
            const int room = edit->contentsRect().width() - m.left() - m.right() - 4;
            const QFontMetrics fm(edit->font());
            const int need = std::max(fm.horizontalAdvance(text), fm.boundingRect(text).width());
            EXPECT_LE(need, room) << tag;
            // Drawn: the dark ink spans the whole text and ends before the two pixels
            // at the field's edge where the line edit cuts its text off.
            edit->deselect();
            const QImage img = picker->grab().toImage();
            const QRect field = edit->geometry();
            int first = -1, last = -1;
            for (int x = field.left(); x <= field.right(); ++x)
                for (int y = field.top(); y <= field.bottom(); ++y)
                    if (qGray(img.pixel(x, y)) < 110) {
                        if (first < 0)
                            first = x;
                        last = x;
                        break;
                    }
            ASSERT_GE(first, 0) << tag;
            EXPECT_GE(last - first + 1, fm.boundingRect(text).width() - 2) << tag;
            EXPECT_LT(last, field.right() - 2) << tag;
        }
    }
    // The narrower drop-down button still opens the calendar on a tap.
    picker->setGeometry(0, 0, 88, 22);
    QCoreApplication::processEvents();
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(88 - 6, 11));
    QCalendarWidget* calendar = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !calendar)
            calendar = w->findChild<QCalendarWidget*>();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), picker->date());
    calendar->window()->close();
}

TEST(KitValues, ContinuationKeysAreThreeDigitsAndStopAt000And999)
{
    EXPECT_EQ(ContinuationKey(QStringLiteral("012XYZ")), QStringLiteral("012"));
    EXPECT_EQ(ContinuationKey(QStringLiteral("12")), QStringLiteral("000"));
    EXPECT_EQ(ContinuationKey(QStringLiteral("1a2")), QStringLiteral("000"));
    EXPECT_EQ(ContinuationKey(QStringLiteral(" 12")), QStringLiteral("000"));
    EXPECT_EQ(ContinuationKey(QString()), QStringLiteral("000"));
    EXPECT_FALSE(HasNextPage(QStringLiteral("000")));
    EXPECT_TRUE(HasNextPage(QStringLiteral("001")));
    EXPECT_TRUE(HasNextPage(QStringLiteral("998")));
    EXPECT_FALSE(HasNextPage(QStringLiteral("999"))); // "1000" is no key
    EXPECT_FALSE(HasNextPage(QStringLiteral("01")));
    EXPECT_EQ(NextPageKey(QStringLiteral("001")), QStringLiteral("002"));
    EXPECT_EQ(NextPageKey(QStringLiteral("099")), QStringLiteral("100"));
    EXPECT_EQ(NextPageKey(QStringLiteral("998")), QStringLiteral("999"));
    EXPECT_EQ(NextPageKey(QStringLiteral("999")), QStringLiteral("000"));
    EXPECT_EQ(NextPageKey(QStringLiteral("abc")), QStringLiteral("000"));
}

TEST(KitValues, AmountSumsReadDigitsOnlyInSixtyFourBitsAndSayWhenTheyOverflow)
{
    bool overflow = true;
    EXPECT_EQ(SumAmounts({QStringLiteral("1,000"), QStringLiteral(" 2500원"), QString(), QStringLiteral("null")},
                         &overflow),
              3500);
    EXPECT_FALSE(overflow);
    // Past 32 bits is no problem.
    EXPECT_EQ(SumAmounts({QStringLiteral("3000000000"), QStringLiteral("3000000000")}), 6000000000LL);
    EXPECT_EQ(SumAmounts({QStringLiteral("9223372036854775807")}, &overflow), std::numeric_limits<qint64>::max());
    EXPECT_FALSE(overflow);
    EXPECT_EQ(SumAmounts({QStringLiteral("9223372036854775807"), QStringLiteral("1")}, &overflow),
              std::numeric_limits<qint64>::max());
    EXPECT_TRUE(overflow);
    EXPECT_EQ(SumAmounts({QStringLiteral("99999999999999999999")}, &overflow), std::numeric_limits<qint64>::max());
    EXPECT_TRUE(overflow);
    EXPECT_EQ(SumAmounts({}), 0);
}

TEST(KitValues, AMissingAmountStaysEmptyWhereFormatAmountSaysZero)
{
    EXPECT_EQ(FormatAmount(QString()), QStringLiteral("0"));
    EXPECT_TRUE(FormatAmountOrEmpty(QString()).isEmpty());
    EXPECT_TRUE(FormatAmountOrEmpty(QStringLiteral("  ")).isEmpty());
    EXPECT_EQ(FormatAmountOrEmpty(QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(FormatAmountOrEmpty(QStringLiteral("0001234567")), QStringLiteral("1,234,567"));
    EXPECT_EQ(FormatAmountOrEmpty(QStringLiteral("-1234")), QStringLiteral("-1,234"));
}

TEST(KitValues, NewestFirstOrdersRecordsByTheirDateField)
{
    const QList<QStringList> in = {{"20241001", "a"}, {"20241015", "b"}, {"20241101", "c"}, {}};
    QStringList order;
    for (const QStringList& r : NewestFirst(in))
        order << r.value(1, QStringLiteral("-"));
    EXPECT_EQ(order, (QStringList{"c", "b", "a", "-"}));
    QStringList byField1;
    for (const QStringList& r : NewestFirst({{"x", "2"}, {"y", "9"}, {"z", "5"}}, 1))
        byField1 << r[0];
    EXPECT_EQ(byField1, (QStringList{"y", "z", "x"}));
}
