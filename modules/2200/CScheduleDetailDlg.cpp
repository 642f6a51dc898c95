#include "CScheduleDetailDlg.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "Modal.h"
#include "TransferRecords.h"

CScheduleDetailDlg::CScheduleDetailDlg(QWidget* parent, const QStringList& values) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CScheduleDetailDlg"));
    setWindowTitle(QStringLiteral("예약이체상세"));
    setAutoFillBackground(true);

    auto* title = new CColorStatic(QStringLiteral("예약이체 상세"), this);
    title->setObjectName(QStringLiteral("detailTitle"));
    title->SetBkColor(transfer::kTitleColour);
    title->SetAlignment(DT_CENTER | DT_VCENTER);
    title->setGeometry(3, 3, 234, 20);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("detailGrid"));
    grid_->setGeometry(3, 28, 234, 206);

    auto* close = new CBmpButton(this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_5024.bmp"), QStringLiteral("BMP\\닫기_5024_d.bmp"), QString());
    close->setGeometry(95, 264, 50, 24);
    connect(close, &QAbstractButton::clicked, this, &QDialog::accept);

    transfer::LayoutLabelGrid(grid_,
                              {QStringLiteral("이체일"), QStringLiteral("출금계좌"), QStringLiteral("입금은행"),
                               QStringLiteral("입금계좌"), QStringLiteral("거래금액"), QStringLiteral("받는분"),
                               QStringLiteral("예약번호"), QStringLiteral("결과")},
                              values, 90);
}

CScheduleDetailDlg::~CScheduleDetailDlg() = default;

int CScheduleDetailDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}
