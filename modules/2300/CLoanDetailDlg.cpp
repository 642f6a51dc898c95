#include "CLoanDetailDlg.h"

#include <QComboBox>

#include <algorithm>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CTVPB2300.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitRequest.h"
#include "LoanGrid.h"
#include "Modal.h"

namespace {
constexpr int kGridTop = 52;
} // namespace

CLoanDetailDlg::CLoanDetailDlg(CTVPB2300* screen, const QString& caption, const QString& heading,
                               const QStringList& accounts, int current)
    : platform::DialogBase(screen), screen_(screen)
{
    setWindowTitle(caption);
    setAutoFillBackground(true);
    auto* title = new CColorStatic(heading, this);
    title->setObjectName(QStringLiteral("detailHeading"));
    title->SetAlignment(DT_LEFT | DT_VCENTER);
    title->setGeometry(3, 2, 138, 24);

    auto* label = new CColorStatic(QStringLiteral("계좌"), this);
    label->setObjectName(QStringLiteral("accountLabel"));
    label->SetAlignment(DT_CENTER | DT_VCENTER);
    label->setGeometry(3, 27, 30, 22);
    accounts_ = new QComboBox(this);
    accounts_->setObjectName(QStringLiteral("accountList"));
    accounts_->addItems(accounts);
    accounts_->setCurrentIndex(current >= 0 && current < accounts.size() ? current : -1);
    accounts_->setGeometry(35, 27, 136, 22);

    auto* close = new CBmpButton(this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_4524.bmp"), QStringLiteral("BMP\\닫기_4524_d.bmp"));
    close->setGeometry(193, 2, 45, 24);
    connect(close, &QAbstractButton::clicked, this, &CLoanDetailDlg::OnClose);
    auto* query = new CBmpButton(this);
    query->setObjectName(QStringLiteral("btnQuery"));
    query->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"));
    query->setGeometry(143, 2, 50, 24);
    connect(query, &QAbstractButton::clicked, this, &CLoanDetailDlg::OnQuery);
    interest_ = new CBmpButton(this);
    interest_->setObjectName(QStringLiteral("btnInterest"));
    interest_->LoadBitmap(QStringLiteral("BMP\\이자납입_6524.bmp"), QStringLiteral("BMP\\이자납입_6524_d.bmp"));
    interest_->setGeometry(173, 26, 65, 24);
    // Principal repayment is not offered: the button stays hidden and inert.
    principal_ = new CBmpButton(this);
    principal_->setObjectName(QStringLiteral("btnPrincipal"));
    principal_->LoadBitmap(QStringLiteral("BMP\\원금상환_D6524.bmp"));
    principal_->setGeometry(173, 26, 65, 24);
    principal_->hide();

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("detailGrid"));
}

CLoanDetailDlg::~CLoanDetailDlg() = default;

void CLoanDetailDlg::Start()
{
    showRows(RowsOf(QString()));
    if (accounts_->currentIndex() >= 0)
        OnQuery();
}

int CLoanDetailDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CLoanDetailDlg::showRows(const QList<loans::DetailRow>& rows)
{
    rows_ = rows;
    const int h = RowHeight();
    const int n = static_cast<int>(rows.size());
    grid_->setGeometry(3, kGridTop, 236, std::min(n * h + 2, 294 - kGridTop - 2));
    loans::ShowRows(grid_, rows, h, 98, 136);
}

void CLoanDetailDlg::OnClose()
{
    accept();
}

bool CLoanDetailDlg::ReadyWithAccount()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return false;
    if (accounts_->currentIndex() < 0) {
        ShowMsg(this, QStringLiteral("계좌를 선택하세요"), false);
        accounts_->setFocus();
        return false;
    }
    return true;
}

void CLoanDetailDlg::OnQuery()
{
    if (!ReadyWithAccount())
        return;
    const QString digits = DigitsOnly(accounts_->currentText());
    lastQuery_ = QueryFor(digits);
    showRows(loans::EmptyValues(rows_));
    KitRequest request = screen_->Request(this);
    QString reply;
    if (request.SendPlain(lastQuery_, reply, false))
        showRows(RowsOf(reply));
}
