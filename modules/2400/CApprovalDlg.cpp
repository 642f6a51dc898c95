#include "CApprovalDlg.h"

#include "CGridCtrl.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitSort.h"

CApprovalDlg::CApprovalDlg(CTVPB2400* screen, const QString& card, const QString& password, const QString& start,
                           const QString& end)
    : CCardInquiryDlg(screen, QStringLiteral("국내승인거래내역"), card, password, /*paged=*/true),
      start_(start), end_(end)
{
    setObjectName(QStringLiteral("CApprovalDlg"));
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("approvalGrid"));
    grid_->setGeometry(0, kBodyTop, 240, 268 - kBodyTop - 2);
    fill({});
}

void CApprovalDlg::ClearValues()
{
    fill({});
}

void CApprovalDlg::fill(const QList<QStringList>& records)
{
    shown_ = static_cast<int>(records.size());
    kit::LayoutTwoRowGrid(grid_,
                          {QStringLiteral("승인일자"), QStringLiteral("가맹점명"), QStringLiteral("매출구분"),
                           QStringLiteral("매출표")},
                          {QStringLiteral("승인시간"), QStringLiteral("승인금액"), QStringLiteral("할부기간"),
                           QStringLiteral("취소일자")},
                          {75, 120, 76, 59}, shown_, kit::Shading::FirstThird);
    grid_->SetRowHeight(0, 21);
    grid_->SetRowHeight(1, 21);
    for (int i = 0; i < shown_; ++i) {
        const QStringList& r = records[i];
        const int top = 2 + 2 * i;
        grid_->SetRowHeight(top, 18);
        grid_->SetRowHeight(top + 1, 18);
        grid_->SetItemText(top, 0, r[0]);
        grid_->SetItemText(top, 1, r[1]);
        grid_->SetItemText(top, 2, r[3]);
        grid_->SetItemText(top, 3, r[5]);
        // Nothing goes under "승인시간".
        grid_->SetItemText(top + 1, 1, r[2]);
        grid_->SetItemText(top + 1, 2, r[4]);
        grid_->SetItemText(top + 1, 3, r[6]);
    }
    grid_->Refresh();
}

void CApprovalDlg::Query(const QString& key)
{
    QString reply;
    if (!Send(BuildQueryC002(UserId(), CardDigits(), Password(), start_, end_, key), reply))
        return;
    const QStringList head = kit::FreeFields(reply, 5);
    SetCustomer(head.value(1), head.value(2));
    SetKey(head.value(4));
    const QList<QStringList> records = kit::ListRecords(reply, 7);
    fill(NewestFirst(records, 0));
    if (records.isEmpty())
        ShowMsg(this, QStringLiteral("조회기간내에 승인내역이 없습니다"), true);
}
