#include "CInterestPayDlg.h"

#include <QPushButton>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CTVPB2300.h"
#include "CUserInfo.h"
#include "KitFields.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "LoanGrid.h"
#include "Modal.h"

namespace {
const QList<int> kRight = {6, 8, 9};
} // namespace

QString CInterestPayDlg::BuildQuery(const QString& userId, const Payment& p)
{
    return BuildQueryL004(userId, DigitsOnly(p.sourceAccount), p.password, QStringLiteral("01"),
                          DigitsOnly(p.loanAccount), p.payDate, p.security.scrtyWay, p.security.randomNum,
                          p.security.secPwd, p.security.signedMsg);
}

CInterestPayDlg::CInterestPayDlg(CTVPB2300* screen, QWidget* parent, const Payment& payment)
    : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CInterestPayDlg"));
    setWindowTitle(QStringLiteral("일반대출이자납입처리"));
    setAutoFillBackground(true);
    auto* heading = new CColorStatic(QStringLiteral("일반대출이자납입처리"), this);
    heading->setObjectName(QStringLiteral("payHeading"));
    heading->SetAlignment(DT_CENTER | DT_VCENTER);
    heading->setGeometry(3, 2, 234, 22);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("receiptGrid"));
    grid_->setGeometry(3, 26, 236, 10 * 20 + 2);
    loans::ShowRows(grid_, loans::RecordRows(QString(), loans::ReceiptLabels(), kRight, 1), 20, 98, 136);

    auto* ok = new CBmpButton(this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"));
    ok->setGeometry(97, 264, 45, 24);
    connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    auto* hiddenClose = new QPushButton(QStringLiteral("닫기"), this);
    hiddenClose->hide();
    connect(hiddenClose, &QAbstractButton::clicked, this, &QDialog::accept);
    (new QPushButton(QStringLiteral("확인"), this))->hide();

    CUserInfo* user = screen->User();
    lastQuery_ = BuildQuery(user ? user->GetUserID() : QString(), payment);
    KitRequest request = screen->Request(this);
    request.SetCheckBusy(false);
    QString reply;
    if (!request.SendSigned(lastQuery_, reply, false))
        return;
    paid_ = true;
    if (kit::FreeFields(reply, 9).isEmpty()) {
        // The bank took the payment but sent no receipt: say so, so that an
        // empty receipt is not taken for a failure and paid a second time.
        ShowMsg(this,
                QStringLiteral("이자납입이 처리되었으나 영수증을 받지 못했습니다.\r\n"
                               "다시 납입하지 마시고 거래내역에서 확인하십시오."),
                true);
        return;
    }
    QList<loans::DetailRow> rows = loans::RecordRows(reply, loans::ReceiptLabels(), kRight, 1);
    rows[0].value = payment.depositor;
    loans::ShowRows(grid_, rows, 20, 98, 136);
}

CInterestPayDlg::~CInterestPayDlg() = default;

int CInterestPayDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}
