// CGridCtrl: construction, the table's structure (rows, columns, fixed counts) and
// the switches for colours and behaviour. Cell data: CGridCells.cpp; sizes and
// scroll ranges: CGridSizing.cpp; drawing: CGridPaint.cpp; stylus and editing:
// CGridInput.cpp.
#include "CGridCtrl.h"
#include "GridDetail.h"

#include <QScrollBar>
#include <algorithm>

using namespace lattice::grid;

CGridCtrl::CGridCtrl(QWidget* parent) : CGridCtrl(0, 0, 0, 0, parent) {}

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols, QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    defColWidth_ = std::max(30, fontMetrics().averageCharWidth() * 10);
    SetColumnCount(nCols);
    SetRowCount(nRows);
    SetFixedColumnCount(nFixedCols);
    SetFixedRowCount(nFixedRows);
}

CGridCtrl::~CGridCtrl() = default;

BOOL CGridCtrl::Create(const QRect& rect, QWidget* parent, int nID)
{
    if (parent && parentWidget() != parent)
        setParent(parent);
    setGeometry(rect);
    if (nID != 0 && objectName().isEmpty())
        setObjectName(QStringLiteral("grid%1").arg(nID));
    show();
    layoutGrid();
    return TRUE;
}

// ---- Structure --------------------------------------------------------------

CGridCtrl::Cell CGridCtrl::makeCell() const
{
    Cell c;
    c.format = kDefaultFormat;
    return c;
}

CGridCtrl::Cell* CGridCtrl::cell(int row, int col)
{
    return IsValid(row, col) ? &cells_[row][col] : nullptr;
}

const CGridCtrl::Cell* CGridCtrl::cell(int row, int col) const
{
    return IsValid(row, col) ? &cells_[row][col] : nullptr;
}

BOOL CGridCtrl::IsValid(int row, int col) const
{
    return row >= 0 && row < GetRowCount() && col >= 0 && col < GetColumnCount();
}

BOOL CGridCtrl::SetRowCount(int nRows)
{
    if (nRows < 0)
        return FALSE;
    closeEditor(false);
    const int old = GetRowCount();
    cells_.resize(nRows);
    rowHeights_.resize(nRows);
    for (int r = old; r < nRows; ++r) {
        cells_[r] = QVector<Cell>(GetColumnCount(), makeCell());
        rowHeights_[r] = GetDefRowHeight();
    }
    if (fixedRows_ > nRows)
        fixedRows_ = nRows;
    for (auto it = selectedRows_.begin(); it != selectedRows_.end();) {
        if (*it >= nRows)
            it = selectedRows_.erase(it);
        else
            ++it;
    }
    if (focusRow_ >= nRows)
        focusRow_ = focusCol_ = -1;
    layoutGrid();
    return TRUE;
}

BOOL CGridCtrl::SetColumnCount(int nCols)
{
    if (nCols < 0)
        return FALSE;
    closeEditor(false);
    const int old = GetColumnCount();
    colWidths_.resize(nCols);
    for (int c = old; c < nCols; ++c)
        colWidths_[c] = defColWidth_;
    for (auto& row : cells_)
        row.resize(nCols, makeCell());
    if (fixedCols_ > nCols)
        fixedCols_ = nCols;
    if (focusCol_ >= nCols)
        focusRow_ = focusCol_ = -1;
    layoutGrid();
    return TRUE;
}

BOOL CGridCtrl::SetFixedRowCount(int nFixedRows)
{
    if (nFixedRows < 0)
        return FALSE;
    if (nFixedRows > GetRowCount())
        SetRowCount(nFixedRows);
    fixedRows_ = nFixedRows;
    for (auto it = selectedRows_.begin(); it != selectedRows_.end();) {
        if (*it < fixedRows_)
            it = selectedRows_.erase(it);
        else
            ++it;
    }
    layoutGrid();
    return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int nFixedCols)
{
    if (nFixedCols < 0)
        return FALSE;
    if (nFixedCols > GetColumnCount())
        SetColumnCount(nFixedCols);
    fixedCols_ = nFixedCols;
    layoutGrid();
    return TRUE;
}

