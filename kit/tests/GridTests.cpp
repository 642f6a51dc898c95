// The grid set-ups and keypad fields the screens share, on the real controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "KitGrid.h"
#include "KitKeypad.h"
#include "ModalScript.h"

using harness::ModalScript;
using namespace kit;

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);

void tap(CGridCtrl* grid, int row, int col)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->cellRect(row, col).center());
}
} // namespace

TEST(KitGrid, ListGridShadesTheRowsItIsToldAndSelectsWholeRows)
{
    CGridCtrl grid;
    grid.resize(238, 200);
    grid.show();
    LayoutListGrid(&grid, {QStringLiteral("이체일"), QStringLiteral("결과"), QStringLiteral("숨김")}, {120, 100}, 4,
                   /*stretch=*/true);
    ASSERT_EQ(grid.GetRowCount(), 5);
    EXPECT_EQ(grid.GetFixedRowCount(), 1);
    EXPECT_EQ(grid.GetItemText(0, 1), QStringLiteral("결과"));
    EXPECT_EQ(grid.GetItemBkColour(0, 0), kGridHeaderColour);
    EXPECT_EQ(grid.GetColumnWidth(2), 0); // no width given: hidden
    // Second, fourth ... record grey by default.
    EXPECT_EQ(grid.GetItemBkColour(1, 0), kWhite);
    EXPECT_EQ(grid.GetItemBkColour(2, 0), kGridShadeColour);
    EXPECT_EQ(grid.GetItemBkColour(3, 1), kWhite);
    EXPECT_EQ(grid.GetItemBkColour(4, 1), kGridShadeColour);
    // Stretched rows fill the height.
    int height = 0;
    for (int r = 0; r < grid.GetRowCount(); ++r)
        height += grid.GetRowHeight(r);
    EXPECT_GE(height, grid.viewport()->height() - grid.GetRowCount());

    // First, third ... record grey; a new layout clears texts and selection.
    grid.SetItemText(1, 0, QStringLiteral("old"));
    grid.SetSelectedRow(1);
    LayoutListGrid(&grid, {QStringLiteral("a"), QStringLiteral("b")}, {100, 100}, 3, false, Shading::FirstThird);
    EXPECT_EQ(grid.GetItemBkColour(1, 0), kGridShadeColour);
    EXPECT_EQ(grid.GetItemBkColour(2, 0), kWhite);
    EXPECT_EQ(grid.GetItemBkColour(3, 0), kGridShadeColour);
    EXPECT_TRUE(grid.GetItemText(1, 0).isEmpty());
    EXPECT_EQ(FirstSelectedRow(&grid), -1);

    // The first selected row stops at the first empty row.
    grid.SetItemText(1, 0, QStringLiteral("20241101"));
    grid.SetItemText(2, 0, QStringLiteral("20241001"));
    grid.show();
    tap(&grid, 2, 1);
    EXPECT_TRUE(grid.IsRowSelected(2));
    EXPECT_EQ(FirstSelectedRow(&grid), 2);
    tap(&grid, 3, 1); // an empty row: nothing to choose
    EXPECT_EQ(FirstSelectedRow(&grid), -1);
    EXPECT_TRUE(IsShaded(Shading::SecondFourth, 1));
    EXPECT_FALSE(IsShaded(Shading::SecondFourth, 0));
}

TEST(KitGrid, TwoRowGridKeepsARecordsRowsTogether)
{
    CGridCtrl grid;
    grid.resize(238, 230);
    LayoutTwoRowGrid(&grid, {QStringLiteral("종류"), QStringLiteral("카드번호")},
                     {QStringLiteral("결제일"), QStringLiteral("한도")}, {110, 110}, 3, Shading::FirstThird,
                     DT_RIGHT);
    ASSERT_EQ(grid.GetRowCount(), 2 + 6);
    EXPECT_EQ(grid.GetFixedRowCount(), 2);
    EXPECT_EQ(grid.GetItemText(1, 1), QStringLiteral("한도"));
    EXPECT_EQ(grid.GetItemBkColour(1, 0), kGridHeaderColour);
    // Record 0 (rows 2, 3) and record 2 (rows 6, 7) grey, record 1 white.
    for (int r : {2, 3, 6, 7})
        EXPECT_EQ(grid.GetItemBkColour(r, 0), kGridShadeColour) << r;
    for (int r : {4, 5})
        EXPECT_EQ(grid.GetItemBkColour(r, 1), kWhite) << r;
    EXPECT_TRUE(grid.GetItemFormat(2, 0) & DT_CENTER);
    EXPECT_TRUE(grid.GetItemFormat(3, 0) & DT_RIGHT);
    for (int r = 2; r < 8; ++r)
        grid.SetItemText(r, 0, QStringLiteral("x"));
    grid.show();
    tap(&grid, 5, 1); // the second row of record 1 selects the record
    EXPECT_TRUE(grid.IsRowSelected(4));
    EXPECT_TRUE(grid.IsRowSelected(5));
    EXPECT_FALSE(grid.IsRowSelected(6));
    EXPECT_EQ(FirstSelectedRow(&grid), 4);
}

