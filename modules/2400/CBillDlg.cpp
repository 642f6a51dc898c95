#include "CBillDlg.h"

#include "CGridCtrl.h"
#include "CardGrids.h"
#include "KitQuery.h"
#include "KitReply.h"

CBillDlg::CBillDlg(CTVPB2400* screen, const QString& card, const QString& password, const QString& billingDate)
    : CCardInquiryDlg(screen, QStringLiteral("이용대금청구서"), card, password, /*paged=*/false), date_(billingDate)
{
    setObjectName(QStringLiteral("CBillDlg"));
    total_ = new CGridCtrl(this);
    total_->setObjectName(QStringLiteral("totalGrid"));
    total_->setGeometry(2, kBodyTop, 236, 2 * 20 + 2);
    cards::LayoutValueGrid(total_, {QStringLiteral("총결제금액"), QStringLiteral("결제계좌번호")}, 98, 136,
                           {20, 20}, RGB(181, 178, 181), {DT_RIGHT, DT_CENTER});
    amounts_ = new CGridCtrl(this);
    amounts_->setObjectName(QStringLiteral("amountGrid"));
    amounts_->setGeometry(2, kBodyTop + 44, 236, 10 * 18 + 2);
    cards::LayoutValueGrid(amounts_,
                           {QStringLiteral("일시불 원금"), QStringLiteral("일시불 수수료"),
                            QStringLiteral("현금서비스 원금"), QStringLiteral("현금서비스 수수료"),
                            QStringLiteral("할부 원금"), QStringLiteral("할부 수수료"), QStringLiteral("해외이용 원금"),
                            QStringLiteral("해외이용 수수료"), QStringLiteral("회전결제 원금"),
                            QStringLiteral("회전결제 수수료")},
                           136, 98, QList<int>(10, 18), RGB(192, 192, 192), {DT_RIGHT});
}

void CBillDlg::ClearValues()
{
    cards::ClearValues(total_);
    cards::ClearValues(amounts_);
}

void CBillDlg::Query(const QString&)
{
    QString reply;
    if (!Send(BuildQueryC003(UserId(), CardDigits(), Password(), date_), reply))
        return;
    const QStringList f = kit::FreeFields(reply, 21);
    SetCustomer(f.value(1), f.value(2));
    cards::SetValues(total_, {f.value(3), f.value(5)});
    cards::SetValues(amounts_, f.mid(6, 10));
}
