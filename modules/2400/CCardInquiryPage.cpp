#include "CCardInquiryPage.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

#include "CApprovalDlg.h"
#include "CArrearsDlg.h"
#include "CAvailableDlg.h"
#include "CBillDetailDlg.h"
#include "CBillDlg.h"
#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CTVPB2400.h"
#include "KitDates.h"
#include "KitPrompts.h"
#include "Services.h"

namespace {
constexpr int kLabelWidth = 56;
constexpr int kFieldX = kLabelWidth + 3;
constexpr int kFieldWidth = 179;
const int kBillingDays[] = {5, 12, 20, 23, 27};
} // namespace

CCardInquiryPage::CCardInquiryPage(CTVPB2400* screen) : CCardEntryPage(IDD, screen, kLabelWidth) {}

CCardInquiryPage::~CCardInquiryPage() = default;

BOOL CCardInquiryPage::OnInitDialog()
{
    int y = 6;
    addLabel(QStringLiteral("  조회구분"), y)->setObjectName(QStringLiteral("lblKind"));
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("kindList"));
    kind_->setGeometry(kFieldX, y, kFieldWidth, kHeight);
    kind_->addItems({QStringLiteral("국내승인거래내역"), QStringLiteral("이용대금청구서"),
                     QStringLiteral("이용대금청구명세"), QStringLiteral("사용가능액"), QStringLiteral("연체내역")});
    kind_->setCurrentIndex(-1);
    connect(kind_, &QComboBox::currentIndexChanged, this, &CCardInquiryPage::OnKindChanged);

    y += kRow;
    addLabel(QStringLiteral("  신용카드"), y)->setObjectName(QStringLiteral("lblCard"));
    addCardList(y, kFieldWidth);

    y += kRow;
    addLabel(QStringLiteral("  비밀번호"), y)->setObjectName(QStringLiteral("lblPassword"));
    addPassword(y);

    y += kRow;
    periodLabel_ = addLabel(QStringLiteral("  조회기간"), y);
    periodLabel_->setObjectName(QStringLiteral("lblPeriod"));
    const QDate today = platform::now().date();
    start_ = kit::MakeDatePicker(this, QStringLiteral("startDate"), today);
    start_->setGeometry(kFieldX, y, 89, kHeight);
    end_ = kit::MakeDatePicker(this, QStringLiteral("endDate"), today);
    end_->setGeometry(kFieldX + 90, y, 89, kHeight);
    year_ = new QComboBox(this);
    year_->setObjectName(QStringLiteral("yearList"));
    year_->setGeometry(kFieldX, y, 62, kHeight);
    for (int yr = today.year() - 1; yr <= today.year() + 1; ++yr)
        year_->addItem(QString::asprintf("%04d", yr));
    month_ = new QComboBox(this);
    month_->setObjectName(QStringLiteral("monthList"));
    month_->setGeometry(kFieldX + 64, y, 46, kHeight);
    for (int m = 1; m <= 12; ++m)
        month_->addItem(QString::asprintf("%02d", m));
    day_ = new QComboBox(this);
    day_->setObjectName(QStringLiteral("dayList"));
    day_->setGeometry(kFieldX + 112, y, 61, kHeight);
    day_->addItems({QStringLiteral("선택"), QStringLiteral("  5일"), QStringLiteral("12일"), QStringLiteral("20일"),
                    QStringLiteral("23일"), QStringLiteral("27일")});
    resetBillingLists();
    year_->hide();
    month_->hide();
    day_->hide();

    y += kRow + 6;
    inquire_ = new CBmpButton(this);
    inquire_->setObjectName(QStringLiteral("btnInquire"));
    inquire_->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
    inquire_->setGeometry(66, y, 50, 24);
    connect(inquire_, &QAbstractButton::clicked, this, &CCardInquiryPage::On243001);
    reset_ = new CBmpButton(this);
    reset_->setObjectName(QStringLiteral("btnReset"));
    reset_->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"), QString());
    reset_->setGeometry(126, y, 45, 24);
    connect(reset_, &QAbstractButton::clicked, this, &CCardInquiryPage::On243002);
    return TRUE;
}

