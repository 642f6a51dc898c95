#include "CDepositAccountConfirmDlg.h"

#include "AccountGrids.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CTVPB3200.h"
#include "KitCodeTables.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "Modal.h"

CDepositAccountConfirmDlg::CDepositAccountConfirmDlg(CTVPB3200* screen, const Values& values)
    : platform::DialogBase(screen), screen_(screen), values_(values)
{
    setObjectName(QStringLiteral("CDepositAccountConfirmDlg"));
    setWindowTitle(QStringLiteral("입금계좌 등록(수정)확인"));
    kit::AddDialogTitle(this, QStringLiteral("입금계좌관리 등록(수정)"), QStringLiteral("depositConfirmTitle"));
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("confirmGrid"));
    grid_->setGeometry(4, 40, 232, 104);
    kit::LayoutLabelGrid(grid_,
                         {QStringLiteral("입금계좌명"), QStringLiteral("입금은행"), QStringLiteral("입금계좌번호"),
                          QStringLiteral("예금주")},
                         {values.nickname, ZentabNameOf(values.bankCode), values.accountNo, values.holder}, 90);
    connect(amg::AddButton(this, "btnOk", QStringLiteral("확인_4524"), 70, 170, 45), &QAbstractButton::clicked, this,
            &CDepositAccountConfirmDlg::OnOk);
    connect(amg::AddButton(this, "btnCancel", QStringLiteral("취소_4524"), 125, 170, 45),
            &QAbstractButton::clicked, this, &CDepositAccountConfirmDlg::OnCancel);
}

CDepositAccountConfirmDlg::~CDepositAccountConfirmDlg() = default;

int CDepositAccountConfirmDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CDepositAccountConfirmDlg::OnOk()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    const Values& v = values_;
    const QString query = FormatQuery(
        QStringLiteral("encrypt=1&trcode=PDA_A002&UserID=%s&SqlType=%s&ZENTAB=%s&ACCTNO=%s&NICKNAME=%s"
                       "&ACCTNAME=%s&IPANO=%s"),
        {v.userId, v.sqlType, v.bankCode, v.accountNo, v.nickname, v.holder, v.serial});
    KitRequest req = screen_->Request(this);
    QString reply;
    if (!req.SendPlain(query, reply, /*showSuccess=*/true))
        return;
    accept();
}

void CDepositAccountConfirmDlg::OnCancel()
{
    reject();
}
