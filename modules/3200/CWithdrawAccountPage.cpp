#include "CWithdrawAccountPage.h"

#include "AccountGrids.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB3200.h"
#include "CWithdrawAccountDlg.h"
#include "KitAmount.h"
#include "KitPrompts.h"
#include "KitReply.h"
#include "Modal.h"

CWithdrawAccountPage::CWithdrawAccountPage(CTVPB3200* screen) : CAccountListPage(IDD, screen) {}

CWithdrawAccountPage::~CWithdrawAccountPage() = default;

BOOL CWithdrawAccountPage::OnInitDialog()
{
    connect(amg::AddButton(this, "btnReload", QStringLiteral("이전으로_3224"), 90, 2, 32), &QAbstractButton::clicked,
            this, &CWithdrawAccountPage::OnReload);
    connect(amg::AddButton(this, "btnRegister", QStringLiteral("등록_4524"), 126, 2, 45), &QAbstractButton::clicked,
            this, &CWithdrawAccountPage::OnRegister);
    connect(amg::AddButton(this, "btnDelete", QStringLiteral("삭제_4524"), 175, 2, 45), &QAbstractButton::clicked,
            this, &CWithdrawAccountPage::OnDelete);
    grid_ = addListGrid("withdrawGrid");
    // The other accounts: kept in a grid of their own, never shown.
    other_ = addListGrid("otherAccountGrid");
    other_->hide();
    amg::LayoutWithdrawalGrid(grid_, 0);
    amg::LayoutWithdrawalGrid(other_, 0);
    return TRUE;
}

QString CWithdrawAccountPage::listQuery() const
{
    return QStringLiteral("encrypt=1&trcode=PDA_A003&UserID=%s");
}

void CWithdrawAccountPage::showList(const QString& reply)
{
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
}

void CWithdrawAccountPage::LoadFirst()
{
    load(/*checkBusy=*/false, /*emptyOnFailure=*/true);
}

void CWithdrawAccountPage::OnRegister()
{
    if (busy())
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
    if (busy())
        return;
    const int row = selectedRowOrAsk();
    if (row < 0)
        return;
    CWithdrawAccountDlg dlg(screen_, CWithdrawAccountDlg::Delete, grid_, row);
    if (dlg.DoModal() == platform::IDOK)
        load(/*checkBusy=*/false, /*emptyOnFailure=*/true);
}
