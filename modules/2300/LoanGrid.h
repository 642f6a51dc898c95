#pragma once
// The label/value grids of the loan dialogs: a fixed first column of grey
// labels and a white value column, list mode, nothing editable or resizable.
#include <QList>

#include "LoanRecords.h"

class CGridCtrl;

namespace loans {

// Lays out `rows` (label, value, alignment) at `rowHeight` pixels with the
// two column widths; values are centred unless marked right-aligned.
void ShowRows(CGridCtrl* grid, const QList<DetailRow>& rows, int rowHeight, int labelWidth, int valueWidth);

// The rows with their labels and every value emptied.
QList<DetailRow> EmptyValues(QList<DetailRow> rows);

} // namespace loans