TEST(KitGrid, LabelGridAndDetailFrame)
{
    QDialog dialog;
    dialog.resize(240, 294);
    CGridCtrl* grid = BuildDetailFrame(&dialog, QStringLiteral("예약이체 상세"), 206);
    EXPECT_EQ(grid->geometry(), QRect(3, 28, 234, 206));
    LayoutLabelGrid(grid, {QStringLiteral("이체일"), QStringLiteral("결과"), QStringLiteral("예약번호")},
                    {QStringLiteral("20241101"), QStringLiteral("정상처리")}, 90);
    ASSERT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("정상처리"));
    EXPECT_TRUE(grid->GetItemText(2, 1).isEmpty()); // fewer values than labels
    EXPECT_EQ(grid->GetItemBkColour(0, 0), kGridHeaderColour);
    EXPECT_EQ(grid->GetItemBkColour(0, 1), kGridValueColour);
    // The value column takes the rest of the width: nothing to scroll sideways.
    EXPECT_EQ(grid->GetColumnWidth(0) + grid->GetColumnWidth(1), grid->contentsRect().width());
    dialog.show();
    tap(grid, 1, 1);
    EXPECT_EQ(FirstSelectedRow(grid), -1); // nothing selectable
    auto* close = dialog.findChild<CBmpButton*>(QStringLiteral("btnClose"));
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(KitKeypad, FieldsOpenTheirKeypadOnceAndTakeItsFormattedText)
{
    QWidget page;
    page.setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(&page);
    auto* password = new QLineEdit(&page);
    auto* amount = new QLineEdit(&page);
    layout->addWidget(password);
    layout->addWidget(amount);
    KeypadFields fields(&page, &page);
    fields.Add(password, QStringLiteral("비밀번호"), CNumberKbd::KindSecret, 4, /*clearFirst=*/true);
    fields.Add(amount, QStringLiteral("거래금액"), CNumberKbd::KindAmount);
    page.show();
    QApplication::setActiveWindow(&page);
    QApplication::processEvents();
    // The window's coming up gave its first field the focus: no keypad for that.
    EXPECT_FALSE(fields.IsOpen());
    page.setFocus(Qt::OtherFocusReason);
    // A tap into a field: the window is active and the field gets the focus.
    auto tapInto = [&](QLineEdit* edit) {
        QApplication::setActiveWindow(&page);
        QApplication::processEvents();
        edit->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    };

    ModalScript modals;
    int kind = 0;
    int maxLen = 0;
    modals.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* d) {
        auto* keypad = qobject_cast<CNumberKbd*>(d);
        kind = keypad->kind();
        maxLen = keypad->maxLength();
        EXPECT_TRUE(fields.IsOpen());
        keypad->typeDigits(QStringLiteral("123456"));
        return 1;
    });
    tapInto(password);
    modals.verify();
    EXPECT_EQ(kind, CNumberKbd::KindSecret);
    EXPECT_EQ(maxLen, 4);
    EXPECT_EQ(password->text(), QStringLiteral("1234"));
    EXPECT_FALSE(password->hasFocus()); // the focus went back to the page: no second keypad
    EXPECT_FALSE(fields.IsOpen());

    // Cancel keeps a field that is not emptied first, and empties one that is.
    amount->setText(QStringLiteral("5,000"));
    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) {
        qobject_cast<CNumberKbd*>(d)->typeDigits(QStringLiteral("9"));
        return 2;
    });
    tapInto(amount);
    modals.expectDialog(QStringLiteral("CNumberKbd"), 2);
    tapInto(password);
    modals.verify();
    EXPECT_EQ(amount->text(), QStringLiteral("5,000"));
    EXPECT_TRUE(password->text().isEmpty());

    modals.expectDialog(QStringLiteral("CNumberKbd"), [](QDialog* d) {
        qobject_cast<CNumberKbd*>(d)->typeDigits(QStringLiteral("1234567"));
        return 1;
    });
    EXPECT_TRUE(KeypadIntoField(&page, amount, QStringLiteral("거래금액"), CNumberKbd::KindAmount));
    modals.verify();
    EXPECT_EQ(amount->text(), QStringLiteral("1,234,567"));
}
