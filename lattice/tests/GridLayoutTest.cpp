// Grid sizing and scrolling, and the drop-down laid over a cell.
#include <QScrollBar>
#include <QStyle>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "CGridCellCombo.h"
#include "CGridCtrl.h"
#include "Screenshot.h"

namespace {

int sumWidths(const CGridCtrl& g)
{
    int s = 0;
    for (int c = 0; c < g.GetColumnCount(); ++c)
        s += g.GetColumnWidth(c);
    return s;
}

int sumHeights(const CGridCtrl& g)
{
    int s = 0;
    for (int r = 0; r < g.GetRowCount(); ++r)
        s += g.GetRowHeight(r);
    return s;
}

TEST(GridLayout, ExpandFillsTheAreaWithoutShrinking)
{
    CGridCtrl g(5, 3, 1, 0);
    g.resize(240, 200);
    for (int c = 0; c < 3; ++c)
        g.SetColumnWidth(c, 50);
    for (int r = 0; r < 5; ++r)
        g.SetRowHeight(r, 20);
    g.ExpandToFit();
    EXPECT_EQ(sumWidths(g), g.contentsRect().width());
    EXPECT_EQ(sumHeights(g), g.contentsRect().height());
    EXPECT_GE(g.GetColumnWidth(0), 50);

    // Already wider than the area: nothing changes.
    g.SetColumnWidth(0, 300);
    const int before = sumWidths(g);
    g.ExpandColumnsToFit();
    EXPECT_EQ(sumWidths(g), before);
}

TEST(GridLayout, ExpandRowsLeavesFixedRowsWhenAsked)
{
    CGridCtrl g(4, 2, 1, 0);
    g.resize(200, 150);
    for (int r = 0; r < 4; ++r)
        g.SetRowHeight(r, 20);
    g.ExpandRowsToFit(FALSE);
    EXPECT_EQ(g.GetRowHeight(0), 20);
    EXPECT_EQ(sumHeights(g), g.contentsRect().height());
}

TEST(GridLayout, LastVisibleColumnTakesTheRest)
{
    CGridCtrl g(9, 2);
    g.resize(236, 198);
    g.SetColumnWidth(0, 96);
    g.SetColumnWidth(1, 40);
    g.ExpandLastColumn();
    EXPECT_EQ(g.GetColumnWidth(0), 96);
    EXPECT_EQ(sumWidths(g), g.contentsRect().width());
}

TEST(GridLayout, FitNoScrollSqueezesWideColumnsIntoTheControl)
{
    CGridCtrl g(9, 4, 1, 0);
    g.resize(240, 220);
    const int widths[] = {121, 106, 70, 0};
    for (int c = 0; c < 4; ++c)
        g.SetColumnWidth(c, widths[c]);
    for (int r = 0; r < 9; ++r)
        g.SetRowHeight(r, 20);
    g.ExpandToFitNoScroll();
    EXPECT_EQ(sumWidths(g), g.contentsRect().width());
    EXPECT_EQ(g.GetColumnWidth(3), 0);
    EXPECT_GT(g.GetColumnWidth(0), g.GetColumnWidth(1));
    EXPECT_GT(g.GetColumnWidth(1), g.GetColumnWidth(2));
    EXPECT_EQ(sumHeights(g), g.contentsRect().height());
    EXPECT_EQ(g.horizontalScrollBar()->maximum(), 0);
}

TEST(GridLayout, AutoSizeFitsTheWidestHangulText)
{
    CGridCtrl g(3, 2, 1, 0);
    g.SetItemText(0, 0, QStringLiteral("입금계좌명"));
    g.SetItemText(1, 0, QStringLiteral("가"));
    g.SetItemText(2, 1, QStringLiteral("1,234,567,890"));
    g.AutoSizeColumns();
    const QFontMetrics fm = g.fontMetrics();
    EXPECT_GE(g.GetColumnWidth(0), fm.horizontalAdvance(QStringLiteral("입금계좌명")));
    EXPECT_GE(g.GetColumnWidth(1), fm.horizontalAdvance(QStringLiteral("1,234,567,890")));
    // Header only: the data text no longer counts.
    g.AutoSizeColumn(1, GVS_HEADER);
    EXPECT_LT(g.GetColumnWidth(1), fm.horizontalAdvance(QStringLiteral("1,234,567,890")));
    g.AutoSizeRows();
    EXPECT_GE(g.GetRowHeight(1), fm.height());
}

TEST(GridLayout, ScrolledRowsKeepTheHeaderInPlace)
{
    CGridCtrl g(30, 3, 1, 0);
    g.resize(240, 150);
    for (int r = 0; r < 30; ++r) {
        g.SetRowHeight(r, 20);
        g.SetItemText(r, 0, QString::number(r));
    }
    g.show();
    QCoreApplication::processEvents();
    g.EnsureVisible(29, 0);
    EXPECT_GT(g.verticalScrollBar()->value(), 0);
    EXPECT_EQ(g.cellRect(0, 0).top(), 0);
    const QRect last = g.cellRect(29, 0);
    EXPECT_LE(last.bottom(), g.viewport()->height());
    EXPECT_GE(last.top(), g.cellRect(0, 0).bottom());

    QSignalSpy rows(&g, &CGridCtrl::rowTapped);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, last.center());
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.cellRect(0, 1).center());
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 29);
    EXPECT_EQ(rows.at(1).at(0).toInt(), -1);

    g.EnsureVisible(1, 0);
    EXPECT_EQ(g.verticalScrollBar()->value(), 0);
}

