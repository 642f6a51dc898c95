#include "CResultDetailDlg.h"

#include "CGridCtrl.h"
#include "Modal.h"
#include "KitGrid.h"
#include "KitReply.h"

CResultDetailDlg::CResultDetailDlg(QWidget* parent, const QString& reply) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CResultDetailDlg"));
    setWindowTitle(QStringLiteral("이체결과상세"));
    grid_ = kit::BuildDetailFrame(this, QStringLiteral("이체결과 상세"), 230);

    const QStringList f = kit::FreeFields(reply, 9);
    if (f.isEmpty())
        return;
    const QString messageNo = f[7] == QLatin1String("0000000") ? QString() : f[7];
    const qsizetype colon = f[8].indexOf(QLatin1Char(':'));
    const QString result = colon < 0 ? f[8] : f[8].mid(colon + 1);
    kit::LayoutLabelGrid(grid_,
                              {QStringLiteral("이체일"), QStringLiteral("출금계좌"), QStringLiteral("입금은행"),
                               QStringLiteral("입금계좌"), QStringLiteral("거래금액"), QStringLiteral("받는분"),
                               QStringLiteral("수수료"), QStringLiteral("전문번호"), QStringLiteral("결과")},
                              {f[6], f[0], f[2], f[3], f[4], f[1], f[5], messageNo, result}, 90);
}

CResultDetailDlg::~CResultDetailDlg() = default;

int CResultDetailDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}
