#pragma once
// The label/value grids of the card inquiry dialogs: a fixed label column on
// its own colour and a value column, rows of given heights.
#include <QList>
#include <QStringList>

#include "LatticeTypes.h"

class CGridCtrl;

namespace cards {

// `formats`: the value format of each row (the last one repeats for the rest):
// DT_RIGHT, DT_CENTER or DT_LEFT. Labels with a line break are centred
// horizontally only; the others centred.
void LayoutValueGrid(CGridCtrl* grid, const QStringList& labels, int labelWidth, int valueWidth,
                     const QList<int>& heights, COLORREF labelColour, const QList<UINT>& formats);
void SetValues(CGridCtrl* grid, const QStringList& values);
void ClearValues(CGridCtrl* grid);

} // namespace cards
