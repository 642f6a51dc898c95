#pragma once
// The grid set-ups the service screens share, on the controls library's grid:
// list grids (grey header, white rows alternating with grey ones, whole-row
// selection), two-rows-per-record grids with two header rows, two-column
// label/value grids, and the frame of a detail dialog.
#include <QList>
#include <QString>
#include <QStringList>

#include "LatticeTypes.h"

class QDialog;
class CColorStatic;
class CGridCtrl;

namespace kit {

inline constexpr COLORREF kGridHeaderColour = RGB(181, 178, 181);
inline constexpr COLORREF kGridShadeColour = RGB(224, 224, 224);
inline constexpr COLORREF kGridValueColour = RGB(222, 223, 222);
inline constexpr COLORREF kDetailTitleColour = RGB(206, 239, 255);

// Which data records are shaded grey: the second, fourth ... (the first record is
// white) or the first, third ... (the first record is grey).
enum class Shading { SecondFourth, FirstThird };

// Whether data record `index` (from 0) is shaded.
bool IsShaded(Shading shading, int index);

// List grid: one header row with `headers`, column widths `widths` (missing
// widths are 0, a hidden column), `rows` empty data rows, every cell centred, the
// rows shaded by `shading`, whole-row single selection. `stretch` spreads the
// rows over the grid's height. Texts and selection are cleared.
void LayoutListGrid(CGridCtrl* grid, const QStringList& headers, const QList<int>& widths, int rows, bool stretch,
                    Shading shading = Shading::SecondFourth);

// Two rows per record under two header rows (`firstHeaders` over
// `secondHeaders`), `records` empty records; a record's two rows share its shade
// and a tap selects both. The first row of a record is centred, the second uses
// `secondRowFormat` (DT_CENTER or DT_RIGHT, with DT_VCENTER | DT_SINGLELINE).
void LayoutTwoRowGrid(CGridCtrl* grid, const QStringList& firstHeaders, const QStringList& secondHeaders,
                      const QList<int>& widths, int records, Shading shading, UINT secondRowFormat = DT_CENTER);

// Two-column label/value grid without header: grey labels, light values,
// nothing selectable; the value column fills the grid's width and the rows its
// height.
void LayoutLabelGrid(CGridCtrl* grid, const QStringList& labels, const QStringList& values, int labelWidth);

// After auto-sizing: when the visible columns are wider than the grid (less the
// vertical scroll bar when the rows need one), column `flexColumn` gives up the
// excess, down to `minWidth`, and its data cells end in "..." when cut. Hidden
// (zero-width) columns stay hidden.
void FitColumnsToWidth(CGridCtrl* grid, int flexColumn, int minWidth = 40);
// A filled list grid: columns auto-sized to their texts, then fitted to the
// width as above, and redrawn.
void AutoSizeToWidth(CGridCtrl* grid, int flexColumn, int minWidth = 40);

// The title bar of a pop-up: the text centred on light blue across the top.
CColorStatic* AddDialogTitle(QDialog* dialog, const QString& title, const QString& objectName);

// The frame of a detail dialog: title label over a label/value grid of the given
// height and a "닫기" button that accepts the dialog. Returns the grid.
CGridCtrl* BuildDetailFrame(QDialog* dialog, const QString& title, int gridHeight);

// The first selected data row from the first row under the header(s), stopping
// at the first row whose column-0 cell is empty; -1 when none.
int FirstSelectedRow(CGridCtrl* grid);

} // namespace kit
