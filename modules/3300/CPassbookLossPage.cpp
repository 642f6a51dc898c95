#include "CPassbookLossPage.h"

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB3300.h"
#include "CUserInfo.h"
#include "KitFields.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"

namespace {
const QStringList kHeaders = {QStringLiteral("종류"), QStringLiteral("계좌번호"), QStringLiteral("잔액")};
const QList<int> kWidths = {71, 124, 82};
} // namespace

CPassbookLossPage::CPassbookLossPage(CTVPB3300* screen) : CLossListPage(IDD, screen) {}

CPassbookLossPage::~CPassbookLossPage() = default;

BOOL CPassbookLossPage::OnInitDialog()
{
    password_.clear();
    createControls();
    connect(confirm_, &QAbstractButton::clicked, this, &CPassbookLossPage::OnConfirm);
    connect(reload_, &QAbstractButton::clicked, this, &CPassbookLossPage::OnReload);
    cancel_->hide();
    showEmptyList(kHeaders, kWidths);
    return TRUE;
}

void CPassbookLossPage::LoadList()
{
    InitOnce();
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    passbooks_.clear();
    showEmptyList(kHeaders, kWidths);
    KitRequest request = screen_->Request(screen_);
    QString reply;
    const QString user = screen_->User() ? screen_->User()->GetUserID() : QString();
    if (!request.SendPlain(BuildQueryR001(user), reply, false))
        return;
    passbooks_ = loss::ParsePassbooks(reply);
    const int rows = static_cast<int>(passbooks_.size());
    if (rows == 0)
        return;
    layoutList(kHeaders, kWidths, rows);
    for (int i = 0; i < rows; ++i) {
        const int r = i + 1;
        grid_->SetItemText(r, ColType, passbooks_[i].type);
        grid_->SetItemText(r, ColAccount, passbooks_[i].accountNo);
        grid_->SetItemText(r, ColBalance, passbooks_[i].balance);
        grid_->SetItemFormat(r, ColBalance, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    finishList();
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
