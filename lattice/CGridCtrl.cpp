#include "CGridCtrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace {

constexpr UINT kDefaultFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
constexpr int kMarginX = 2;  // text inset left and right
constexpr int kMarginY = 2;  // text inset top and bottom
constexpr int kResizeGrip = 3; // pixels either side of a fixed-cell border
const QColor kHighlight(10, 36, 106);
const QColor kHighlightText(255, 255, 255);

Qt::Alignment alignmentOf(UINT format)
{
    Qt::Alignment a;
    if (format & DT_CENTER)
        a |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        a |= Qt::AlignRight;
    else
        a |= Qt::AlignLeft;
    if (format & DT_VCENTER)
        a |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM)
        a |= Qt::AlignBottom;
    else
        a |= Qt::AlignTop;
    return a;
}

QString singleLine(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s;
}

QString multiLine(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// Spreads `diff` extra pixels evenly over the visible (non-zero) sizes from
// `first` on; the last of them takes the remainder. False when none is visible.
bool spreadExtra(QVector<int>& sizes, int first, int diff)
{
    QVector<int> visible;
    for (int i = first; i < sizes.size(); ++i)
        if (sizes[i] > 0)
            visible.append(i);
    if (visible.isEmpty())
        return false;
    const int each = diff / visible.size();
    for (int i : visible)
        sizes[i] += each;
    sizes[visible.last()] += diff - each * visible.size();
    return true;
}

} // namespace

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

// ---- Sizes -------------------------------------------------------------------

BOOL CGridCtrl::SetColumnWidth(int col, int width)
{
    if (col < 0 || col >= GetColumnCount() || width < 0)
        return FALSE;
    colWidths_[col] = width;
    layoutGrid();
    return TRUE;
}

BOOL CGridCtrl::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= GetRowCount() || height < 0)
        return FALSE;
    rowHeights_[row] = height;
    layoutGrid();
    return TRUE;
}

int CGridCtrl::GetColumnWidth(int col) const
{
    return (col >= 0 && col < GetColumnCount()) ? colWidths_[col] : 0;
}

int CGridCtrl::GetRowHeight(int row) const
{
    return (row >= 0 && row < GetRowCount()) ? rowHeights_[row] : 0;
}

void CGridCtrl::SetDefRowHeight(int height)
{
    defRowHeight_ = height;
}

int CGridCtrl::GetDefRowHeight() const
{
    if (defRowHeight_ >= 0)
        return defRowHeight_;
    return fontMetrics().height() + 2 * kMarginY + 2;
}

int CGridCtrl::GetVirtualWidth() const
{
    int w = 0;
    for (int v : colWidths_)
        w += v;
    return w;
}

int CGridCtrl::GetVirtualHeight() const
{
    int h = 0;
    for (int v : rowHeights_)
        h += v;
    return h;
}

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

// ---- Geometry ----------------------------------------------------------------------

int CGridCtrl::fixedWidth() const
{
    int w = 0;
    for (int c = 0; c < fixedCols_; ++c)
        w += colWidths_[c];
    return w;
}

int CGridCtrl::fixedHeight() const
{
    int h = 0;
    for (int r = 0; r < fixedRows_; ++r)
        h += rowHeights_[r];
    return h;
}

int CGridCtrl::colLeft(int col) const
{
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += colWidths_[c];
    if (col >= fixedCols_)
        x -= horizontalScrollBar()->value();
    return x;
}

int CGridCtrl::rowTop(int row) const
{
    int y = 0;
    for (int r = 0; r < row; ++r)
        y += rowHeights_[r];
    if (row >= fixedRows_)
        y -= verticalScrollBar()->value();
    return y;
}

QRect CGridCtrl::cellRect(int row, int col) const
{
    if (!IsValid(row, col))
        return {};
    return QRect(colLeft(col), rowTop(row), colWidths_[col], rowHeights_[row]);
}

BOOL CGridCtrl::GetCellRect(int row, int col, QRect* rect) const
{
    if (!rect || !IsValid(row, col))
        return FALSE;
    *rect = cellRect(row, col);
    return TRUE;
}

