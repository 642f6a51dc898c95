// CGridCtrl: row and column sizes, cell geometry, the scroll ranges, and the
// auto-size and expand operations.
#include "CGridCtrl.h"
#include "GridDetail.h"

#include <QScrollBar>
#include <QStyle>
#include <algorithm>

using namespace lattice::grid;

namespace {

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

// Takes up to `excess` pixels from the visible sizes from `first` on, one pixel
// at a time from the last towards the first, so they shrink evenly; no size goes
// below `floor`. Returns the pixels taken.
int takeBack(QVector<int>& sizes, int first, int excess, int floor)
{
    int taken = 0;
    bool progress = true;
    while (taken < excess && progress) {
        progress = false;
        for (int i = static_cast<int>(sizes.size()) - 1; i >= first && taken < excess; --i) {
            if (sizes[i] > 0 && sizes[i] > floor) {
                --sizes[i];
                ++taken;
                progress = true;
            }
        }
    }
    return taken;
}

// The part of the control that shows cells once the scroll bars that cells of
// totalW x totalH pixels need, as far as the bars' policies let them appear,
// have taken their room. A bar turned off takes none; a bar always on, always.
QSize viewRoom(const QAbstractScrollArea* grid, int totalW, int totalH)
{
    const QRect area = grid->contentsRect();
    const int bar = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    const Qt::ScrollBarPolicy hPolicy = grid->horizontalScrollBarPolicy();
    const Qt::ScrollBarPolicy vPolicy = grid->verticalScrollBarPolicy();
    bool needV = vPolicy == Qt::ScrollBarAlwaysOn || (vPolicy == Qt::ScrollBarAsNeeded && totalH > area.height());
    const bool needH = hPolicy == Qt::ScrollBarAlwaysOn
        || (hPolicy == Qt::ScrollBarAsNeeded && totalW > area.width() - (needV ? bar : 0));
    if (needH && !needV && vPolicy == Qt::ScrollBarAsNeeded)
        needV = totalH > area.height() - bar;
    return QSize(area.width() - (needV ? bar : 0), area.height() - (needH ? bar : 0));
}

} // namespace

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
    const int totalW = GetVirtualWidth();
    const int totalH = GetVirtualHeight();
    const QSize view = viewRoom(this, totalW, totalH);
    const int viewW = view.width();
    const int viewH = view.height();
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
    // Columns that fit leave the width of a vertical bar only when the rows need one.
    const int diff = viewRoom(this, 0, GetVirtualHeight()).width() - GetVirtualWidth();
    if (diff <= 0)
        return;
    if (spreadExtra(colWidths_, bExpandFixed ? 0 : fixedCols_, diff))
        layoutGrid();
}

void CGridCtrl::ExpandRowsToFit(BOOL bExpandFixed)
{
    const int first = bExpandFixed ? 0 : fixedRows_;
    const int room = viewRoom(this, GetVirtualWidth(), 0).height();
    const int diff = room - GetVirtualHeight();
    if (diff > 0) {
        if (spreadExtra(rowHeights_, first, diff))
            layoutGrid();
        return;
    }
    if (diff == 0)
        return;
    // Taller than the room: rows stretched before (for a larger control) give
    // their stretch back. Rows that would fit but for the horizontal bar are
    // squeezed into the room above it, each still a line of text high, so no
    // vertical bar appears that they do not need and covers the last column.
    const int excess = -diff;
    const QVector<int> before = rowHeights_;
    int taken = takeBack(rowHeights_, first, excess, GetDefRowHeight());
    const int barRoom = contentsRect().height() - room;
    if (taken < excess && excess - taken <= barRoom) {
        const int textRow = fontMetrics().height() + kMarginY * 2 - 1;
        QVector<int> squeezed = rowHeights_;
        if (takeBack(squeezed, first, excess - taken, textRow) == excess - taken)
            rowHeights_ = squeezed;
    }
    if (rowHeights_ != before)
        layoutGrid();
}

void CGridCtrl::ExpandToFit(BOOL bExpandFixed)
{
    ExpandColumnsToFit(bExpandFixed);
    ExpandRowsToFit(bExpandFixed);
}

void CGridCtrl::ExpandLastColumn()
{
    const int diff = viewRoom(this, 0, GetVirtualHeight()).width() - GetVirtualWidth();
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
    // Rows first: when they fit, they are stretched to the full height and no
    // vertical bar takes width away from the columns (which will fit too).
    const int height = viewRoom(this, 0, 0).height();
    const int totalH = GetVirtualHeight();
    if (totalH > 0 && totalH < height)
        spreadExtra(rowHeights_, 0, height - totalH);
    const int target = viewRoom(this, 0, GetVirtualHeight()).width();
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
