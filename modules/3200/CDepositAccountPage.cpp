#include "CDepositAccountPage.h"

#include "AccountGrids.h"
#include "CBmpButton.h"
#include "CDepositAccountEditDlg.h"
#include "CGridCtrl.h"
#include "CTVPB3200.h"
#include "CUserInfo.h"
#include "CWithdrawAccountPage.h"
#include "KitCodeTables.h"
#include "KitFields.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"

CDepositAccountPage::CDepositAccountPage(CTVPB3200* screen, CWithdrawAccountPage* withdrawPage)
    : CAccountListPage(IDD, screen), withdrawPage_(withdrawPage)
{
}

CDepositAccountPage::~CDepositAccountPage() = default;

BOOL CDepositAccountPage::OnInitDialog()
{
    connect(amg::AddButton(this, "btnReload", QStringLiteral("이전으로_3224"), 41, 2, 32), &QAbstractButton::clicked,
            this, &CDepositAccountPage::OnReload);
    connect(amg::AddButton(this, "btnRegister", QStringLiteral("등록_4524"), 76, 2, 45), &QAbstractButton::clicked,
            this, &CDepositAccountPage::OnRegister);
    connect(amg::AddButton(this, "btnModify", QStringLiteral("수정_4524"), 124, 2, 45), &QAbstractButton::clicked,
            this, &CDepositAccountPage::OnModify);
    connect(amg::AddButton(this, "btnDelete", QStringLiteral("삭제_4524"), 172, 2, 45), &QAbstractButton::clicked,
            this, &CDepositAccountPage::OnDelete);
    grid_ = addListGrid("depositGrid");
    amg::LayoutFavouriteGrid(grid_, 0);
    return TRUE;
}

QString CDepositAccountPage::listQuery() const
{
    return QStringLiteral("encrypt=1&trcode=PDA_A001&UserID=%s");
}

void CDepositAccountPage::showList(const QString& reply)
{
    reply_ = reply;
    const QList<QStringList> records = kit::ListRecords(reply_, 6);
    records_ = static_cast<int>(records.size());
    amg::LayoutFavouriteGrid(grid_, records_);
    for (int i = 0; i < records_; ++i) {
        const QStringList& r = records[i];
        grid_->SetItemText(i + 1, amg::FvName, r[1]);
        grid_->SetItemText(i + 1, amg::FvBank, ZentabNameOf(r[0]));
        grid_->SetItemText(i + 1, amg::FvAccount, r[2]);
        grid_->SetItemText(i + 1, amg::FvHolder, r[3]);
        grid_->SetItemText(i + 1, amg::FvSerial, r[4]);
        grid_->SetItemText(i + 1, amg::FvCode, r[0]);
    }
    grid_->Refresh();
}

void CDepositAccountPage::Load()
{
    load(/*checkBusy=*/false, /*emptyOnFailure=*/false);
}

void CDepositAccountPage::edit(const QString& sqlType, int row)
{
    CDepositAccountEditDlg::Entry entry;
    entry.sqlType = sqlType;
    if (row > 0) {
        entry.bankCode = grid_->GetItemText(row, amg::FvCode);
        entry.nickname = grid_->GetItemText(row, amg::FvName);
        entry.accountNo = grid_->GetItemText(row, amg::FvAccount);
        entry.holder = grid_->GetItemText(row, amg::FvHolder);
        entry.serial = grid_->GetItemText(row, amg::FvSerial);
    }
    CDepositAccountEditDlg dlg(screen_, entry, withdrawPage_->Grid(), withdrawPage_->OtherGrid());
    if (dlg.DoModal() == platform::IDOK)
        load(/*checkBusy=*/false, /*emptyOnFailure=*/false);
}

void CDepositAccountPage::OnRegister()
{
    if (busy())
        return;
    edit(QStringLiteral("1"), -1);
}

void CDepositAccountPage::OnModify()
{
    if (busy())
        return;
    const int row = selectedRowOrAsk();
    if (row < 0)
        return;
    edit(QStringLiteral("2"), row);
}

void CDepositAccountPage::OnDelete()
{
    if (busy())
        return;
    const int row = selectedRowOrAsk();
    if (row < 0)
        return;
    CUserInfo* user = screen_->User();
    const QString query = FormatQuery(
        QStringLiteral("encrypt=1&trcode=PDA_A002&UserID=%s&SqlType=%s&ZENTAB=%s&ACCTNO=%s&NICKNAME=%s"
                       "&ACCTNAME=%s&IPANO=%s"),
        {user ? user->GetUserID() : QString(), QStringLiteral("3"), grid_->GetItemText(row, amg::FvCode),
         kit::WithoutDashes(grid_->GetItemText(row, amg::FvAccount)), grid_->GetItemText(row, amg::FvName),
         grid_->GetItemText(row, amg::FvHolder), grid_->GetItemText(row, amg::FvSerial)});
    KitRequest req = screen_->Request(screen_);
    QString reply;
    if (!req.SendPlain(query, reply, /*showSuccess=*/true))
        return;
    load(/*checkBusy=*/false, /*emptyOnFailure=*/true);
}