bool CGridCtrl::cellAt(const QPoint& pos, int* row, int* col) const
{
    *row = *col = -1;
    const int fw = fixedWidth();
    const int fh = fixedHeight();
    const int hs = horizontalScrollBar()->value();
    const int vs = verticalScrollBar()->value();
    // Column: fixed columns at their place, the rest shifted by the scroll offset.
    int x = pos.x() < fw ? pos.x() : pos.x() + hs;
    int acc = 0;
    for (int c = 0; c < GetColumnCount(); ++c) {
        if (c == fixedCols_ && pos.x() < fw)
            break;
        if (colWidths_[c] > 0 && x >= acc && x < acc + colWidths_[c]) {
            *col = c;
            break;
        }
        acc += colWidths_[c];
    }
    int y = pos.y() < fh ? pos.y() : pos.y() + vs;
    acc = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        if (r == fixedRows_ && pos.y() < fh)
            break;
        if (rowHeights_[r] > 0 && y >= acc && y < acc + rowHeights_[r]) {
            *row = r;
            break;
        }
        acc += rowHeights_[r];
    }
    if (*row < 0 || *col < 0) {
        *row = *col = -1;
        return false;
    }
    return true;
}

void CGridCtrl::layoutGrid()
{
    // Work out which scroll bars the cells need and size the ranges for the
    // area that remains, before the bars themselves appear.
    const QRect area = contentsRect();
    const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int totalW = GetVirtualWidth();
    const int totalH = GetVirtualHeight();
    bool needV = totalH > area.height();
    bool needH = totalW > area.width() - (needV ? sb : 0);
    if (needH && !needV)
        needV = totalH > area.height() - sb;
    const int viewW = area.width() - (needV ? sb : 0);
    const int viewH = area.height() - (needH ? sb : 0);
    const int fw = fixedWidth();
    const int fh = fixedHeight();
    horizontalScrollBar()->setRange(0, std::max(0, totalW - viewW));
    horizontalScrollBar()->setPageStep(std::max(1, viewW - fw));
    horizontalScrollBar()->setSingleStep(std::max(1, defColWidth_ / 2));
    verticalScrollBar()->setRange(0, std::max(0, totalH - viewH));
    verticalScrollBar()->setPageStep(std::max(1, viewH - fh));
    verticalScrollBar()->setSingleStep(std::max(1, GetDefRowHeight()));
    viewport()->update();
    emit layoutChanged();
}

void CGridCtrl::EnsureVisible(int row, int col)
{
    if (!IsValid(row, col))
        return;
    const QSize vp = viewport()->size();
    if (row >= fixedRows_) {
        int top = 0;
        for (int r = fixedRows_; r < row; ++r)
            top += rowHeights_[r];
        const int visible = vp.height() - fixedHeight();
        auto* vb = verticalScrollBar();
        if (top < vb->value())
            vb->setValue(top);
        else if (top + rowHeights_[row] > vb->value() + visible)
            vb->setValue(top + rowHeights_[row] - visible);
    }
    if (col >= fixedCols_) {
        int left = 0;
        for (int c = fixedCols_; c < col; ++c)
            left += colWidths_[c];
        const int visible = vp.width() - fixedWidth();
        auto* hb = horizontalScrollBar();
        if (left < hb->value())
            hb->setValue(left);
        else if (left + colWidths_[col] > hb->value() + visible)
            hb->setValue(left + colWidths_[col] - visible);
    }
}

// ---- Auto-size and expand ------------------------------------------------------------

QSize CGridCtrl::textExtent(const QString& text, UINT format, int availableWidth) const
{
    const QFontMetrics fm = fontMetrics();
    if (text.isEmpty())
        return QSize(0, fm.height());
    if (format & DT_SINGLELINE)
        return QSize(fm.horizontalAdvance(singleLine(text)), fm.height());
    int flags = 0;
    if ((format & DT_WORDBREAK) && availableWidth > 0)
        flags |= Qt::TextWordWrap;
    const QRect bound(0, 0, availableWidth > 0 ? availableWidth : 100000, 100000);
    return fm.boundingRect(bound, flags, multiLine(text)).size();
}

BOOL CGridCtrl::AutoSizeColumn(int col, UINT nAutoSizeStyle)
{
    if (col < 0 || col >= GetColumnCount())
        return FALSE;
    if (colWidths_[col] == 0)
        return TRUE; // a hidden column stays hidden
    int first = 0;
    int last = GetRowCount() - 1;
    if (nAutoSizeStyle == GVS_HEADER)
        last = fixedRows_ - 1;
    else if (nAutoSizeStyle == GVS_DATA)
        first = fixedRows_;
    int width = 0;
    for (int r = first; r <= last; ++r) {
        const Cell& c = cells_[r][col];
        width = std::max(width, textExtent(c.text, c.format).width());
    }
    colWidths_[col] = width + 2 * kMarginX + 2;
    layoutGrid();
    return TRUE;
}

void CGridCtrl::AutoSizeColumns(UINT nAutoSizeStyle)
{
    for (int c = 0; c < GetColumnCount(); ++c)
        AutoSizeColumn(c, nAutoSizeStyle);
}

