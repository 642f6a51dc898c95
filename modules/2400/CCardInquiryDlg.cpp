#include "CCardInquiryDlg.h"

#include <QComboBox>
#include <QTimer>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CQV.h"
#include "CTVPB2400.h"
#include "CUserInfo.h"
#include "KitDates.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitRequest.h"
#include "Modal.h"

namespace {
const QString kCustomer = QStringLiteral("고객명: ");
const QString kBranch = QStringLiteral("영업점: ");
} // namespace

CCardInquiryDlg::CCardInquiryDlg(CTVPB2400* screen, const QString& title, const QString& card,
                                 const QString& password, bool paged)
    : platform::DialogBase(screen), screen_(screen), card_(card), password_(password), paged_(paged)
{
    setWindowTitle(title);
    auto* heading = kit::AddDialogTitle(this, title, QStringLiteral("inquiryTitle"));
    heading->setGeometry(0, 0, 186, 24);

    auto* cardLabel = new CColorStatic(QStringLiteral("카드"), this);
    cardLabel->SetBkColor(RGB(192, 192, 192));
    cardLabel->SetTextColor(RGB(0, 0, 0));
    cardLabel->SetAlignment(DT_CENTER | DT_VCENTER);
    cardLabel->setGeometry(2, 26, 34, 22);
    cardList_ = new QComboBox(this);
    cardList_->setObjectName(QStringLiteral("cardList"));
    cardList_->setGeometry(38, 26, 148, 22);
    // A whole card number ("9410-2001-3456-7801") beside the drop-down button.
    QFont small = cardList_->font();
    small.setPixelSize(11);
    cardList_->setFont(small);
    cardList_->addItem(card_);
    cardList_->setCurrentIndex(0);

    customer_ = new CColorStatic(kCustomer, this);
    customer_->setObjectName(QStringLiteral("customer"));
    customer_->setGeometry(2, 50, 110, 18);
    branch_ = new CColorStatic(kBranch, this);
    branch_->setObjectName(QStringLiteral("branch"));
    branch_->setGeometry(114, 50, 124, 18);

    auto* close = new CBmpButton(this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_5024.bmp"), QStringLiteral("BMP\\닫기_5024_d.bmp"), QString());
    close->setGeometry(188, 26, 50, 24);
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);

    if (paged_) {
        auto* first = new CBmpButton(this);
        first->setObjectName(QStringLiteral("btnFirst"));
        first->LoadBitmap(QStringLiteral("BMP\\이전으로_3224.bmp"), QStringLiteral("BMP\\이전으로_3224_d.bmp"),
                          QString());
        first->setGeometry(138, 268, 32, 24);
        connect(first, &QAbstractButton::clicked, this, &CCardInquiryDlg::OnQuery);
        next_ = new CBmpButton(this);
        next_->setObjectName(QStringLiteral("btnNext"));
        next_->LoadBitmap(QStringLiteral("BMP\\뒤로_3224.bmp"), QStringLiteral("BMP\\뒤로_3224_d.bmp"),
                          QStringLiteral("BMP\\뒤로_D3224.bmp"));
        next_->setGeometry(172, 268, 32, 24);
        next_->EnableWindow(FALSE);
        connect(next_, &QAbstractButton::clicked, this, &CCardInquiryDlg::OnNextPage);
        auto* none = new CBmpButton(this);
        none->setObjectName(QStringLiteral("btnNone"));
        none->LoadBitmap(QStringLiteral("BMP\\앞으로_D3224.bmp"), QString(), QString());
        none->setGeometry(206, 268, 32, 24);
    } else {
        auto* query = new CBmpButton(this);
        query->setObjectName(QStringLiteral("btnQuery"));
        query->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
        query->setGeometry(188, 1, 50, 24);
        connect(query, &QAbstractButton::clicked, this, &CCardInquiryDlg::OnQuery);
    }
}

CCardInquiryDlg::~CCardInquiryDlg() = default;

int CCardInquiryDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CCardInquiryDlg::showEvent(QShowEvent* e)
{
    platform::DialogBase::showEvent(e);
    if (queried_)
        return;
    queried_ = true;
    // The query runs once as the dialog opens.
    QTimer::singleShot(0, this, [this] { run(QStringLiteral("000")); });
}

QString CCardInquiryDlg::CustomerText() const
{
    return customer_->text();
}

QString CCardInquiryDlg::BranchText() const
{
    return branch_->text();
}

QString CCardInquiryDlg::CardDigits() const
{
    return DigitsOnly(cardList_->currentText());
}

QString CCardInquiryDlg::UserId() const
{
    return screen_->User() ? screen_->User()->GetUserID() : QString();
}

void CCardInquiryDlg::SetCustomer(const QString& name, const QString& branch)
{
    customer_->SetWindowText(kCustomer + name);
    branch_->SetWindowText(kBranch + branch);
}

void CCardInquiryDlg::SetKey(const QString& key)
{
    key_ = kit::ContinuationKey(key);
    if (next_)
        next_->EnableWindow(kit::HasNextPage(key_));
}

void CCardInquiryDlg::run(const QString& key)
{
    CQV* session = screen_->Session();
    if (session && session->IsInUsing())
        return;
    if (cardList_->currentIndex() < 0)
        return;
    SetCustomer({}, {});
    ClearValues();
    // Until a reply says otherwise there is no further page.
    SetKey(QStringLiteral("000"));
    Query(key);
}

void CCardInquiryDlg::OnQuery()
{
    run(QStringLiteral("000"));
}

void CCardInquiryDlg::OnNextPage()
{
    if (!kit::HasNextPage(key_))
        return;
    run(kit::NextPageKey(key_));
}

bool CCardInquiryDlg::Send(const QString& query, QString& reply)
{
    KitRequest request = screen_->Request(this);
    return request.SendPlain(query, reply, false);
}
