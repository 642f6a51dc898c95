#include "CArrearsDlg.h"

#include "CGridCtrl.h"
#include "CardGrids.h"
#include "KitQuery.h"
#include "KitReply.h"

namespace {
// Rows with a two-line label are 32 high, the others 20.
QList<int> heightsOf(const QStringList& labels)
{
    QList<int> h;
    for (const QString& l : labels)
        h << (l.contains(QLatin1Char('\n')) ? 32 : 20);
    return h;
}
int sum(const QList<int>& v)
{
    int s = 0;
    for (int x : v)
        s += x;
    return s;
}
} // namespace

CArrearsDlg::CArrearsDlg(CTVPB2400* screen, const QString& card, const QString& password)
    : CCardInquiryDlg(screen, QStringLiteral("연체내역"), card, password, /*paged=*/false)
{
    setObjectName(QStringLiteral("CArrearsDlg"));
    const QStringList sumLabels = {QStringLiteral("결제계좌번호"), QStringLiteral("최초연체일자"),
                                   QStringLiteral("연체금액"), QStringLiteral("금일청구\n미결제금"),
                                   QStringLiteral("금일결제\n전체금액")};
    sums_ = new CGridCtrl(this);
    sums_->setObjectName(QStringLiteral("sumGrid"));
    const QList<int> sumHeights = heightsOf(sumLabels);
    sums_->setGeometry(2, kBodyTop, 236, sum(sumHeights) + 2);
    cards::LayoutValueGrid(sums_, sumLabels, 98, 136, sumHeights, RGB(181, 178, 181),
                           {DT_CENTER, DT_CENTER, DT_RIGHT});
    const QStringList amountLabels = {
        QStringLiteral("일시불\n원금"),   QStringLiteral("수수료"), QStringLiteral("현금서비스\n원금"),
        QStringLiteral("수수료"),         QStringLiteral("할부\n원금"), QStringLiteral("수수료"),
        QStringLiteral("해외이용\n원금"), QStringLiteral("수수료"), QStringLiteral("가지급금\n원금"),
        QStringLiteral("이자"),           QStringLiteral("연회비"), QStringLiteral("합계")};
    amounts_ = new CGridCtrl(this);
    amounts_->setObjectName(QStringLiteral("amountGrid"));
    const int top = kBodyTop + sum(sumHeights) + 4;
    amounts_->setGeometry(2, top, 236, 294 - top - 2);
    cards::LayoutValueGrid(amounts_, amountLabels, 85, 134, heightsOf(amountLabels), RGB(192, 192, 192), {DT_RIGHT});
}

void CArrearsDlg::ClearValues()
{
    cards::ClearValues(sums_);
    cards::ClearValues(amounts_);
}

void CArrearsDlg::Query(const QString&)
{
    QString reply;
    if (!Send(BuildQueryC005(UserId(), CardDigits(), Password()), reply))
        return;
    const QStringList f = kit::FreeFields(reply, 20);
    SetCustomer(f.value(0), f.value(2));
    cards::SetValues(sums_, f.mid(3, 5));
    cards::SetValues(amounts_, f.mid(8, 12));
}
