#include "CPassbookLossPage.h"

#include <algorithm>

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB3300.h"
#include "CUserInfo.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"

namespace {
const QStringList kHeaders = {QStringLiteral("종류"), QStringLiteral("계좌번호"), QStringLiteral("잔액")};
const QList<int> kWidths = {71, 124, 82};
} // namespace

CPassbookLossPage::CPassbookLossPage(CTVPB3300* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CPassbookLossPage::~CPassbookLossPage() = default;

BOOL CPassbookLossPage::OnInitDialog()
{
    password_.clear();
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("lossGrid"));

    confirm_ = new CBmpButton(this);
    confirm_->setObjectName(QStringLiteral("btnConfirm"));
    confirm_->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    connect(confirm_, &QAbstractButton::clicked, this, &CPassbookLossPage::OnConfirm);
    cancel_ = new CBmpButton(this);
    cancel_->setObjectName(QStringLiteral("btnCancel"));
    cancel_->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"), QString());
    cancel_->hide();
    reload_ = new CBmpButton(this);
    reload_->setObjectName(QStringLiteral("btnReload"));
    reload_->LoadBitmap(QStringLiteral("BMP\\이전으로_3224.bmp"), QStringLiteral("BMP\\이전으로_3224_d.bmp"), QString());
    connect(reload_, &QAbstractButton::clicked, this, &CPassbookLossPage::OnReload);

    layoutControls();
    clearGrid();
    return TRUE;
}

void CPassbookLossPage::resizeEvent(QResizeEvent* e)
{
    CExTabPage::resizeEvent(e);
    layoutControls();
}

void CPassbookLossPage::layoutControls()
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

void CPassbookLossPage::clearGrid()
{
    passbooks_.clear();
    kit::LayoutListGrid(grid_, kHeaders, kWidths, 1, /*stretch=*/false, kit::Shading::FirstThird);
    grid_->SetRowHeight(0, 24);
    grid_->SetRowHeight(1, 22);
    for (int c = 0; c < grid_->GetColumnCount(); ++c)
        grid_->SetItemBkColour(1, c, RGB(255, 255, 255));
    grid_->Refresh();
}

void CPassbookLossPage::LoadList()
{
    InitOnce();
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    clearGrid();
    KitRequest request = screen_->Request(screen_);
    QString reply;
    const QString user = screen_->User() ? screen_->User()->GetUserID() : QString();
    if (!request.SendPlain(BuildQueryR001(user), reply, false))
        return;
    passbooks_ = loss::ParsePassbooks(reply);
    const int rows = static_cast<int>(passbooks_.size());
    if (rows == 0)
        return;
    kit::LayoutListGrid(grid_, kHeaders, kWidths, rows, /*stretch=*/false, kit::Shading::FirstThird);
    grid_->SetRowHeight(0, 24);
    for (int i = 0; i < rows; ++i) {
        const int r = i + 1;
        grid_->SetRowHeight(r, 22);
        grid_->SetItemText(r, ColType, passbooks_[i].type);
        grid_->SetItemText(r, ColAccount, passbooks_[i].accountNo);
        grid_->SetItemText(r, ColBalance, passbooks_[i].balance);
        grid_->SetItemFormat(r, ColBalance, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    grid_->AutoSizeColumns(GVS_BOTH);
    grid_->Refresh();
}

void CPassbookLossPage::OnReload()
{
    LoadList();
}

void CPassbookLossPage::OnConfirm()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    int row = -1;
    for (int r = 1; r < grid_->GetRowCount(); ++r) {
        if (grid_->IsRowSelected(r) && !grid_->GetItemText(r, ColAccount).isEmpty()) {
            row = r;
            break;
        }
    }
    if (row < 0) {
        ShowMsg(screen_, QStringLiteral("예금통장을 선택하십시요"), false);
        return;
    }
    const std::optional<QString> typed = kit::KeypadText(screen_, QStringLiteral("계좌 비밀번호"), 3, 4);
    if (!typed)
        return;
    password_ = *typed;
    const QString user = screen_->User() ? screen_->User()->GetUserID() : QString();
    const QString query = BuildQueryR002(user, DigitsOnly(grid_->GetItemText(row, ColAccount)), password_);
    KitRequest request = screen_->Request(screen_);
    QString reply;
    const bool ok = request.SendPlain(query, reply, /*showSuccess=*/true);
    // The password never outlives one report.
    password_.clear();
    if (ok)
        LoadList();
}
