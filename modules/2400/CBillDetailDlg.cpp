#include "CBillDetailDlg.h"

#include "CGridCtrl.h"
#include "CardGrids.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitSort.h"

CBillDetailDlg::CBillDetailDlg(CTVPB2400* screen, const QString& card, const QString& password,
                               const QString& billingDate)
    : CCardInquiryDlg(screen, QStringLiteral("이용대금청구명세"), card, password, /*paged=*/true), date_(billingDate)
{
    setObjectName(QStringLiteral("CBillDetailDlg"));
    total_ = new CGridCtrl(this);
    total_->setObjectName(QStringLiteral("totalGrid"));
    total_->setGeometry(2, kBodyTop, 236, 2 * 18 + 2);
    cards::LayoutValueGrid(total_, {QStringLiteral("총결제금액"), QStringLiteral("결제계좌번호")}, 98, 136,
                           {18, 18}, RGB(181, 178, 181), {DT_RIGHT, DT_CENTER});
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("itemGrid"));
    grid_->setGeometry(0, kBodyTop + 40, 240, 268 - kBodyTop - 42);
    fill({});
}

void CBillDetailDlg::ClearValues()
{
    cards::ClearValues(total_);
    fill({});
}

void CBillDetailDlg::fill(const QList<QStringList>& records)
{
    const int n = static_cast<int>(records.size());
    kit::LayoutTwoRowGrid(grid_,
                          {QStringLiteral("이용일자"), QStringLiteral("청구금액"), QStringLiteral("매출구분"),
                           QStringLiteral("할부금액")},
                          {QStringLiteral("가맹점명"), QStringLiteral("수수료"), QStringLiteral("할부회차"),
                           QStringLiteral("할부잔액")},
                          n > 0 ? QList<int>{124, 64, 76, 59} : QList<int>{80, 64, 76, 59}, n,
                          kit::Shading::FirstThird);
    grid_->SetRowHeight(0, 21);
    grid_->SetRowHeight(1, 21);
    for (int i = 0; i < n; ++i) {
        const QStringList& r = records[i];
        const int top = 2 + 2 * i;
        grid_->SetRowHeight(top, 18);
        grid_->SetRowHeight(top + 1, 18);
        grid_->SetItemText(top, 0, r[0]);
        grid_->SetItemText(top, 1, r[3]);
        grid_->SetItemText(top, 2, r[2]);
        grid_->SetItemText(top, 3, r[6]);
        grid_->SetItemText(top + 1, 0, r[1]);
        grid_->SetItemText(top + 1, 1, r[4]);
        grid_->SetItemText(top + 1, 2, r[5]);
        grid_->SetItemText(top + 1, 3, r[7]);
    }
    grid_->Refresh();
}

void CBillDetailDlg::Query(const QString& key)
{
    QString reply;
    if (!Send(BuildQueryC004(UserId(), CardDigits(), Password(), date_, key), reply))
        return;
    const QStringList head = kit::FreeFields(reply, 7);
    SetCustomer(head.value(1), head.value(2));
    cards::SetValues(total_, {head.value(3), head.value(5)});
    SetKey(head.value(6));
    fill(NewestFirst(kit::ListRecords(reply, 8), 0));
}
