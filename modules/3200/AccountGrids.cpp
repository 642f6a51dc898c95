#include "AccountGrids.h"

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "KitGrid.h"

namespace amg {

namespace {

void layout(CGridCtrl* grid, const QStringList& headers, const QList<int>& wide, const QList<int>& narrow,
            int records, const QList<int>& rightAligned)
{
    const bool few = records <= kMinDataRows;
    const int rows = few ? kMinDataRows : records;
    kit::LayoutListGrid(grid, headers, few ? wide : narrow, rows, false);
    for (int col : rightAligned)
        for (int r = 1; r <= rows; ++r)
            grid->SetItemFormat(r, col, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    grid->Refresh();
}

} // namespace

void LayoutWithdrawalGrid(CGridCtrl* grid, int records)
{
    layout(grid,
           {QStringLiteral("종류"), QStringLiteral("계좌"), QStringLiteral("잔액"), QStringLiteral("이체구분"),
            QStringLiteral("출금가능잔액")},
           {70, 121, 106, 0, 0}, {70, 115, 100, 0, 0}, records, {WdBalance, WdFlag, WdWithdrawable});
}

void LayoutFavouriteGrid(CGridCtrl* grid, int records)
{
    layout(grid,
           {QStringLiteral("입금계좌명"), QStringLiteral("입금은행"), QStringLiteral("입금계좌번호"),
            QStringLiteral("예금주"), QStringLiteral("일련번호"), QStringLiteral("은행코드")},
           {122, 107, 120, 107, 0, 0}, {122, 101, 114, 101, 0, 0}, records, {});
}

void LayoutHidingGrid(CGridCtrl* grid, int records)
{
    layout(grid,
           {QStringLiteral("숨김"), QStringLiteral("종류"), QStringLiteral("계좌번호"), QStringLiteral("잔액"),
            QStringLiteral("숨김(숫자)")},
           {50, 106, 121, 106, 0}, {50, 100, 115, 100, 0}, records, {HdBalance});
}

int FilledRows(CGridCtrl* grid)
{
    int n = 0;
    for (int r = 1; r < grid->GetRowCount() && !grid->GetItemText(r, 0).isEmpty(); ++r)
        ++n;
    return n;
}

CBmpButton* AddButton(QWidget* parent, const char* objectName, const QString& image, int x, int y, int w)
{
    auto* b = new CBmpButton(parent);
    b->setObjectName(QString::fromLatin1(objectName));
    b->LoadBitmap(QStringLiteral("BMP\\%1.bmp").arg(image), QStringLiteral("BMP\\%1_d.bmp").arg(image), QString());
    b->setGeometry(x, y, w, 24);
    return b;
}

} // namespace amg
