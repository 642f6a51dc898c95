#pragma once
// The gallery's pages; each builds its controls with sample Hangul data.
#include <QString>

class QWidget;
class CGridCtrl;

namespace gallery {

// Held accounts: user-name label, accounts grid with header and alternating rows
// (a hidden code column), detail and reload image buttons.
QWidget* makeAccountsSample(QWidget* parent);
// A tab control with three pages: accounts, two-row history, cheque entry with
// drop-downs laid over grid cells.
QWidget* makeTabsSample(QWidget* parent);
// Image buttons in every state, coloured labels and the keypad buttons.
QWidget* makeControlsSample(QWidget* parent);
// A label/value confirmation grid without header.
QWidget* makeDetailSample(QWidget* parent);

// Header grey, data rows white and light grey, as every list screen has them.
void paintListRows(CGridCtrl* grid, int firstDataRow, int rowsPerItem = 1);

inline constexpr unsigned kCentred = 0x0001 | 0x0004 | 0x0020; // DT_CENTER|DT_VCENTER|DT_SINGLELINE

} // namespace gallery
