#pragma once
#include <QAbstractScrollArea>
#include <QSet>
#include <QString>
#include <QVector>
#include "LatticeExport.h"
#include "LatticeTypes.h"

class QLineEdit;

// Item masks: which members of a GV_ITEM a SetItem/GetItem call uses.
enum : UINT {
    GVIF_TEXT = 0x0001,
    GVIF_IMAGE = 0x0002,
    GVIF_PARAM = 0x0004,
    GVIF_STATE = 0x0008,
    GVIF_BKCLR = 0x0010,
    GVIF_FGCLR = 0x0020,
    GVIF_FORMAT = 0x0040,
};

// Cell states.
enum : UINT {
    GVIS_FOCUSED = 0x0001,
    GVIS_SELECTED = 0x0002,
    GVIS_READONLY = 0x0010,
    GVIS_FIXED = 0x0020,
};

// Auto-size styles: which cells a column's width is measured on.
enum : UINT {
    GVS_DEFAULT = 0,
    GVS_HEADER = 1, // fixed rows only
    GVS_DATA = 2,   // data rows only
    GVS_BOTH = 3,
};

// Grid lines.
enum : int { GVL_NONE = 0, GVL_HORZ = 1, GVL_VERT = 2, GVL_BOTH = 3 };

// One cell as SetItem/GetItem exchange it; `mask` says which members count.
struct GV_ITEM {
    int row = 0;
    int col = 0;
    UINT mask = 0;
    UINT nState = 0;
    UINT nFormat = 0;
    int iImage = -1;
    COLORREF crBkClr = CLR_DEFAULT;
    COLORREF crFgClr = CLR_DEFAULT;
    LPARAM lParam = 0;
    QString strText;
};

