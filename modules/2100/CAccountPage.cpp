#include "CAccountPage.h"

#include <algorithm>

#include "CAccountDetailDlg.h"
#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CHistoryPage.h"
#include "CQV.h"
#include "CTVPB2100.h"
#include "CUserInfo.h"
#include "KitAmount.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "KitServerTime.h"

CAccountPage::CAccountPage(CTVPB2100* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CAccountPage::~CAccountPage() = default;

BOOL CAccountPage::OnInitDialog()
{
    userName_ = new CColorStatic(this);
    userName_->setObjectName(QStringLiteral("userName"));
    userName_->SetBkColor(RGB(255, 255, 255));
    userName_->SetTextColor(RGB(0, 0, 0));

    dateTime_ = new CColorStatic(this);
    dateTime_->setObjectName(QStringLiteral("dateTime"));
    dateTime_->SetAlignment(DT_RIGHT | DT_VCENTER);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("accountGrid"));
    connect(grid_, &CGridCtrl::rowTapped, this, &CAccountPage::OnRowTapped);

    detail_ = new CBmpButton(this);
    detail_->setObjectName(QStringLiteral("btnDetail"));
    detail_->LoadBitmap(QStringLiteral("BMP\\계좌상세_6524.bmp"), QStringLiteral("BMP\\계좌상세_6524_d.bmp"), QString());
    connect(detail_, &QAbstractButton::clicked, this, &CAccountPage::On211001);

    reload_ = new CBmpButton(this);
    reload_->setObjectName(QStringLiteral("btnReload"));
    reload_->LoadBitmap(QStringLiteral("BMP\\이전으로_3224.bmp"), QStringLiteral("BMP\\이전으로_3224_d.bmp"), QString());
    connect(reload_, &QAbstractButton::clicked, this, &CAccountPage::On211002);

    layoutControls();
    resetGrid();
    return TRUE;
}

void CAccountPage::resizeEvent(QResizeEvent* e)
{
    CExTabPage::resizeEvent(e);
    layoutControls();
}

void CAccountPage::layoutControls()
{
    if (!grid_)
        return;
    // The page area of the tab control: labels on top, buttons at the bottom.
    const int w = width();
    const int h = height();
    userName_->setGeometry(2, 3, 110, 20);
    dateTime_->setGeometry(114, 3, w - 118, 20);
    grid_->setGeometry(0, 26, w, h - 26 - 29);
    detail_->setGeometry(w - 65 - 32 - 8, h - 26, 65, 24);
    reload_->setGeometry(w - 32 - 4, h - 26, 32, 24);
    if (count_ <= kMinRows)
        grid_->ExpandRowsToFit(FALSE);
}

void CAccountPage::resetGrid()
{
    fillGrid({});
}

void CAccountPage::fillGrid(const QList<inquiry::AccountRecord>& accounts)
{
    const QList<inquiry::AccountRecord> rows = inquiry::GridOrder(accounts);
    count_ = static_cast<int>(rows.size());
    selectedRow_ = -1;
    const bool wide = count_ <= kMinRows;
    kit::LayoutListGrid(grid_,
                        {QStringLiteral("계좌"), QStringLiteral("잔액"), QStringLiteral("종류"), QStringLiteral("코드")},
                        wide ? QList<int>{121, 106, 70, 0} : QList<int>{115, 100, 70, 0},
                        std::max<int>(kMinRows, count_), /*stretch=*/false);
    for (int r = 1; r < grid_->GetRowCount(); ++r)
        grid_->SetItemFormat(r, ColBalance, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    for (int i = 0; i < count_; ++i) {
        const inquiry::AccountRecord& a = rows[i];
        grid_->SetItemText(i + 1, ColAccount, a.number);
        grid_->SetItemText(i + 1, ColBalance, FormatAmount(a.balance));
        grid_->SetItemText(i + 1, ColKind, a.kindName);
        grid_->SetItemText(i + 1, ColCode, a.kindCode);
    }
    // Up to eight accounts the rows share the grid's height.
    if (wide)
        grid_->ExpandRowsToFit(FALSE);
    grid_->Refresh();
}

QString CAccountPage::AccountAt(int row) const
{
    return row >= 1 && row <= count_ ? grid_->GetItemText(row, ColAccount) : QString();
}

QString CAccountPage::CodeAt(int row) const
{
    return row >= 1 && row <= count_ ? grid_->GetItemText(row, ColCode) : QString();
}

void CAccountPage::LoadAccounts(bool reload)
{
    CUserInfo* user = screen_->User();
    if (user)
        userName_->SetWindowText(user->GetUserName());

    KitRequest request = screen_->Request(screen_);
    if (!reload)
        request.SetCheckBusy(false);
    QString reply;
    const QString query = FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_U002&UserID=%s"),
                                      {user ? user->GetUserID() : QString()});
    if (!request.SendPlain(query, reply, false)) {
        if (!reload && !request.WasBusy())
            resetGrid();
        return;
    }
    lastReply_ = reply;
    fillGrid(inquiry::ParseAccounts(reply));
    if (reload && screen_->HistoryPage())
        screen_->HistoryPage()->FillAccounts();
    showServerTime();
}

void CAccountPage::showServerTime()
{
    KitRequest request = screen_->Request(screen_);
    const QString heading = kit::RequestServerTimeHeading(request, screen_->Session());
    if (!heading.isEmpty())
        dateTime_->SetWindowText(heading);
}

void CAccountPage::OnRowTapped(int row)
{
    if (row < 1 || row > count_) {
        // The header and the empty rows below the accounts select nothing.
        if (selectedRow_ > 0)
            grid_->SetSelectedRow(selectedRow_);
        else
            grid_->ClearSelection();
        return;
    }
    selectedRow_ = row;
    grid_->SetSelectedRow(row);
    CHistoryPage* history = screen_->HistoryPage();
    if (!history)
        return;
    const QString code = CodeAt(row);
    if (inquiry::HasHistory(code))
        history->PrepareFor(AccountAt(row), code);
    else
        history->ClearAccount();
}

void CAccountPage::On211001()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    if (selectedRow_ < 1 || selectedRow_ > count_) {
        ShowMsg(screen_, QStringLiteral("계좌를 선택해 주세요"), false);
        return;
    }
    QString reply;
    if (!CAccountDetailDlg::Inquire(screen_, screen_, CodeAt(selectedRow_), AccountAt(selectedRow_), reply))
        return;
    QStringList numbers;
    QStringList codes;
    for (int r = 1; r <= count_; ++r) {
        numbers << AccountAt(r);
        codes << CodeAt(r);
    }
    CAccountDetailDlg dlg(screen_, reply, numbers, codes, selectedRow_ - 1);
    dlg.DoModal();
}

void CAccountPage::On211002()
{
    LoadAccounts(/*reload=*/true);
}