int CGridCtrl::InsertRow(const QString& heading, int nRow)
{
    closeEditor(false);
    if (nRow < 0 || nRow > GetRowCount())
        nRow = GetRowCount();
    cells_.insert(nRow, QVector<Cell>(GetColumnCount(), makeCell()));
    rowHeights_.insert(nRow, GetDefRowHeight());
    if (nRow < fixedRows_)
        ++fixedRows_;
    QSet<int> moved;
    for (int r : std::as_const(selectedRows_))
        moved.insert(r >= nRow ? r + 1 : r);
    selectedRows_ = moved;
    if (focusRow_ >= nRow)
        ++focusRow_;
    if (GetColumnCount() > 0)
        cells_[nRow][0].text = heading;
    layoutGrid();
    return nRow;
}

BOOL CGridCtrl::DeleteRow(int nRow)
{
    if (nRow < 0 || nRow >= GetRowCount())
        return FALSE;
    closeEditor(false);
    cells_.remove(nRow);
    rowHeights_.remove(nRow);
    if (nRow < fixedRows_)
        --fixedRows_;
    QSet<int> moved;
    for (int r : std::as_const(selectedRows_)) {
        if (r != nRow)
            moved.insert(r > nRow ? r - 1 : r);
    }
    selectedRows_ = moved;
    if (focusRow_ == nRow)
        focusRow_ = focusCol_ = -1;
    else if (focusRow_ > nRow)
        --focusRow_;
    layoutGrid();
    return TRUE;
}

BOOL CGridCtrl::DeleteNonFixedRows()
{
    return SetRowCount(fixedRows_);
}

BOOL CGridCtrl::DeleteAllItems()
{
    closeEditor(false);
    cells_.clear();
    rowHeights_.clear();
    colWidths_.clear();
    fixedRows_ = fixedCols_ = 0;
    selectedRows_.clear();
    focusRow_ = focusCol_ = -1;
    layoutGrid();
    return TRUE;
}


// ---- Colours and behaviour ---------------------------------------------------------

void CGridCtrl::SetBkColor(COLORREF cr) { bkColor_ = cr; viewport()->update(); }
void CGridCtrl::SetTextBkColor(COLORREF cr) { textBkColor_ = cr; viewport()->update(); }
void CGridCtrl::SetTextColor(COLORREF cr) { textColor_ = cr; viewport()->update(); }
void CGridCtrl::SetFixedBkColor(COLORREF cr) { fixedBkColor_ = cr; viewport()->update(); }
void CGridCtrl::SetFixedTextColor(COLORREF cr) { fixedTextColor_ = cr; viewport()->update(); }
void CGridCtrl::SetGridLineColor(COLORREF cr) { gridLineColor_ = cr; viewport()->update(); }
void CGridCtrl::SetGridLines(int nWhichLines) { gridLines_ = nWhichLines; viewport()->update(); }
void CGridCtrl::SetFrameFocusCell(BOOL bFrame) { frameFocus_ = bFrame; viewport()->update(); }
void CGridCtrl::SetTrackFocusCell(BOOL bTrack) { trackFocus_ = bTrack; }
void CGridCtrl::SetColumnResize(BOOL bResize) { columnResize_ = bResize; }
void CGridCtrl::SetRowResize(BOOL bResize) { rowResize_ = bResize; }

void CGridCtrl::SetEditable(BOOL bEditable)
{
    editable_ = bEditable;
    if (!editable_)
        closeEditor(true);
}

void CGridCtrl::EnableSelection(BOOL bEnable)
{
    selectionEnabled_ = bEnable;
    if (!selectionEnabled_)
        ClearSelection();
}

void CGridCtrl::SetListMode(BOOL bEnableListMode)
{
    listMode_ = bEnableListMode;
    ClearSelection();
}

void CGridCtrl::SetSingleRowSelection(BOOL bSingle)
{
    singleRow_ = bSingle;
}

void CGridCtrl::SetSingleRowSelectionWithMultiRow(BOOL bSingle, int nRowsPerItem)
{
    if (bSingle && nRowsPerItem > 1) {
        singleRow_ = true;
        listMode_ = true;
        rowsPerItem_ = nRowsPerItem;
    } else {
        rowsPerItem_ = 1;
        if (bSingle)
            singleRow_ = true;
    }
    ClearSelection();
}
