#include "CGeneralLoanDlg.h"

#include <QComboBox>

#include "CBmpButton.h"
#include "CInterestDlg.h"
#include "CTVPB2300.h"
#include "CUserInfo.h"
#include "KitQuery.h"

CGeneralLoanDlg::CGeneralLoanDlg(CTVPB2300* screen, const QStringList& accounts, int current)
    : CLoanDetailDlg(screen, QStringLiteral("일반대출상세"), QStringLiteral("일반대출 계좌 상세정보"), accounts, current)
{
    setObjectName(QStringLiteral("CGeneralLoanDlg"));
    connect(interest_, &QAbstractButton::clicked, this, &CGeneralLoanDlg::OnInterest);
    Start();
}

CGeneralLoanDlg::~CGeneralLoanDlg() = default;

QString CGeneralLoanDlg::QueryFor(const QString& digits) const
{
    CUserInfo* user = screen_->User();
    return BuildQueryL002(user ? user->GetUserID() : QString(), digits);
}

QList<loans::DetailRow> CGeneralLoanDlg::RowsOf(const QString& reply) const
{
    return loans::GeneralDetailRows(reply);
}

void CGeneralLoanDlg::OnInterest()
{
    if (!ReadyWithAccount())
        return;
    CInterestDlg dlg(screen_, this, accounts_->currentText());
    dlg.DoModal();
}
