#include "CScheduleDetailDlg.h"

#include "CGridCtrl.h"
#include "Modal.h"
#include "KitGrid.h"

CScheduleDetailDlg::CScheduleDetailDlg(QWidget* parent, const QStringList& values) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CScheduleDetailDlg"));
    setWindowTitle(QStringLiteral("예약이체상세"));
    grid_ = kit::BuildDetailFrame(this, QStringLiteral("예약이체 상세"), 206);

    kit::LayoutLabelGrid(grid_,
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
