#pragma once
#include <QComboBox>
#include <QPointer>
#include <QStringList>
#include "LatticeExport.h"
#include "LatticeTypes.h"

class CGridCtrl;

// A drop-down laid exactly over one grid cell. It follows the cell when the grid
// scrolls or is resized, hides while the cell is out of sight, and writes the
// chosen entry's text into the cell, so GetItemText reads the choice.
class LATTICE_EXPORT CGridCellCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CGridCellCombo(QWidget* parent = nullptr);
    CGridCellCombo(CGridCtrl* grid, int row, int col);
    ~CGridCellCombo() override;

    // Lays the drop-down over the cell (row, col) of the grid.
    BOOL Attach(CGridCtrl* grid, int row, int col);
    CGridCtrl* GetGrid() const { return grid_; }
    int GetRow() const { return row_; }
    int GetColumn() const { return col_; }

    // Replaces the entries; the first one is selected.
    void SetOptions(const QStringList& options);
    QStringList GetOptions() const;
    int GetCurSel() const { return currentIndex(); }
    // Selects an entry (-1 none); the cell shows its text.
    int SetCurSel(int index);
    // Entries carry a number each (bank code, cheque kind ...).
    int AddString(const QString& text, int data = 0);
    int GetItemData(int index) const;

    // Follows the cell's position now (the grid calls it on every layout change).
    void UpdatePosition();

private:
    void writeCell();

    QPointer<CGridCtrl> grid_;
    int row_ = -1;
    int col_ = -1;
};
