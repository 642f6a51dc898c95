#include "CCreditLoanDlg.h"

#include "CBmpButton.h"
#include "CTVPB2300.h"
#include "CUserInfo.h"
#include "KitQuery.h"

CCreditLoanDlg::CCreditLoanDlg(CTVPB2300* screen, const QStringList& accounts, int current)
    : CLoanDetailDlg(screen, QStringLiteral("한도대출상세"), QStringLiteral("한도대출 계좌 상세정보"), accounts, current)
{
    setObjectName(QStringLiteral("CCreditLoanDlg"));
    interest_->hide();
    Start();
}

CCreditLoanDlg::~CCreditLoanDlg() = default;

QString CCreditLoanDlg::QueryFor(const QString& digits) const
{
    CUserInfo* user = screen_->User();
    return BuildQueryL006(user ? user->GetUserID() : QString(), digits);
}

QList<loans::DetailRow> CCreditLoanDlg::RowsOf(const QString& reply) const
{
    // Before a query, and for a reply without entries, the grid has one empty row.
    QList<loans::DetailRow> rows = loans::CreditDetailRows(reply);
    if (rows.isEmpty())
        rows.append(loans::DetailRow{});
    return rows;
}
