// The grid as the screens use it: structure, cells, colours, taps and selection.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "CGridCtrl.h"

namespace {

// An accounts-style grid: a header row and `dataRows` rows of four columns, the
// last one hidden.
void buildAccounts(CGridCtrl& g, int dataRows)
{
    g.resize(240, 200);
    g.SetRowCount(dataRows + 1);
    g.SetColumnCount(4);
    g.SetFixedRowCount(1);
    const int widths[] = {80, 70, 60, 0};
    const char* heads[] = {"계좌", "잔액", "종류", "코드"};
    for (int c = 0; c < 4; ++c) {
        g.SetColumnWidth(c, widths[c]);
        g.SetItemText(0, c, QString::fromUtf8(heads[c]));
    }
    for (int r = 1; r <= dataRows; ++r) {
        g.SetItemText(r, 0, QStringLiteral("110-%1").arg(r));
        g.SetItemText(r, 3, QStringLiteral("A0%1").arg(r % 8));
        g.SetRowHeight(r, 20);
    }
    g.SetRowHeight(0, 20);
    g.SetListMode(TRUE);
    g.SetSingleRowSelection(TRUE);
    g.show();
}

QPoint centreOf(const CGridCtrl& g, int row, int col)
{
    return g.cellRect(row, col).center();
}

TEST(Grid, StartsEmptyAndTakesItsCountsLater)
{
    CGridCtrl g(0, 0, 0, 0);
    EXPECT_EQ(g.GetRowCount(), 0);
    EXPECT_EQ(g.GetColumnCount(), 0);
    EXPECT_TRUE(g.SetRowCount(9));
    EXPECT_TRUE(g.SetColumnCount(4));
    EXPECT_TRUE(g.SetFixedRowCount(1));
    EXPECT_EQ(g.GetRowCount(), 9);
    EXPECT_EQ(g.GetColumnCount(), 4);
    EXPECT_EQ(g.GetFixedRowCount(), 1);
    EXPECT_EQ(g.GetFixedColumnCount(), 0);
    EXPECT_TRUE(g.GetItemState(0, 2) & GVIS_FIXED);
    EXPECT_FALSE(g.GetItemState(1, 2) & GVIS_FIXED);
    // Fixed counts beyond the grid grow it.
    CGridCtrl h;
    h.SetFixedRowCount(2);
    h.SetFixedColumnCount(1);
    EXPECT_EQ(h.GetRowCount(), 2);
    EXPECT_EQ(h.GetColumnCount(), 1);
    EXPECT_FALSE(g.SetRowCount(-1));
}

TEST(Grid, RowsComeAndGoWithTheirTexts)
{
    CGridCtrl g(3, 2, 1, 0);
    g.SetItemText(1, 1, QStringLiteral("첫째"));
    g.SetItemText(2, 1, QStringLiteral("둘째"));
    EXPECT_EQ(g.InsertRow(QStringLiteral("끝")), 3);
    EXPECT_EQ(g.GetRowCount(), 4);
    EXPECT_EQ(g.GetItemText(3, 0), QStringLiteral("끝"));
    EXPECT_EQ(g.InsertRow(QStringLiteral("사이"), 2), 2);
    EXPECT_EQ(g.GetItemText(2, 0), QStringLiteral("사이"));
    EXPECT_EQ(g.GetItemText(3, 1), QStringLiteral("둘째"));
    EXPECT_TRUE(g.DeleteRow(1));
    EXPECT_EQ(g.GetRowCount(), 4);
    EXPECT_EQ(g.GetItemText(1, 0), QStringLiteral("사이"));
    EXPECT_EQ(g.GetItemText(2, 1), QStringLiteral("둘째"));
    EXPECT_FALSE(g.DeleteRow(4));
    EXPECT_FALSE(g.DeleteRow(-1));
    EXPECT_EQ(g.GetFixedRowCount(), 1);
    // Shrinking drops the rows beyond the count; growing adds empty ones.
    g.SetRowCount(2);
    EXPECT_EQ(g.GetItemText(1, 0), QStringLiteral("사이"));
    g.SetRowCount(5);
    EXPECT_EQ(g.GetItemText(4, 1), QString());
    EXPECT_TRUE(g.DeleteNonFixedRows());
    EXPECT_EQ(g.GetRowCount(), 1);
}

TEST(Grid, CellsOutsideTheGridAreRefusedAndReadEmpty)
{
    CGridCtrl g(2, 2);
    EXPECT_FALSE(g.SetItemText(2, 0, QStringLiteral("x")));
    EXPECT_FALSE(g.SetItemText(0, -1, QStringLiteral("x")));
    EXPECT_EQ(g.GetItemText(5, 5), QString());
    EXPECT_FALSE(g.SetItemBkColour(9, 0, RGB(1, 2, 3)));
    QRect r;
    EXPECT_FALSE(g.GetCellRect(2, 0, &r));
    GV_ITEM item;
    item.row = 3;
    item.mask = GVIF_TEXT;
    EXPECT_FALSE(g.SetItem(&item));
}

TEST(Grid, ItemMaskSaysWhatIsSetAndRead)
{
    CGridCtrl g(2, 2);
    GV_ITEM item;
    item.row = 1;
    item.col = 1;
    item.mask = GVIF_TEXT | GVIF_FORMAT;
    item.nFormat = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
    item.strText = QStringLiteral("1,234,567");
    ASSERT_TRUE(g.SetItem(&item));
    EXPECT_EQ(g.GetItemText(1, 1), QStringLiteral("1,234,567"));
    EXPECT_EQ(g.GetItemFormat(1, 1), UINT(DT_RIGHT | DT_VCENTER | DT_SINGLELINE));

    // Only the text: the format stays.
    GV_ITEM textOnly;
    textOnly.row = 1;
    textOnly.col = 1;
    textOnly.mask = GVIF_TEXT;
    textOnly.strText = QStringLiteral("500");
    textOnly.nFormat = DT_LEFT;
    g.SetItem(textOnly);
    EXPECT_EQ(g.GetItemFormat(1, 1), UINT(DT_RIGHT | DT_VCENTER | DT_SINGLELINE));

    GV_ITEM read;
    read.row = 1;
    read.col = 1;
    read.mask = GVIF_TEXT;
    read.nFormat = 12345;
    ASSERT_TRUE(g.GetItem(&read));
    EXPECT_EQ(read.strText, QStringLiteral("500"));
    EXPECT_EQ(read.nFormat, 12345u);
    read.mask = GVIF_FORMAT | GVIF_BKCLR;
    g.SetItemBkColour(1, 1, RGB(224, 224, 224));
    g.GetItem(&read);
    EXPECT_EQ(read.nFormat, UINT(DT_RIGHT | DT_VCENTER | DT_SINGLELINE));
    EXPECT_EQ(read.crBkClr, RGB(224, 224, 224));
}

TEST(Grid, ColoursAreKeptAndPainted)
{
    CGridCtrl g;
    buildAccounts(g, 3);
    EXPECT_EQ(g.GetItemBkColour(1, 0), CLR_DEFAULT);
    for (int c = 0; c < 4; ++c)
        g.SetItemBkColour(2, c, RGB(224, 224, 224));
    g.SetItemBkColour(1, 1, RGB(255, 255, 255));
    EXPECT_EQ(g.GetItemBkColour(2, 3), RGB(224, 224, 224));
    EXPECT_EQ(g.GetItemBkColour(1, 1), RGB(255, 255, 255));

    const QImage img = g.viewport()->grab().toImage();
    // Empty cells: the pixel inside is the background alone.
    EXPECT_EQ(img.pixelColor(g.cellRect(2, 2).center()), QColor(224, 224, 224));
    EXPECT_EQ(img.pixelColor(g.cellRect(1, 1).center()), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(g.cellRect(3, 2).center()), QColor(255, 255, 255));
    // The header is grey without being told.
    const QRect head = g.cellRect(0, 2);
    EXPECT_EQ(img.pixelColor(head.left() + 3, head.top() + 3), QColor(181, 178, 181));
}

TEST(Grid, TapOnADataRowReportsItAndSelectsTheRow)
{
    CGridCtrl g;
    buildAccounts(g, 5);
    QSignalSpy rows(&g, &CGridCtrl::rowTapped);
    QSignalSpy cells(&g, &CGridCtrl::cellTapped);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 3, 1));
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 3);
    EXPECT_EQ(cells.at(0).at(0).toInt(), 3);
    EXPECT_EQ(cells.at(0).at(1).toInt(), 1);
    EXPECT_TRUE(g.IsRowSelected(3));
    EXPECT_EQ(g.GetSelectedRow(), 3);
    EXPECT_TRUE(g.GetItemState(3, 2) & GVIS_SELECTED);
    // A second tap moves the single selection.
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 5, 0));
    EXPECT_EQ(rows.at(1).at(0).toInt(), 5);
    EXPECT_FALSE(g.IsRowSelected(3));
    EXPECT_EQ(g.GetSelectedCount(), 1);
}

