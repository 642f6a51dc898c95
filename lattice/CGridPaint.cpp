// CGridCtrl: drawing the cells and repainting on change.
#include "CGridCtrl.h"
#include "GridDetail.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>

using namespace lattice::grid;

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
