#pragma once
// Records of the transfer replies and the two grid styles of the module: the
// list grids (header, alternating rows, whole-row selection) and the two-column
// label/value grids of the confirmation and detail dialogs.
#include <QList>
#include <QString>
#include <QStringList>

#include "LatticeTypes.h"

class QDialog;

class CGridCtrl;

namespace transfer {

inline constexpr COLORREF kHeaderColour = RGB(181, 178, 181);
inline constexpr COLORREF kEvenRowColour = RGB(224, 224, 224);
inline constexpr COLORREF kValueColour = RGB(222, 223, 222);
inline constexpr COLORREF kTitleColour = RGB(206, 239, 255);

// The text between the first "<tag>" and the next "</tag>"; empty when absent.
QString TagContent(const QString& reply, const QString& tag);

// The first `fields` ";"-ended fields of one record (trimmed, null words empty).
QStringList SplitFields(QStringView record, int fields);
// The records of a list: one per "|", each cut into `fields` fields.
QList<QStringList> SplitRecords(const QString& list, int fields);
// The single "<free0>" record of a reply; empty when the reply has no free0.
QStringList Free0(const QString& reply, int fields);

// The text with every character `c` removed.
QString Without(QString text, QChar c);

// List grid: `headers` columns with `widths`, one header row and `rows` data
// rows; `stretch` spreads the rows over the grid's height. Texts are cleared.
void LayoutListGrid(CGridCtrl* grid, const QStringList& headers, const QList<int>& widths, int rows, bool stretch);

// After auto-sizing: when the visible columns are wider than the grid (less
// the vertical scroll bar when the rows need one), column `flexColumn` gives up
// the excess, down to `minWidth`, and its data cells end in "..." when cut.
// Hidden (zero-width) columns stay hidden.
void FitColumnsToWidth(CGridCtrl* grid, int flexColumn, int minWidth = 40);

// The frame of a detail dialog: title label over a label/value grid of the given
// height and a "닫기" button that accepts the dialog. Returns the grid.
CGridCtrl* BuildDetailFrame(QDialog* dialog, const QString& title, int gridHeight);

// Two-column label/value grid without header, nothing selectable.
void LayoutLabelGrid(CGridCtrl* grid, const QStringList& labels, const QStringList& values, int labelWidth);

// The date order of a list: records sorted by field 0 with SortDescending.
QList<QStringList> NewestFirst(const QList<QStringList>& records);

// The first selected data row of a grid from row 1, stopping at the first row
// whose column-0 cell is empty; -1 when none.
int FirstSelectedRow(CGridCtrl* grid);

} // namespace transfer