TEST(Grid, TapOnHeaderOrEmptyAreaReportsNoRow)
{
    CGridCtrl g;
    buildAccounts(g, 2);
    QSignalSpy rows(&g, &CGridCtrl::rowTapped);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 2, 0));
    EXPECT_EQ(g.GetSelectedRow(), 2);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 0, 1));
    // Below the last row.
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, QPoint(20, g.cellRect(2, 0).bottom() + 30));
    // Right of the last visible column.
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, QPoint(225, centreOf(g, 1, 0).y()));
    ASSERT_EQ(rows.count(), 4);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 2);
    EXPECT_EQ(rows.at(1).at(0).toInt(), -1);
    EXPECT_EQ(rows.at(2).at(0).toInt(), -1);
    EXPECT_EQ(rows.at(3).at(0).toInt(), -1);
    EXPECT_EQ(g.GetSelectedRow(), -1);
}

TEST(Grid, HiddenColumnKeepsItsTextAndTakesNoTaps)
{
    CGridCtrl g;
    buildAccounts(g, 3);
    EXPECT_EQ(g.GetColumnWidth(3), 0);
    EXPECT_EQ(g.GetItemText(2, 3), QStringLiteral("A02"));
    g.SetItemText(2, 3, QStringLiteral("A07"));
    EXPECT_EQ(g.GetItemText(2, 3), QStringLiteral("A07"));
    g.AutoSizeColumns();
    g.ExpandColumnsToFit();
    g.ExpandLastColumn();
    g.ExpandToFitNoScroll();
    EXPECT_EQ(g.GetColumnWidth(3), 0);
    EXPECT_GT(g.GetColumnWidth(2), 0);

    QSignalSpy cells(&g, &CGridCtrl::cellTapped);
    const QRect third = g.cellRect(2, 2);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, QPoint(third.right() - 1, third.center().y()));
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells.at(0).at(1).toInt(), 2);
}

