#include "CAvailableDlg.h"

#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CardGrids.h"
#include "KitQuery.h"
#include "KitReply.h"

CAvailableDlg::CAvailableDlg(CTVPB2400* screen, const QString& card, const QString& password)
    : CCardInquiryDlg(screen, QStringLiteral("사용가능액"), card, password, /*paged=*/false)
{
    setObjectName(QStringLiteral("CAvailableDlg"));
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("availableGrid"));
    // Seven rows of 22 and the two-line one of 32; the special-limit label lies
    // over the label cells of the last four rows, at (2,165).
    const int top = 165 - (3 * 22 + 32);
    grid_->setGeometry(2, top - 1, 236, 7 * 22 + 32 + 2);
    cards::LayoutValueGrid(grid_,
                           {QStringLiteral("총한도"), QStringLiteral("현금서비스 한도"),
                            QStringLiteral("총사용가능금액"), QStringLiteral("현금서비스\n사용가능금액"),
                            QStringLiteral("              기간"), QStringLiteral("              금액"),
                            QStringLiteral("           사용금액"), QStringLiteral("        잔여특별한도")},
                           114, 120, {22, 22, 22, 32, 22, 22, 22, 22}, RGB(181, 178, 181),
                           {DT_RIGHT, DT_RIGHT, DT_RIGHT, DT_RIGHT, DT_CENTER, DT_RIGHT});
    // The special-limit label covers the left of these label cells: their
    // texts keep to the right of it.
    for (int r = 4; r < 8; ++r)
        grid_->SetItemFormat(r, 0, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    auto* special = new CColorStatic(QStringLiteral("\n\n 특별\n 한도"), this);
    special->setObjectName(QStringLiteral("specialLabel"));
    special->SetBkColor(RGB(192, 192, 192));
    special->SetTextColor(RGB(0, 0, 0));
    special->setGeometry(2, 165, 35, 89);
    special->raise();
}

void CAvailableDlg::ClearValues()
{
    cards::ClearValues(grid_);
}

void CAvailableDlg::Query(const QString&)
{
    QString reply;
    if (!Send(BuildQueryC006(UserId(), CardDigits(), Password()), reply))
        return;
    const QStringList f = kit::FreeFields(reply, 12);
    SetCustomer(f.value(0), f.value(1));
    cards::SetValues(grid_, f.mid(4, 8));
}