// The held-accounts layout: columns wider than the control (a horizontal bar),
// a header and eight rows that fit the control's height but not the room above
// that bar. Stretched to fit, they must fit: a vertical bar would cover the end
// of the balance column ("8,956,90"). Nine rows of text do need one.
TEST(GridLayout, RowsFittedToTheControlNeverGetAVerticalBarTheyDoNotNeed)
{
    QWidget page;
    page.resize(240, 244);
    auto* g = new CGridCtrl(&page);
    g->setObjectName(QStringLiteral("accountGrid"));
    g->setGeometry(0, 26, 240, 189);
    auto fill = [&](int dataRows) {
        g->DeleteAllItems();
        g->SetColumnCount(4);
        g->SetFixedRowCount(1);
        g->SetRowCount(1 + dataRows);
        const int widths[] = {121, 106, 70, 0};
        for (int c = 0; c < 4; ++c)
            g->SetColumnWidth(c, widths[c]);
        for (int r = 1; r <= dataRows; ++r) {
            g->SetItemText(r, 0, QStringLiteral("110-234-56789%1").arg(r));
            g->SetItemText(r, 1, QStringLiteral("8,956,90%1").arg(r));
            g->SetItemFormat(r, 1, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        }
        g->ExpandRowsToFit(FALSE);
        g->Refresh();
    };
    fill(8);
    page.show();
    QCoreApplication::processEvents();
    ASSERT_GT(sumHeights(*g), 0);
    EXPECT_TRUE(g->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(g->verticalScrollBar()->isVisible());
    EXPECT_EQ(g->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(sumHeights(*g), g->viewport()->height());
    EXPECT_EQ(g->GetRowHeight(0), g->GetDefRowHeight()); // the header keeps its height
    for (int r = 1; r <= 8; ++r)
        EXPECT_GE(g->GetRowHeight(r), g->fontMetrics().height() + 3) << r;
    // The whole balance, last digit included, lies inside the visible cells.
    EXPECT_LE(g->cellRect(8, 1).right(), g->viewport()->width() - 1);
    const QImage shot = harness::shotImage(&page);
    harness::saveShot(&page, QStringLiteral("grid_eight_rows_fitted"));
    const QPoint origin = g->viewport()->mapTo(&page, QPoint(0, 0));
    const QRect balance = g->cellRect(8, 1).translated(origin);
    EXPECT_NE(shot.pixelColor(balance.right() - 8, balance.center().y()), QColor(255, 255, 255))
        << "the last digit is drawn";

    // Nine rows do not fit even squeezed: they scroll, at their own height.
    fill(9);
    QCoreApplication::processEvents();
    EXPECT_TRUE(g->verticalScrollBar()->isVisible());
    EXPECT_EQ(g->GetRowHeight(9), g->GetDefRowHeight());

    // Stretched for a taller control, the rows give the stretch back when it
    // shrinks again.
    fill(8);
    g->setGeometry(0, 26, 240, 300);
    g->ExpandRowsToFit(FALSE);
    EXPECT_GT(g->GetRowHeight(1), g->GetDefRowHeight());
    g->setGeometry(0, 26, 240, 189);
    g->ExpandRowsToFit(FALSE);
    QCoreApplication::processEvents();
    EXPECT_FALSE(g->verticalScrollBar()->isVisible());
    EXPECT_EQ(sumHeights(*g), g->viewport()->height());
}

// A scroll bar turned off takes no room: columns two pixels wider than the
// control with the horizontal bar off, rows filling the height exactly, show no
// vertical bar over a blank strip (the account detail dialog).
TEST(GridLayout, AScrollBarTurnedOffTakesNoRoom)
{
    CGridCtrl g(6, 2);
    g.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g.resize(236, 6 * 22 + 2);
    g.SetColumnWidth(0, 96);
    g.SetColumnWidth(1, 140);
    for (int r = 0; r < 6; ++r)
        g.SetRowHeight(r, 22);
    g.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(g.verticalScrollBar()->isVisible());
    EXPECT_EQ(g.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(g.viewport()->height(), 6 * 22);

    // Turned on for good, the vertical bar narrows what the columns fill.
    CGridCtrl on(3, 2);
    on.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    on.resize(200, 100);
    on.SetColumnWidth(0, 50);
    on.SetColumnWidth(1, 50);
    on.ExpandColumnsToFit();
    const int bar = on.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &on);
    EXPECT_EQ(sumWidths(on), on.contentsRect().width() - bar);
}

TEST(GridLayout, HeaderBorderDragResizesOnlyWhenAllowed)
{
    CGridCtrl g(3, 2, 1, 0);
    g.resize(240, 120);
    g.SetColumnWidth(0, 80);
    g.show();
    const int border = g.cellRect(0, 0).right() + 1;
    const int y = g.cellRect(0, 0).center().y();
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, QPoint(border, y));
    QTest::mouseMove(g.viewport(), QPoint(border + 30, y));
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, QPoint(border + 30, y));
    EXPECT_EQ(g.GetColumnWidth(0), 110);

    g.SetColumnResize(FALSE);
    const int border2 = g.cellRect(0, 0).right() + 1;
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, QPoint(border2, y));
    QTest::mouseMove(g.viewport(), QPoint(border2 - 40, y));
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, QPoint(border2 - 40, y));
    EXPECT_EQ(g.GetColumnWidth(0), 110);
}

