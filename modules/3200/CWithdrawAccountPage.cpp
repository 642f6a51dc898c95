#include "CWithdrawAccountPage.h"

#include "AccountGrids.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CQV.h"
#include "CTVPB3200.h"
#include "CUserInfo.h"
#include "CWithdrawAccountDlg.h"
#include "KitAmount.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"

CWithdrawAccountPage::CWithdrawAccountPage(CTVPB3200* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CWithdrawAccountPage::~CWithdrawAccountPage() = default;

BOOL CWithdrawAccountPage::OnInitDialog()
{
    connect(amg::AddButton(this, "btnReload", QStringLiteral("이전으로_3224"), 90, 2, 32), &QAbstractButton::clicked,
            this, &CWithdrawAccountPage::OnReload);
    connect(amg::AddButton(this, "btnRegister", QStringLiteral("등록_4524"), 126, 2, 45), &QAbstractButton::clicked,
            this, &CWithdrawAccountPage::OnRegister);
    connect(amg::AddButton(this, "btnDelete", QStringLiteral("삭제_4524"), 175, 2, 45), &QAbstractButton::clicked,
            this, &CWithdrawAccountPage::OnDelete);
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("withdrawGrid"));
    grid_->setGeometry(0, 30, 238, 208);
    // The other accounts: kept in a grid of their own, never shown.
    other_ = new CGridCtrl(this);
    other_->setObjectName(QStringLiteral("otherAccountGrid"));
    other_->setGeometry(0, 30, 238, 208);
    other_->hide();
    amg::LayoutWithdrawalGrid(grid_, 0);
    amg::LayoutWithdrawalGrid(other_, 0);
    return TRUE;
}

bool CWithdrawAccountPage::load(bool checkBusy, bool emptyOnFailure)
{
    CUserInfo* user = screen_->User();
    KitRequest req = screen_->Request(screen_);
    req.SetCheckBusy(checkBusy);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_A003&UserID=%s"),
                                   {user ? user->GetUserID() : QString()}),
                       reply, false)) {
        if (emptyOnFailure && !req.WasBusy()) {
            registered_ = others_ = 0;
            amg::LayoutWithdrawalGrid(grid_, 0);
            amg::LayoutWithdrawalGrid(other_, 0);
        }
        return false;
    }
    // A registered account hidden from the inquiry screens (flag "3") is still
    // registered: it can be deleted and is not offered for registering again.
    QList<QStringList> registered, others;
    for (const QStringList& r : kit::ListRecords(reply, 5)) {
        const QString& flag = r[amg::WdFlag];
        (flag == QLatin1String("1") || flag == QLatin1String("3") ? registered : others).append(r);
    }
    registered_ = static_cast<int>(registered.size());
    others_ = static_cast<int>(others.size());
    amg::LayoutWithdrawalGrid(grid_, registered_);
    amg::LayoutWithdrawalGrid(other_, others_);
    auto fill = [](CGridCtrl* g, const QList<QStringList>& rows, bool formatted) {
        for (int i = 0; i < rows.size(); ++i)
            for (int c = 0; c < 5; ++c) {
                const bool amount = c == amg::WdBalance;
                g->SetItemText(i + 1, c, amount && formatted ? FormatAmount(rows[i][c]) : rows[i][c]);
            }
        g->Refresh();
    };
    fill(grid_, registered, true);
    fill(other_, others, false);
    return true;
}

void CWithdrawAccountPage::LoadFirst()
{
    load(/*checkBusy=*/false, /*emptyOnFailure=*/true);
}

void CWithdrawAccountPage::OnReload()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    load(/*checkBusy=*/true, /*emptyOnFailure=*/false);
}

void CWithdrawAccountPage::OnRegister()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    if (amg::FilledRows(other_) == 0) {
        ShowMsg(screen_, QStringLiteral("등록할 계좌가 없습니다"), false);
        return;
    }
    CWithdrawAccountDlg dlg(screen_, CWithdrawAccountDlg::Register, other_, -1);
    if (dlg.DoModal() == platform::IDOK)
        load(/*checkBusy=*/false, /*emptyOnFailure=*/false);
}

void CWithdrawAccountPage::OnDelete()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    const int row = kit::FirstSelectedRow(grid_);
    if (row < 0) {
        ShowMsg(screen_, QStringLiteral("계좌를 선택해 주세요"), false);
        return;
    }
    CWithdrawAccountDlg dlg(screen_, CWithdrawAccountDlg::Delete, grid_, row);
    if (dlg.DoModal() == platform::IDOK)
        load(/*checkBusy=*/false, /*emptyOnFailure=*/true);
}