BOOL CGridCtrl::AutoSizeRow(int row)
{
    if (row < 0 || row >= GetRowCount())
        return FALSE;
    if (rowHeights_[row] == 0)
        return TRUE;
    int height = fontMetrics().height();
    for (int c = 0; c < GetColumnCount(); ++c) {
        if (colWidths_[c] == 0)
            continue;
        const Cell& cl = cells_[row][c];
        height = std::max(height, textExtent(cl.text, cl.format, colWidths_[c] - 2 * kMarginX).height());
    }
    rowHeights_[row] = height + 2 * kMarginY + 2;
    layoutGrid();
    return TRUE;
}

void CGridCtrl::AutoSizeRows()
{
    for (int r = 0; r < GetRowCount(); ++r)
        AutoSizeRow(r);
}

void CGridCtrl::AutoSize(UINT nAutoSizeStyle)
{
    AutoSizeColumns(nAutoSizeStyle);
    AutoSizeRows();
}

void CGridCtrl::ExpandColumnsToFit(BOOL bExpandFixed)
{
    const QRect area = contentsRect();
    const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int target = area.width() - (GetVirtualHeight() > area.height() ? sb : 0);
    const int diff = target - GetVirtualWidth();
    if (diff <= 0)
        return;
    if (spreadExtra(colWidths_, bExpandFixed ? 0 : fixedCols_, diff))
        layoutGrid();
}

void CGridCtrl::ExpandRowsToFit(BOOL bExpandFixed)
{
    const QRect area = contentsRect();
    const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int target = area.height() - (GetVirtualWidth() > area.width() ? sb : 0);
    const int diff = target - GetVirtualHeight();
    if (diff <= 0)
        return;
    if (spreadExtra(rowHeights_, bExpandFixed ? 0 : fixedRows_, diff))
        layoutGrid();
}

void CGridCtrl::ExpandToFit(BOOL bExpandFixed)
{
    ExpandColumnsToFit(bExpandFixed);
    ExpandRowsToFit(bExpandFixed);
}

void CGridCtrl::ExpandLastColumn()
{
    const QRect area = contentsRect();
    const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int target = area.width() - (GetVirtualHeight() > area.height() ? sb : 0);
    const int diff = target - GetVirtualWidth();
    if (diff <= 0)
        return;
    for (int c = GetColumnCount() - 1; c >= 0; --c) {
        if (colWidths_[c] > 0) {
            colWidths_[c] += diff;
            layoutGrid();
            return;
        }
    }
}

void CGridCtrl::ExpandToFitNoScroll()
{
    const QRect area = contentsRect();
    const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // Rows first: when they fit, they are stretched to the full height and no
    // vertical bar takes width away from the columns.
    const int totalH = GetVirtualHeight();
    if (totalH > 0 && totalH < area.height()) {
        const int diff = area.height() - totalH;
        QVector<int> rows;
        for (int r = 0; r < GetRowCount(); ++r) {
            if (rowHeights_[r] > 0)
                rows.append(r);
        }
        if (!rows.isEmpty()) {
            const int each = diff / rows.size();
            for (int r : rows)
                rowHeights_[r] += each;
            rowHeights_[rows.last()] += diff - each * rows.size();
        }
    }
    const int target = area.width() - (GetVirtualHeight() > area.height() ? sb : 0);
    const int totalW = GetVirtualWidth();
    if (totalW > 0 && target > 0 && totalW != target) {
        int last = -1;
        int sum = 0;
        for (int c = 0; c < GetColumnCount(); ++c) {
            if (colWidths_[c] == 0)
                continue;
            colWidths_[c] = std::max(1, static_cast<int>(static_cast<qint64>(colWidths_[c]) * target / totalW));
            sum += colWidths_[c];
            last = c;
        }
        if (last >= 0)
            colWidths_[last] = std::max(1, colWidths_[last] + target - sum);
    }
    layoutGrid();
}

// ---- Drawing ---------------------------------------------------------------------------

BOOL CGridCtrl::RedrawCell(int row, int col)
{
    if (!IsValid(row, col))
        return FALSE;
    viewport()->update(cellRect(row, col).adjusted(-1, -1, 1, 1));
    return TRUE;
}

BOOL CGridCtrl::RedrawRow(int row)
{
    if (row < 0 || row >= GetRowCount())
        return FALSE;
    viewport()->update(QRect(0, rowTop(row) - 1, viewport()->width(), rowHeights_[row] + 2));
    return TRUE;
}

void CGridCtrl::Refresh()
{
    layoutGrid();
    viewport()->update();
}

