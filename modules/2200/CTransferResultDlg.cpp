#include "CTransferResultDlg.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "Modal.h"
#include "KitGrid.h"
#include "KitReply.h"

CTransferResultDlg::CTransferResultDlg(QWidget* parent, const QString& reply) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CTransferResultDlg"));
    setWindowTitle(QStringLiteral("이체결과확인"));
    kit::AddDialogTitle(this, QStringLiteral("이체결과확인"), QStringLiteral("resultTitle"));

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("resultGrid"));
    grid_->setGeometry(3, 28, 234, 230);

    auto* ok = new CBmpButton(this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    ok->setGeometry(97, 264, 45, 24);
    connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);

    const QStringList f = kit::FreeFields(reply, 11);
    if (!f.isEmpty())
        kit::LayoutLabelGrid(grid_,
                                  {QStringLiteral("이체일자"), QStringLiteral("출금계좌번호"), QStringLiteral("입금은행"),
                                   QStringLiteral("입금계좌번호"), QStringLiteral("보내는분"), QStringLiteral("받는분"),
                                   QStringLiteral("거래금액"), QStringLiteral("수수료"), QStringLiteral("거래후잔액"),
                                   QStringLiteral("집금번호")},
                                  {f[4], f[0], f[1], f[6], f[8], f[2], f[7], f[9], f[5], f[3]}, 90);
}

CTransferResultDlg::~CTransferResultDlg() = default;

int CTransferResultDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}
