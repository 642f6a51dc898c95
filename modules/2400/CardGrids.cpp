#include "CardGrids.h"

#include "CGridCtrl.h"

namespace cards {

void LayoutValueGrid(CGridCtrl* grid, const QStringList& labels, int labelWidth, int valueWidth,
                     const QList<int>& heights, COLORREF labelColour, const QList<UINT>& formats)
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
    grid->SetBkColor(RGB(255, 255, 255));
    grid->SetColumnCount(2);
    grid->SetFixedRowCount(0);
    grid->SetFixedColumnCount(0);
    grid->SetRowCount(static_cast<int>(labels.size()));
    grid->SetColumnWidth(0, labelWidth);
    grid->SetColumnWidth(1, valueWidth);
    for (int r = 0; r < labels.size(); ++r) {
        grid->SetRowHeight(r, heights.value(r, heights.isEmpty() ? 20 : heights.last()));
        grid->SetItemText(r, 0, labels[r]);
        grid->SetItemBkColour(r, 0, labelColour);
        grid->SetItemBkColour(r, 1, RGB(255, 255, 255));
        grid->SetItemFgColour(r, 0, RGB(0, 0, 0));
        grid->SetItemFgColour(r, 1, RGB(0, 0, 0));
        const bool twoLines = labels[r].contains(QLatin1Char('\n'));
        grid->SetItemFormat(r, 0, twoLines ? DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        const UINT f = formats.isEmpty() ? DT_RIGHT : formats.value(r, formats.last());
        grid->SetItemFormat(r, 1, f | DT_VCENTER | DT_SINGLELINE);
    }
    grid->Refresh();
}

void SetValues(CGridCtrl* grid, const QStringList& values)
{
    for (int r = 0; r < grid->GetRowCount(); ++r)
        grid->SetItemText(r, 1, values.value(r));
    grid->Refresh();
}

void ClearValues(CGridCtrl* grid)
{
    SetValues(grid, {});
}

} // namespace cards