void CGridCtrl::drawCell(QPainter& p, int row, int col, const QRect& r) const
{
    const Cell& c = cells_[row][col];
    const bool fixed = row < fixedRows_ || col < fixedCols_;
    const bool selected = selectionEnabled_ && !fixed && (listMode_ ? selectedRows_.contains(row) : false);
    QColor bk = colorFromRef(c.bk != CLR_DEFAULT ? c.bk : (fixed ? fixedBkColor_ : textBkColor_));
    QColor fg = colorFromRef(c.fg != CLR_DEFAULT ? c.fg : (fixed ? fixedTextColor_ : textColor_));
    if (selected) {
        bk = kHighlight;
        fg = kHighlightText;
    }
    p.fillRect(r, bk);

    // Grid lines on the right and bottom edge of the cell.
    p.setPen(colorFromRef(gridLineColor_));
    if (gridLines_ & GVL_VERT)
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    if (gridLines_ & GVL_HORZ)
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    if (fixed) {
        // A light top-left edge makes fixed cells look raised.
        p.setPen(QColor(255, 255, 255));
        p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    }

    if (!c.text.isEmpty()) {
        const QRect tr = r.adjusted(kMarginX, kMarginY - 1, -kMarginX - 1, -kMarginY);
        p.setPen(fg);
        if (c.format & DT_SINGLELINE) {
            QString s = singleLine(c.text);
            if (c.format & DT_END_ELLIPSIS)
                s = p.fontMetrics().elidedText(s, Qt::ElideRight, tr.width());
            p.drawText(tr, int(alignmentOf(c.format)) | Qt::TextSingleLine, s);
        } else {
            int flags = int(alignmentOf(c.format));
            if (c.format & DT_WORDBREAK)
                flags |= Qt::TextWordWrap;
            p.drawText(tr, flags, multiLine(c.text));
        }
    }

    const bool focus = row == focusRow_ && col == focusCol_;
    if (focus && frameFocus_ && !listMode_ && !fixed && selectionEnabled_) {
        QPen pen(QColor(0, 0, 0));
        pen.setWidth(2);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

void CGridCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const QRect vp = viewport()->rect();
    p.fillRect(vp, colorFromRef(bkColor_));
    const int fw = fixedWidth();
    const int fh = fixedHeight();
    const int rows = GetRowCount();
    const int cols = GetColumnCount();

    auto paintBlock = [&](int r0, int r1, int c0, int c1, const QRect& clip) {
        if (clip.isEmpty())
            return;
        p.save();
        p.setClipRect(clip);
        for (int r = r0; r < r1; ++r) {
            if (rowHeights_[r] <= 0)
                continue;
            const int top = rowTop(r);
            if (top > clip.bottom())
                break;
            if (top + rowHeights_[r] <= clip.top())
                continue;
            for (int c = c0; c < c1; ++c) {
                if (colWidths_[c] <= 0)
                    continue;
                const int left = colLeft(c);
                if (left > clip.right())
                    break;
                if (left + colWidths_[c] <= clip.left())
                    continue;
                drawCell(p, r, c, QRect(left, top, colWidths_[c], rowHeights_[r]));
            }
        }
        p.restore();
    };

    paintBlock(fixedRows_, rows, fixedCols_, cols, QRect(fw, fh, vp.width() - fw, vp.height() - fh));
    paintBlock(0, fixedRows_, fixedCols_, cols, QRect(fw, 0, vp.width() - fw, fh));
    paintBlock(fixedRows_, rows, 0, fixedCols_, QRect(0, fh, fw, vp.height() - fh));
    paintBlock(0, fixedRows_, 0, fixedCols_, QRect(0, 0, fw, fh));
}

void CGridCtrl::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    layoutGrid();
}

void CGridCtrl::scrollContentsBy(int, int)
{
    if (editor_)
        closeEditor(true);
    viewport()->update();
    emit layoutChanged();
}

void CGridCtrl::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        layoutGrid();
}

// ---- Stylus ------------------------------------------------------------------------------

int CGridCtrl::resizeHandleAt(const QPoint& pos, bool* isColumn) const
{
    // Borders can be dragged only where they run through fixed cells.
    if (columnResize_ && pos.y() < fixedHeight()) {
        for (int c = 0; c < GetColumnCount(); ++c) {
            if (colWidths_[c] == 0)
                continue;
            const int right = colLeft(c) + colWidths_[c];
            if (std::abs(pos.x() - right) <= kResizeGrip) {
                *isColumn = true;
                return c;
            }
        }
    }
    if (rowResize_ && pos.x() < fixedWidth()) {
        for (int r = 0; r < GetRowCount(); ++r) {
            if (rowHeights_[r] == 0)
                continue;
            const int bottom = rowTop(r) + rowHeights_[r];
            if (std::abs(pos.y() - bottom) <= kResizeGrip) {
                *isColumn = false;
                return r;
            }
        }
    }
    return -1;
}

