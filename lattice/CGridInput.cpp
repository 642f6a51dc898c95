// CGridCtrl: stylus taps, border drags and the in-place editor.
#include "CGridCtrl.h"
#include "GridDetail.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>

using namespace lattice::grid;

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
