#include "CInterestDlg.h"

#include <QDateEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CInterestConfirmDlg.h"
#include "CTVPB2300.h"
#include "CUserInfo.h"
#include "KitDates.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "LoanGrid.h"
#include "Modal.h"
#include "Services.h"

CInterestDlg::CInterestDlg(CTVPB2300* screen, QWidget* parent, const QString& loanAccount)
    : platform::DialogBase(parent), screen_(screen), loanAccount_(loanAccount)
{
    setObjectName(QStringLiteral("CInterestDlg"));
    setWindowTitle(QStringLiteral("일반대출이자"));
    setAutoFillBackground(true);
    auto* heading = new CColorStatic(QStringLiteral("일반대출 계좌 이자조회"), this);
    heading->setObjectName(QStringLiteral("interestHeading"));
    heading->SetAlignment(DT_LEFT | DT_VCENTER);
    heading->setGeometry(3, 2, 168, 24);

    auto* close = new CBmpButton(this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_4524.bmp"), QStringLiteral("BMP\\닫기_4524_d.bmp"));
    close->setGeometry(193, 2, 45, 24);
    connect(close, &QAbstractButton::clicked, this, &CInterestDlg::OnClose);
    pay_ = new CBmpButton(this);
    pay_->setObjectName(QStringLiteral("btnPay"));
    pay_->LoadBitmap(QStringLiteral("BMP\\이자납입_6524.bmp"), QStringLiteral("BMP\\이자납입_6524_d.bmp"),
                     QStringLiteral("BMP\\이자납입_D6524.bmp"));
    pay_->setGeometry(173, 26, 65, 24);
    pay_->EnableWindow(FALSE);
    connect(pay_, &QAbstractButton::clicked, this, &CInterestDlg::OnPay);

    auto* label = new CColorStatic(QStringLiteral("납 입 일"), this);
    label->setObjectName(QStringLiteral("dateLabel"));
    label->SetAlignment(DT_CENTER | DT_VCENTER);
    label->setGeometry(3, 27, 52, 22);
    date_ = kit::MakeDatePicker(this, QStringLiteral("payDate"), platform::now().date());
    date_->setGeometry(57, 27, 110, 22);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("interestGrid"));
    grid_->setGeometry(3, 53, 236, 10 * 23 + 2);
    const QList<loans::DetailRow> empty = loans::RecordRows(QString(), loans::InterestPositionLabels(), {2, 3});
    loans::ShowRows(grid_, empty, 23, 102, 132);

    // The position of the loan as listed (with its "-").
    CUserInfo* user = screen_->User();
    lastQuery_ = BuildQueryL007(user ? user->GetUserID() : QString(), loanAccount_);
    KitRequest request = screen_->Request(this);
    request.SetCheckBusy(false);
    QString reply;
    if (request.SendPlain(lastQuery_, reply, false)) {
        loans::ShowRows(grid_, loans::RecordRows(reply, loans::InterestPositionLabels(), {2, 3}), 23, 102, 132);
        pay_->EnableWindow(TRUE);
    }
}

CInterestDlg::~CInterestDlg() = default;

int CInterestDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CInterestDlg::OnClose()
{
    accept();
}

void CInterestDlg::OnPay()
{
    if (!pay_->isEnabled() || KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    CInterestConfirmDlg confirm(screen_, this, loanAccount_, kit::Ymd(date_->date()));
    confirm.DoModal();
}