TEST(GridCellCombo, LiesOverItsCellAndWritesTheChoiceIntoIt)
{
    CGridCtrl g(5, 2);
    g.resize(236, 120);
    g.SetColumnWidth(0, 90);
    g.SetColumnWidth(1, 140);
    g.show();
    CGridCellCombo bank(&g, 0, 1);
    bank.AddString(QStringLiteral("타브린은행"), 20);
    bank.AddString(QStringLiteral("평화은행(구)"), 83);
    EXPECT_EQ(g.GetItemText(0, 1), QStringLiteral("타브린은행"));
    EXPECT_EQ(bank.parentWidget(), g.viewport());
    EXPECT_EQ(bank.geometry(), g.cellRect(0, 1).adjusted(0, 0, -1, -1));
    EXPECT_TRUE(bank.isVisible());

    EXPECT_EQ(bank.SetCurSel(1), 1);
    EXPECT_EQ(g.GetItemText(0, 1), QStringLiteral("평화은행(구)"));
    EXPECT_EQ(bank.GetItemData(bank.GetCurSel()), 83);
    EXPECT_EQ(bank.SetCurSel(5), -1);

    // The cell moves: the drop-down follows; the cell vanishes: it hides.
    g.SetColumnWidth(0, 60);
    EXPECT_EQ(bank.geometry(), g.cellRect(0, 1).adjusted(0, 0, -1, -1));
    g.SetColumnWidth(1, 0);
    EXPECT_FALSE(bank.isVisible());

    CGridCellCombo kinds;
    EXPECT_FALSE(kinds.Attach(&g, 9, 0));
    kinds.SetOptions({QStringLiteral("일반수표"), QStringLiteral("10만원 정액")});
    EXPECT_EQ(kinds.GetOptions().size(), 2);
    EXPECT_EQ(kinds.GetCurSel(), 0);
}

} // namespace