TEST(Grid, TwoRowItemsAreSelectedTogether)
{
    CGridCtrl g(10, 3, 2, 0);
    g.resize(240, 260);
    g.SetSingleRowSelectionWithMultiRow(TRUE, 2);
    g.show();
    QSignalSpy rows(&g, &CGridCtrl::rowTapped);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 3, 1));
    EXPECT_EQ(rows.at(0).at(0).toInt(), 3);
    EXPECT_TRUE(g.IsRowSelected(2));
    EXPECT_TRUE(g.IsRowSelected(3));
    EXPECT_EQ(g.GetSelectedRow(), 2);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 4, 1));
    EXPECT_FALSE(g.IsRowSelected(2));
    EXPECT_FALSE(g.IsRowSelected(3));
    EXPECT_TRUE(g.IsRowSelected(4));
    EXPECT_TRUE(g.IsRowSelected(5));
    EXPECT_EQ(g.GetSelectedCount(), 2);
}

TEST(Grid, SelectionFollowsInsertedAndDeletedRows)
{
    CGridCtrl g;
    buildAccounts(g, 4);
    g.SetSelectedRow(3);
    g.InsertRow(QStringLiteral("새"), 1);
    EXPECT_EQ(g.GetSelectedRow(), 4);
    g.DeleteRow(2);
    EXPECT_EQ(g.GetSelectedRow(), 3);
    g.DeleteRow(3);
    EXPECT_EQ(g.GetSelectedRow(), -1);
    g.SetSelectedRow(0); // the header cannot be selected
    EXPECT_EQ(g.GetSelectedRow(), -1);
}

TEST(Grid, SelectionCanBeSwitchedOff)
{
    CGridCtrl g;
    buildAccounts(g, 3);
    g.EnableSelection(FALSE);
    QSignalSpy rows(&g, &CGridCtrl::rowTapped);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 2, 0));
    EXPECT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 2);
    EXPECT_EQ(g.GetSelectedRow(), -1);
}

TEST(Grid, EditsInPlaceOnlyWhenEditable)
{
    CGridCtrl g(3, 2, 1, 0);
    g.resize(200, 120);
    g.show();
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 1, 1));
    EXPECT_EQ(g.viewport()->findChild<QLineEdit*>(QStringLiteral("gridEditor")), nullptr);

    g.SetEditable(TRUE);
    QSignalSpy edited(&g, &CGridCtrl::cellEdited);
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 1, 1));
    auto* ed = g.viewport()->findChild<QLineEdit*>(QStringLiteral("gridEditor"));
    ASSERT_NE(ed, nullptr);
    ed->setText(QStringLiteral("수정함"));
    emit ed->editingFinished();
    EXPECT_EQ(g.GetItemText(1, 1), QStringLiteral("수정함"));
    EXPECT_EQ(edited.count(), 1);
    // The header is never edited.
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, centreOf(g, 0, 1));
    auto* again = g.viewport()->findChild<QLineEdit*>(QStringLiteral("gridEditor"));
    EXPECT_TRUE(again == nullptr || !again->isVisible());
}

} // namespace
