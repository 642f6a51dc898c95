#include "KitGrid.h"

#include <algorithm>

#include <QDialog>
#include <QStyle>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"

namespace kit {

namespace {

constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// The settings every list grid shares.
void listBasics(CGridCtrl* grid)
{
    grid->ClearSelection();
    grid->DeleteAllItems();
    grid->SetListMode(TRUE);
    grid->SetEditable(FALSE);
    grid->SetFrameFocusCell(FALSE);
    grid->SetColumnResize(FALSE);
    grid->SetRowResize(FALSE);
    grid->SetBkColor(RGB(255, 255, 255));
    grid->SetFixedBkColor(kGridHeaderColour);
    grid->SetTextColor(RGB(0, 0, 0));
}

void headerRow(CGridCtrl* grid, int row, const QStringList& headers)
{
    for (int c = 0; c < grid->GetColumnCount(); ++c) {
        grid->SetItemText(row, c, headers.value(c));
        grid->SetItemFormat(row, c, kCentred);
        grid->SetItemBkColour(row, c, kGridHeaderColour);
    }
}

void dataRow(CGridCtrl* grid, int row, COLORREF bk, UINT format)
{
    for (int c = 0; c < grid->GetColumnCount(); ++c) {
        grid->SetItemFormat(row, c, format);
        grid->SetItemBkColour(row, c, bk);
        grid->SetItemFgColour(row, c, RGB(0, 0, 0));
    }
}

void columnWidths(CGridCtrl* grid, const QList<int>& widths)
{
    for (int c = 0; c < grid->GetColumnCount(); ++c)
        grid->SetColumnWidth(c, widths.value(c, 0));
}

COLORREF shade(Shading shading, int index)
{
    return IsShaded(shading, index) ? kGridShadeColour : RGB(255, 255, 255);
}

} // namespace

bool IsShaded(Shading shading, int index)
{
    return shading == Shading::FirstThird ? index % 2 == 0 : index % 2 == 1;
}

void LayoutListGrid(CGridCtrl* grid, const QStringList& headers, const QList<int>& widths, int rows, bool stretch,
                    Shading shading)
{
    listBasics(grid);
    grid->SetSingleRowSelection(TRUE);
    grid->SetColumnCount(static_cast<int>(headers.size()));
    grid->SetFixedRowCount(1);
    grid->SetRowCount(1 + std::max(0, rows));
    columnWidths(grid, widths);
    headerRow(grid, 0, headers);
    for (int i = 0; i < rows; ++i)
        dataRow(grid, 1 + i, shade(shading, i), kCentred);
    if (stretch)
        grid->ExpandRowsToFit(TRUE);
    grid->Refresh();
}

void LayoutTwoRowGrid(CGridCtrl* grid, const QStringList& firstHeaders, const QStringList& secondHeaders,
                      const QList<int>& widths, int records, Shading shading, UINT secondRowFormat)
{
    listBasics(grid);
    grid->SetSingleRowSelectionWithMultiRow(TRUE, 2);
    grid->SetColumnCount(static_cast<int>(std::max(firstHeaders.size(), secondHeaders.size())));
    grid->SetFixedRowCount(2);
    grid->SetRowCount(2 + 2 * std::max(0, records));
    columnWidths(grid, widths);
    headerRow(grid, 0, firstHeaders);
    headerRow(grid, 1, secondHeaders);
    for (int i = 0; i < records; ++i) {
        dataRow(grid, 2 + 2 * i, shade(shading, i), kCentred);
        dataRow(grid, 3 + 2 * i, shade(shading, i), secondRowFormat | DT_VCENTER | DT_SINGLELINE);
    }
    grid->Refresh();
}

void LayoutLabelGrid(CGridCtrl* grid, const QStringList& labels, const QStringList& values, int labelWidth)
{
    grid->DeleteAllItems();
    grid->SetListMode(FALSE);
    grid->EnableSelection(FALSE);
    grid->SetEditable(FALSE);
    grid->SetFrameFocusCell(FALSE);
    grid->SetColumnResize(FALSE);
    grid->SetRowResize(FALSE);
    grid->SetGridLineColor(RGB(0, 0, 0));
    grid->SetTextColor(RGB(0, 0, 0));
    grid->SetColumnCount(2);
    grid->SetFixedRowCount(0);
    grid->SetRowCount(static_cast<int>(labels.size()));
    grid->SetColumnWidth(0, labelWidth);
    grid->SetColumnWidth(1, std::max(0, grid->width() - 2 * grid->frameWidth() - labelWidth));
    for (int r = 0; r < labels.size(); ++r) {
        grid->SetItemText(r, 0, labels[r]);
        grid->SetItemText(r, 1, values.value(r));
        grid->SetItemBkColour(r, 0, kGridHeaderColour);
        grid->SetItemBkColour(r, 1, kGridValueColour);
        grid->SetItemFgColour(r, 0, RGB(0, 0, 0));
        grid->SetItemFgColour(r, 1, RGB(0, 0, 0));
        grid->SetItemFormat(r, 0, kCentred);
        grid->SetItemFormat(r, 1, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    grid->ExpandRowsToFit(TRUE);
    grid->Refresh();
}

void FitColumnsToWidth(CGridCtrl* grid, int flexColumn, int minWidth)
{
    if (flexColumn < 0 || flexColumn >= grid->GetColumnCount() || grid->GetColumnWidth(flexColumn) == 0)
        return;
    const QRect area = grid->contentsRect();
    const int bar = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    const int available = area.width() - (grid->GetVirtualHeight() > area.height() ? bar : 0);
    const int excess = grid->GetVirtualWidth() - available;
    if (excess <= 0)
        return;
    grid->SetColumnWidth(flexColumn, std::max(minWidth, grid->GetColumnWidth(flexColumn) - excess));
    for (int r = grid->GetFixedRowCount(); r < grid->GetRowCount(); ++r)
        grid->SetItemFormat(r, flexColumn, grid->GetItemFormat(r, flexColumn) | DT_END_ELLIPSIS);
}

void AutoSizeToWidth(CGridCtrl* grid, int flexColumn, int minWidth)
{
    grid->AutoSizeColumns();
    FitColumnsToWidth(grid, flexColumn, minWidth);
    grid->Refresh();
}

CColorStatic* AddDialogTitle(QDialog* dialog, const QString& title, const QString& objectName)
{
    dialog->setAutoFillBackground(true);
    auto* label = new CColorStatic(title, dialog);
    label->setObjectName(objectName);
    label->SetBkColor(kDetailTitleColour);
    label->SetAlignment(DT_CENTER | DT_VCENTER);
    label->setGeometry(3, 3, 234, 20);
    return label;
}

CGridCtrl* BuildDetailFrame(QDialog* dialog, const QString& title, int gridHeight)
{
    AddDialogTitle(dialog, title, QStringLiteral("detailTitle"));

    auto* grid = new CGridCtrl(dialog);
    grid->setObjectName(QStringLiteral("detailGrid"));
    grid->setGeometry(3, 28, 234, gridHeight);

    auto* close = new CBmpButton(dialog);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_5024.bmp"), QStringLiteral("BMP\\닫기_5024_d.bmp"), QString());
    close->setGeometry(95, 264, 50, 24);
    QObject::connect(close, &QAbstractButton::clicked, dialog, &QDialog::accept);
    return grid;
}

int FirstSelectedRow(CGridCtrl* grid)
{
    for (int r = grid->GetFixedRowCount(); r < grid->GetRowCount(); ++r) {
        if (grid->GetItemText(r, 0).isEmpty())
            break;
        if (grid->IsRowSelected(r))
            return r;
    }
    return -1;
}

} // namespace kit