// A table drawn cell by cell. The first GetFixedRowCount() rows and
// GetFixedColumnCount() columns stay in place while the rest scrolls; with one
// fixed row, row 0 is the header. Fixed cells default to grey RGB(181,178,181),
// data cells to the text background (white). A column of width 0 is hidden but
// keeps its texts; auto-sizing and expanding leave it hidden.
//
// A tap (press and release) reports rowTapped(row) with the data row, or -1 when
// it lands on a fixed row or on the empty area below/right of the cells. In list
// mode the tapped row is selected whole; SetSingleRowSelectionWithMultiRow makes a
// tap select the block of rows that shows one item.
//
// Cell rectangles (GetCellRect, cellAt) are in viewport() coordinates.
class LATTICE_EXPORT CGridCtrl : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CGridCtrl(QWidget* parent = nullptr);
    CGridCtrl(int nRows, int nCols, int nFixedRows = 0, int nFixedCols = 0, QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Places the grid on its parent window, as the dialog resource would.
    BOOL Create(const QRect& rect, QWidget* parent, int nID = 0);

    // ---- Structure -------------------------------------------------------
    BOOL SetRowCount(int nRows);
    BOOL SetColumnCount(int nCols);
    // Raising the fixed counts beyond the row/column counts grows the grid.
    BOOL SetFixedRowCount(int nFixedRows);
    BOOL SetFixedColumnCount(int nFixedCols);
    int GetRowCount() const { return static_cast<int>(cells_.size()); }
    int GetColumnCount() const { return static_cast<int>(colWidths_.size()); }
    int GetFixedRowCount() const { return fixedRows_; }
    int GetFixedColumnCount() const { return fixedCols_; }

    // Inserts a row before nRow (-1 appends); the heading goes into column 0.
    // Returns the new row's index, or -1.
    int InsertRow(const QString& heading, int nRow = -1);
    BOOL DeleteRow(int nRow);
    // Removes every data row, keeping the fixed ones.
    BOOL DeleteNonFixedRows();
    BOOL DeleteAllItems();

    // ---- Sizes -------------------------------------------------------------
    BOOL SetColumnWidth(int col, int width);
    BOOL SetRowHeight(int row, int height);
    int GetColumnWidth(int col) const;
    int GetRowHeight(int row) const;
    // Height given to new rows (default: from the font).
    void SetDefRowHeight(int height);
    int GetDefRowHeight() const;
    int GetVirtualWidth() const;
    int GetVirtualHeight() const;

    // ---- Cells -------------------------------------------------------------
    BOOL SetItem(const GV_ITEM* item);
    BOOL SetItem(const GV_ITEM& item) { return SetItem(&item); }
    BOOL GetItem(GV_ITEM* item) const;
    BOOL SetItemText(int row, int col, const QString& text);
    QString GetItemText(int row, int col) const;
    BOOL SetItemFormat(int row, int col, UINT nFormat);
    UINT GetItemFormat(int row, int col) const;
    BOOL SetItemBkColour(int row, int col, COLORREF cr = CLR_DEFAULT);
    COLORREF GetItemBkColour(int row, int col) const;
    BOOL SetItemFgColour(int row, int col, COLORREF cr = CLR_DEFAULT);
    COLORREF GetItemFgColour(int row, int col) const;
    BOOL SetItemData(int row, int col, LPARAM data);
    LPARAM GetItemData(int row, int col) const;
    BOOL SetItemState(int row, int col, UINT state);
    UINT GetItemState(int row, int col) const;
    BOOL IsValid(int row, int col) const;

    // ---- Colours and look ----------------------------------------------------
    // Background of the area outside the cells.
    void SetBkColor(COLORREF cr);
    COLORREF GetBkColor() const { return bkColor_; }
    // Default background and text colour of data cells.
    void SetTextBkColor(COLORREF cr);
    COLORREF GetTextBkColor() const { return textBkColor_; }
    void SetTextColor(COLORREF cr);
    COLORREF GetTextColor() const { return textColor_; }
    // Default background and text colour of fixed cells.
    void SetFixedBkColor(COLORREF cr);
    COLORREF GetFixedBkColor() const { return fixedBkColor_; }
    void SetFixedTextColor(COLORREF cr);
    COLORREF GetFixedTextColor() const { return fixedTextColor_; }
    void SetGridLineColor(COLORREF cr);
    COLORREF GetGridLineColor() const { return gridLineColor_; }
    void SetGridLines(int nWhichLines = GVL_BOTH);
    int GetGridLines() const { return gridLines_; }
    // Draws a frame around the focused cell (off in list mode screens).
    void SetFrameFocusCell(BOOL bFrame = TRUE);
    // Follows the stylus with the focus cell frame.
    void SetTrackFocusCell(BOOL bTrack = TRUE);

    // ---- Behaviour -----------------------------------------------------------
    // Data cells may be edited in place (double tap opens an editor).
    void SetEditable(BOOL bEditable = TRUE);
    BOOL IsEditable() const { return editable_; }
    // Taps select (rows in list mode, cells otherwise); off: taps only notify.
    void EnableSelection(BOOL bEnable = TRUE);
    BOOL IsSelectable() const { return selectionEnabled_; }
    // Whole-row selection.
    void SetListMode(BOOL bEnableListMode = TRUE);
    BOOL GetListMode() const { return listMode_; }
    // One selected row at a time; off lets Ctrl+tap add rows to the selection.
    void SetSingleRowSelection(BOOL bSingle = TRUE);
    BOOL GetSingleRowSelection() const { return singleRow_; }
    // One selected item at a time where an item spans nRowsPerItem grid rows,
    // counted from the first data row (a tap on either row of a two-row card
    // selects both). bSingle FALSE returns to one row per item.
    void SetSingleRowSelectionWithMultiRow(BOOL bSingle = TRUE, int nRowsPerItem = 2);
    int GetRowsPerItem() const { return rowsPerItem_; }
    // Resizing by dragging a border between two fixed cells.
    void SetColumnResize(BOOL bResize = TRUE);
    void SetRowResize(BOOL bResize = TRUE);
    BOOL GetColumnResize() const { return columnResize_; }
    BOOL GetRowResize() const { return rowResize_; }

    // ---- Selection -------------------------------------------------------------
    BOOL IsRowSelected(int row) const;
    // First selected data row, -1 when none.
    int GetSelectedRow() const;
    int GetSelectedCount() const;
    // Selects one data row (and its item block); -1 clears.
    void SetSelectedRow(int row);
    void ClearSelection();
    int GetFocusRow() const { return focusRow_; }
    int GetFocusCol() const { return focusCol_; }

    // ---- Layout ----------------------------------------------------------------
    BOOL GetCellRect(int row, int col, QRect* rect) const;
    QRect cellRect(int row, int col) const;
    // Cell under a viewport point; false (and -1, -1) over no cell.
    bool cellAt(const QPoint& pos, int* row, int* col) const;
    void EnsureVisible(int row, int col);
    void AutoSize(UINT nAutoSizeStyle = GVS_DEFAULT);
    void AutoSizeColumns(UINT nAutoSizeStyle = GVS_DEFAULT);
    BOOL AutoSizeColumn(int col, UINT nAutoSizeStyle = GVS_DEFAULT);
    void AutoSizeRows();
    BOOL AutoSizeRow(int row);
    // Grows rows and columns so the cells fill the visible area. Columns never
    // shrink. Rows taller than the area give back what earlier stretching added,
    // and rows that would fit but for the horizontal scroll bar are squeezed
    // above it (never below one line of text), so that no vertical bar appears
    // that they do not need. Scroll bars turned off take no room.
    void ExpandToFit(BOOL bExpandFixed = TRUE);
    void ExpandRowsToFit(BOOL bExpandFixed = TRUE);
    void ExpandColumnsToFit(BOOL bExpandFixed = TRUE);
    // Widens the last visible column so the columns reach the right edge.
    void ExpandLastColumn();
    // Fits the columns exactly to the width of the whole control (growing or
    // shrinking them in proportion, so no horizontal scroll bar is needed) and
    // grows the rows to its height when they are shorter.
    void ExpandToFitNoScroll();

    // ---- Drawing ----------------------------------------------------------------
    BOOL RedrawCell(int row, int col);
    BOOL RedrawRow(int row);
    void Refresh();

signals:
    // A tap on a data row; -1 for the header or the empty area.
    void rowTapped(int row);
    // The same tap with its column (-1, -1 outside the cells).
    void cellTapped(int row, int col);
    void rowDoubleTapped(int row);
    // A cell's text was changed by the in-place editor.
    void cellEdited(int row, int col);
    // Sizes, structure or scroll position changed (controls laid over cells follow).
    void layoutChanged();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    struct Cell {
        QString text;
        UINT format;
        UINT state = 0;
        COLORREF bk = CLR_DEFAULT;
        COLORREF fg = CLR_DEFAULT;
        LPARAM data = 0;
        int image = -1;
    };

    Cell makeCell() const;
    Cell* cell(int row, int col);
    const Cell* cell(int row, int col) const;
    int fixedWidth() const;
    int fixedHeight() const;
    int colLeft(int col) const;
    int rowTop(int row) const;
    QSize textExtent(const QString& text, UINT format, int availableWidth = -1) const;
    void drawCell(class QPainter& p, int row, int col, const QRect& r) const;
    void selectForTap(int row, bool extend);
    void itemBlock(int row, int* first, int* last) const;
    void layoutGrid();
    void closeEditor(bool commit);
    void openEditor(int row, int col);
    int resizeHandleAt(const QPoint& pos, bool* isColumn) const;

    QVector<QVector<Cell>> cells_;
    QVector<int> colWidths_;
    QVector<int> rowHeights_;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    int defRowHeight_ = -1;
    int defColWidth_ = 60;

    COLORREF bkColor_ = RGB(255, 255, 255);
    COLORREF textBkColor_ = RGB(255, 255, 255);
    COLORREF textColor_ = RGB(0, 0, 0);
    COLORREF fixedBkColor_ = RGB(181, 178, 181);
    COLORREF fixedTextColor_ = RGB(0, 0, 0);
    COLORREF gridLineColor_ = RGB(192, 192, 192);
    int gridLines_ = GVL_BOTH;

    bool editable_ = false;
    bool selectionEnabled_ = true;
    bool listMode_ = false;
    bool singleRow_ = true;
    int rowsPerItem_ = 1;
    bool frameFocus_ = true;
    bool trackFocus_ = true;
    bool columnResize_ = true;
    bool rowResize_ = true;

    QSet<int> selectedRows_;
    int focusRow_ = -1;
    int focusCol_ = -1;

    // Tap in progress.
    int pressRow_ = -1;
    int pressCol_ = -1;
    bool pressValid_ = false;
    // Border drag in progress.
    int dragIndex_ = -1;
    bool dragColumn_ = false;
    int dragOrigin_ = 0;
    int dragStartSize_ = 0;

    QLineEdit* editor_ = nullptr;
    int editRow_ = -1;
    int editCol_ = -1;
};
