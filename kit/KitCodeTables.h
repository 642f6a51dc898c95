#pragma once
// Look-ups over the bank code table (Zentab) and the occupation code table
// (Quendra). Each module carrying the kit has its own table objects, read once.
#include <QString>

class QComboBox;

// Code of the first bank whose name equals `name` exactly, else empty.
QString ZentabCodeOf(const QString& name);
// Name of the first bank whose code equals `code` exactly, else empty.
QString ZentabNameOf(const QString& code);
// Adds every bank name to the combo box, in table order.
void FillZentabCombo(QComboBox* combo);
QString QuendraCodeOf(const QString& name);
QString QuendraNameOf(const QString& code);
