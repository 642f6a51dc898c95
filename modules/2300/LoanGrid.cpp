#include "LoanGrid.h"

#include "CGridCtrl.h"
#include "KitGrid.h"

namespace loans {

void ShowRows(CGridCtrl* grid, const QList<DetailRow>& rows, int rowHeight, int labelWidth, int valueWidth)
{
    grid->DeleteAllItems();
    grid->SetListMode(TRUE);
    grid->EnableSelection(FALSE);
    grid->SetEditable(FALSE);
    grid->SetFrameFocusCell(FALSE);
    grid->SetTrackFocusCell(FALSE);
    grid->SetColumnResize(FALSE);
    grid->SetRowResize(FALSE);
    grid->SetBkColor(RGB(255, 255, 255));
    grid->SetFixedBkColor(kit::kGridHeaderColour);
    grid->SetTextColor(RGB(0, 0, 0));
    grid->SetColumnCount(2);
    grid->SetRowCount(static_cast<int>(rows.size()));
    grid->SetFixedRowCount(0);
    grid->SetFixedColumnCount(1);
    grid->SetColumnWidth(0, labelWidth);
    grid->SetColumnWidth(1, valueWidth);
    constexpr UINT kLine = DT_VCENTER | DT_SINGLELINE;
    for (int r = 0; r < rows.size(); ++r) {
        grid->SetRowHeight(r, rowHeight);
        grid->SetItemText(r, 0, rows[r].label);
        grid->SetItemText(r, 1, rows[r].value);
        grid->SetItemFormat(r, 0, DT_CENTER | kLine);
        grid->SetItemFormat(r, 1, (rows[r].rightAligned ? DT_RIGHT : DT_CENTER) | kLine);
        grid->SetItemBkColour(r, 0, kit::kGridHeaderColour);
        grid->SetItemBkColour(r, 1, RGB(255, 255, 255));
        grid->SetItemFgColour(r, 0, RGB(0, 0, 0));
        grid->SetItemFgColour(r, 1, RGB(0, 0, 0));
    }
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->Refresh();
}

QList<DetailRow> EmptyValues(QList<DetailRow> rows)
{
    for (DetailRow& r : rows)
        r.value.clear();
    return rows;
}

} // namespace loans
