// CGridCtrl: what the cells hold (text, format, colours, data, state) and which
// rows are selected.
#include "CGridCtrl.h"
#include "GridDetail.h"

#include <algorithm>

using namespace lattice::grid;

// ---- Cells ---------------------------------------------------------------------

BOOL CGridCtrl::SetItem(const GV_ITEM* item)
{
    if (!item)
        return FALSE;
    Cell* c = cell(item->row, item->col);
    if (!c)
        return FALSE;
    if (item->mask & GVIF_TEXT)
        c->text = item->strText;
    if (item->mask & GVIF_FORMAT)
        c->format = item->nFormat;
    if (item->mask & GVIF_BKCLR)
        c->bk = item->crBkClr;
    if (item->mask & GVIF_FGCLR)
        c->fg = item->crFgClr;
    if (item->mask & GVIF_PARAM)
        c->data = item->lParam;
    if (item->mask & GVIF_IMAGE)
        c->image = item->iImage;
    if (item->mask & GVIF_STATE)
        SetItemState(item->row, item->col, item->nState);
    RedrawCell(item->row, item->col);
    return TRUE;
}

BOOL CGridCtrl::GetItem(GV_ITEM* item) const
{
    if (!item)
        return FALSE;
    const Cell* c = cell(item->row, item->col);
    if (!c)
        return FALSE;
    if (item->mask & GVIF_TEXT)
        item->strText = c->text;
    if (item->mask & GVIF_FORMAT)
        item->nFormat = c->format;
    if (item->mask & GVIF_BKCLR)
        item->crBkClr = c->bk;
    if (item->mask & GVIF_FGCLR)
        item->crFgClr = c->fg;
    if (item->mask & GVIF_PARAM)
        item->lParam = c->data;
    if (item->mask & GVIF_IMAGE)
        item->iImage = c->image;
    if (item->mask & GVIF_STATE)
        item->nState = GetItemState(item->row, item->col);
    return TRUE;
}

BOOL CGridCtrl::SetItemText(int row, int col, const QString& text)
{
    Cell* c = cell(row, col);
    if (!c)
        return FALSE;
    c->text = text;
    RedrawCell(row, col);
    return TRUE;
}

QString CGridCtrl::GetItemText(int row, int col) const
{
    const Cell* c = cell(row, col);
    return c ? c->text : QString();
}

BOOL CGridCtrl::SetItemFormat(int row, int col, UINT nFormat)
{
    Cell* c = cell(row, col);
    if (!c)
        return FALSE;
    c->format = nFormat;
    RedrawCell(row, col);
    return TRUE;
}

UINT CGridCtrl::GetItemFormat(int row, int col) const
{
    const Cell* c = cell(row, col);
    return c ? c->format : 0;
}

BOOL CGridCtrl::SetItemBkColour(int row, int col, COLORREF cr)
{
    Cell* c = cell(row, col);
    if (!c)
        return FALSE;
    c->bk = cr;
    RedrawCell(row, col);
    return TRUE;
}

COLORREF CGridCtrl::GetItemBkColour(int row, int col) const
{
    const Cell* c = cell(row, col);
    return c ? c->bk : CLR_DEFAULT;
}

BOOL CGridCtrl::SetItemFgColour(int row, int col, COLORREF cr)
{
    Cell* c = cell(row, col);
    if (!c)
        return FALSE;
    c->fg = cr;
    RedrawCell(row, col);
    return TRUE;
}

COLORREF CGridCtrl::GetItemFgColour(int row, int col) const
{
    const Cell* c = cell(row, col);
    return c ? c->fg : CLR_DEFAULT;
}

BOOL CGridCtrl::SetItemData(int row, int col, LPARAM data)
{
    Cell* c = cell(row, col);
    if (!c)
        return FALSE;
    c->data = data;
    return TRUE;
}

LPARAM CGridCtrl::GetItemData(int row, int col) const
{
    const Cell* c = cell(row, col);
    return c ? c->data : 0;
}

BOOL CGridCtrl::SetItemState(int row, int col, UINT state)
{
    Cell* c = cell(row, col);
    if (!c)
        return FALSE;
    c->state = state & GVIS_READONLY;
    if (row >= fixedRows_) {
        if (state & GVIS_SELECTED) {
            if (listMode_)
                selectedRows_.insert(row);
            else {
                selectedRows_.clear();
                focusRow_ = row;
                focusCol_ = col;
            }
        } else if (listMode_) {
            selectedRows_.remove(row);
        }
        if (state & GVIS_FOCUSED) {
            focusRow_ = row;
            focusCol_ = col;
        }
    }
    viewport()->update();
    return TRUE;
}

UINT CGridCtrl::GetItemState(int row, int col) const
{
    const Cell* c = cell(row, col);
    if (!c)
        return 0;
    UINT s = c->state;
    if (row < fixedRows_ || col < fixedCols_)
        s |= GVIS_FIXED;
    const bool focused = row == focusRow_ && col == focusCol_;
    if (focused)
        s |= GVIS_FOCUSED;
    if (listMode_ ? selectedRows_.contains(row) : focused && row >= fixedRows_)
        s |= GVIS_SELECTED;
    return s;
}


// ---- Selection ---------------------------------------------------------------------

BOOL CGridCtrl::IsRowSelected(int row) const
{
    if (listMode_)
        return selectedRows_.contains(row);
    return row >= fixedRows_ && row == focusRow_;
}

int CGridCtrl::GetSelectedRow() const
{
    if (!listMode_)
        return (focusRow_ >= fixedRows_) ? focusRow_ : -1;
    if (selectedRows_.isEmpty())
        return -1;
    return *std::min_element(selectedRows_.begin(), selectedRows_.end());
}

int CGridCtrl::GetSelectedCount() const
{
    if (!listMode_)
        return (focusRow_ >= fixedRows_ && focusRow_ >= 0) ? 1 : 0;
    return static_cast<int>(selectedRows_.size());
}

void CGridCtrl::SetSelectedRow(int row)
{
    if (row < fixedRows_ || row >= GetRowCount()) {
        ClearSelection();
        return;
    }
    selectForTap(row, false);
}

void CGridCtrl::ClearSelection()
{
    selectedRows_.clear();
    focusRow_ = focusCol_ = -1;
    viewport()->update();
}

void CGridCtrl::itemBlock(int row, int* first, int* last) const
{
    *first = *last = row;
    if (rowsPerItem_ > 1 && row >= fixedRows_) {
        const int offset = (row - fixedRows_) / rowsPerItem_ * rowsPerItem_;
        *first = fixedRows_ + offset;
        *last = std::min(GetRowCount() - 1, *first + rowsPerItem_ - 1);
    }
}

void CGridCtrl::selectForTap(int row, bool extend)
{
    if (!selectionEnabled_)
        return;
    if (!listMode_) {
        viewport()->update();
        return; // the focus cell already marks the selected cell
    }
    int first = row;
    int last = row;
    itemBlock(row, &first, &last);
    if (singleRow_ || !extend) {
        selectedRows_.clear();
    } else if (selectedRows_.contains(row)) {
        for (int r = first; r <= last; ++r)
            selectedRows_.remove(r);
        viewport()->update();
        return;
    }
    for (int r = first; r <= last; ++r)
        selectedRows_.insert(r);
    viewport()->update();
}
