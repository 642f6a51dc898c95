#include "CLossListPage.h"

#include <algorithm>

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB3300.h"
#include "KitGrid.h"

CLossListPage::CLossListPage(int idd, CTVPB3300* screen) : CExTabPage(idd, screen), screen_(screen) {}

CLossListPage::~CLossListPage() = default;

void CLossListPage::createControls()
{
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("lossGrid"));
    // Placed by layoutControls().
    confirm_ = CBmpButton::Create(this, "btnConfirm", QStringLiteral("확인_4524"), 0, 0);
    cancel_ = CBmpButton::Create(this, "btnCancel", QStringLiteral("취소_4524"), 0, 0);
    reload_ = CBmpButton::Create(this, "btnReload", QStringLiteral("이전으로_3224"), 0, 0);
    layoutControls();
}

void CLossListPage::resizeEvent(QResizeEvent* e)
{
    CExTabPage::resizeEvent(e);
    layoutControls();
}

void CLossListPage::layoutControls()
{
    if (!grid_)
        return;
    const int w = width();
    const int h = height();
    grid_->setGeometry(0, 0, w, std::max(24, h - 29));
    reload_->setGeometry(w - 32 - 4, h - 26, 32, 24);
    cancel_->setGeometry(w - 32 - 4 - 45 - 4, h - 26, 45, 24);
    confirm_->setGeometry(w - 32 - 4 - 2 * (45 + 4), h - 26, 45, 24);
}

void CLossListPage::showEmptyList(const QStringList& headers, const QList<int>& widths)
{
    layoutList(headers, widths, 1);
    for (int c = 0; c < grid_->GetColumnCount(); ++c)
        grid_->SetItemBkColour(1, c, RGB(255, 255, 255));
    grid_->Refresh();
}

void CLossListPage::layoutList(const QStringList& headers, const QList<int>& widths, int rows)
{
    kit::LayoutListGrid(grid_, headers, widths, rows, /*stretch=*/false, kit::Shading::FirstThird);
    grid_->SetRowHeight(0, 24);
    for (int r = 1; r <= rows; ++r)
        grid_->SetRowHeight(r, 22);
}

void CLossListPage::finishList()
{
    grid_->AutoSizeColumns(GVS_BOTH);
    grid_->Refresh();
}