void CCardInquiryPage::resetBillingLists()
{
    const QDate today = platform::now().date();
    year_->setCurrentIndex(1);
    month_->setCurrentIndex(today.month() - 1);
    day_->setCurrentIndex(0);
}

void CCardInquiryPage::FillCards()
{
    fillCardList();
}

void CCardInquiryPage::SelectCard(int index)
{
    if (card_)
        selectCardQuietly(index);
}

void CCardInquiryPage::OnKindChanged(int index)
{
    const QDateTime now = platform::now();
    if (index == Bill || index == BillDetails) {
        periodLabel_->SetWindowText(QStringLiteral("   결 제 일"));
        periodLabel_->show();
        start_->hide();
        end_->hide();
        resetBillingLists();
        year_->show();
        month_->show();
        day_->show();
    } else if (index == Available || index == Arrears) {
        periodLabel_->hide();
        start_->hide();
        end_->hide();
        year_->hide();
        month_->hide();
        day_->hide();
    } else {
        periodLabel_->SetWindowText(QStringLiteral("  조회기간"));
        periodLabel_->show();
        start_->setDate(now.addSecs(-2592000).date());
        end_->setDate(now.date());
        start_->show();
        end_->show();
        year_->hide();
        month_->hide();
        day_->hide();
    }
}

void CCardInquiryPage::On243001()
{
    if (busy())
        return;
    auto refuse = [this](const QString& text, QWidget* focus) {
        ShowMsg(screen_, text, false);
        focus->setFocus();
    };
    if (!cardChosen())
        return;
    const bool billing = !year_->isHidden();
    if (billing && year_->currentIndex() < 0)
        return refuse(QStringLiteral("결제년도 선택오류"), year_);
    if (billing && month_->currentIndex() < 0)
        return refuse(QStringLiteral("결제월 선택오류"), month_);
    if (billing && day_->currentIndex() <= 0)
        return refuse(QStringLiteral("결제일 선택오류"), day_);
    if (!passwordTyped())
        return;
    const QString password = password_->text();

    QString start;
    if (billing)
        start = QString::asprintf("%4s%02d%02d", qPrintable(year_->currentText()), month_->currentIndex() + 1,
                                  kBillingDays[day_->currentIndex() - 1]);
    else
        start = kit::Ymd(start_->date());
    const QString end = kit::Ymd(end_->date());
    lastStart_ = start;
    lastEnd_ = end;
    const QString card = card_->currentText();

    switch (kind_->currentIndex()) {
    case Approvals: {
        CApprovalDlg dlg(screen_, card, password, start, end);
        dlg.DoModal();
        break;
    }
    case Bill: {
        CBillDlg dlg(screen_, card, password, start);
        dlg.DoModal();
        break;
    }
    case BillDetails: {
        CBillDetailDlg dlg(screen_, card, password, start);
        dlg.DoModal();
        break;
    }
    case Available: {
        CAvailableDlg dlg(screen_, card, password);
        dlg.DoModal();
        break;
    }
    case Arrears: {
        CArrearsDlg dlg(screen_, card, password);
        dlg.DoModal();
        break;
    }
    default:
        return refuse(QStringLiteral("조회구분 선택오류"), kind_);
    }
    password_->clear();
}

void CCardInquiryPage::On243002()
{
    password_->clear();
    card_->setCurrentIndex(-1);
    kind_->blockSignals(true);
    kind_->setCurrentIndex(-1);
    kind_->blockSignals(false);
    day_->setCurrentIndex(0);
    const QDate today = platform::now().date();
    start_->setDate(today);
    end_->setDate(today);
    year_->setCurrentIndex(1);
    month_->setCurrentIndex(today.month() - 1);
}
