#include "CGridCellCombo.h"

#include "CGridCtrl.h"

CGridCellCombo::CGridCellCombo(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this] { writeCell(); });
}

CGridCellCombo::CGridCellCombo(CGridCtrl* grid, int row, int col) : CGridCellCombo(nullptr)
{
    Attach(grid, row, col);
}

CGridCellCombo::~CGridCellCombo() = default;

BOOL CGridCellCombo::Attach(CGridCtrl* grid, int row, int col)
{
    if (grid_)
        disconnect(grid_, nullptr, this, nullptr);
    grid_ = grid;
    row_ = row;
    col_ = col;
    if (!grid || !grid->IsValid(row, col)) {
        hide();
        return FALSE;
    }
    setParent(grid->viewport());
    connect(grid, &CGridCtrl::layoutChanged, this, &CGridCellCombo::UpdatePosition);
    UpdatePosition();
    writeCell();
    return TRUE;
}

void CGridCellCombo::UpdatePosition()
{
    if (!grid_ || !grid_->IsValid(row_, col_)) {
        hide();
        return;
    }
    QRect r = grid_->cellRect(row_, col_);
    // Inside the grid lines, so the cell's frame stays visible.
    r.adjust(0, 0, -1, -1);
    const QRect vp = grid_->viewport()->rect();
    if (r.width() <= 0 || r.height() <= 0 || !vp.intersects(r)) {
        hide();
        return;
    }
    setGeometry(r);
    show();
    raise();
}

void CGridCellCombo::SetOptions(const QStringList& options)
{
    clear();
    addItems(options);
    if (!options.isEmpty())
        setCurrentIndex(0);
}

QStringList CGridCellCombo::GetOptions() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << itemText(i);
    return list;
}

int CGridCellCombo::SetCurSel(int index)
{
    if (index < -1 || index >= count())
        return -1;
    setCurrentIndex(index);
    return index;
}

int CGridCellCombo::AddString(const QString& text, int data)
{
    addItem(text, data);
    return count() - 1;
}

int CGridCellCombo::GetItemData(int index) const
{
    return (index >= 0 && index < count()) ? itemData(index).toInt() : 0;
}

void CGridCellCombo::writeCell()
{
    if (grid_ && grid_->IsValid(row_, col_))
        grid_->SetItemText(row_, col_, currentIndex() >= 0 ? currentText() : QString());
}