void CGridCtrl::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    closeEditor(true);
    const QPoint pos = e->position().toPoint();
    bool isColumn = false;
    const int handle = resizeHandleAt(pos, &isColumn);
    if (handle >= 0) {
        dragIndex_ = handle;
        dragColumn_ = isColumn;
        dragOrigin_ = isColumn ? pos.x() : pos.y();
        dragStartSize_ = isColumn ? colWidths_[handle] : rowHeights_[handle];
        pressValid_ = false;
        return;
    }
    pressValid_ = true;
    cellAt(pos, &pressRow_, &pressCol_);
    if (pressRow_ >= fixedRows_ && pressCol_ >= 0 && selectionEnabled_) {
        focusRow_ = pressRow_;
        focusCol_ = pressCol_;
        viewport()->update();
    }
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (dragIndex_ >= 0) {
        const int delta = (dragColumn_ ? pos.x() : pos.y()) - dragOrigin_;
        const int size = std::max(1, dragStartSize_ + delta);
        if (dragColumn_)
            colWidths_[dragIndex_] = size;
        else
            rowHeights_[dragIndex_] = size;
        layoutGrid();
        return;
    }
    if (!(e->buttons() & Qt::LeftButton)) {
        bool isColumn = false;
        const int handle = resizeHandleAt(pos, &isColumn);
        if (handle >= 0)
            viewport()->setCursor(isColumn ? Qt::SplitHCursor : Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
    } else if (trackFocus_ && pressValid_ && selectionEnabled_) {
        int row = -1;
        int col = -1;
        if (cellAt(pos, &row, &col) && row >= fixedRows_) {
            focusRow_ = row;
            focusCol_ = col;
            viewport()->update();
        }
    }
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(e);
        return;
    }
    if (dragIndex_ >= 0) {
        dragIndex_ = -1;
        return;
    }
    if (!pressValid_)
        return;
    pressValid_ = false;
    int row = pressRow_;
    int col = pressCol_;
    if (trackFocus_) {
        // The stylus may slide; the tap counts where it is lifted.
        int r = -1;
        int c = -1;
        if (cellAt(e->position().toPoint(), &r, &c)) {
            row = r;
            col = c;
        }
    }
    if (row >= fixedRows_ && row >= 0) {
        if (selectionEnabled_) {
            focusRow_ = row;
            focusCol_ = col;
        }
        selectForTap(row, e->modifiers() & Qt::ControlModifier);
        emit cellTapped(row, col);
        emit rowTapped(row);
        return;
    }
    ClearSelection();
    emit cellTapped(row, col);
    emit rowTapped(-1);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    int row = -1;
    int col = -1;
    cellAt(e->position().toPoint(), &row, &col);
    const bool dataRow = row >= fixedRows_ && row >= 0;
    emit rowDoubleTapped(dataRow ? row : -1);
    if (dataRow && col >= fixedCols_ && editable_ && !(cells_[row][col].state & GVIS_READONLY))
        openEditor(row, col);
}

// ---- In-place editing ----------------------------------------------------------------------

void CGridCtrl::openEditor(int row, int col)
{
    closeEditor(true);
    EnsureVisible(row, col);
    editor_ = new QLineEdit(viewport());
    editor_->setObjectName(QStringLiteral("gridEditor"));
    editor_->setFrame(false);
    editor_->setText(cells_[row][col].text);
    editor_->setAlignment(alignmentOf(cells_[row][col].format));
    editor_->setGeometry(cellRect(row, col).adjusted(0, 0, -1, -1));
    editRow_ = row;
    editCol_ = col;
    connect(editor_, &QLineEdit::editingFinished, this, [this] { closeEditor(true); });
    editor_->show();
    editor_->setFocus();
    editor_->selectAll();
}

void CGridCtrl::closeEditor(bool commit)
{
    if (!editor_)
        return;
    QLineEdit* ed = editor_;
    editor_ = nullptr;
    const int row = editRow_;
    const int col = editCol_;
    editRow_ = editCol_ = -1;
    const QString text = ed->text();
    ed->hide();
    ed->deleteLater();
    if (commit && IsValid(row, col) && cells_[row][col].text != text) {
        cells_[row][col].text = text;
        RedrawCell(row, col);
        emit cellEdited(row, col);
    }
}
