#include "CInterestConfirmDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CInterestPayDlg.h"
#include "CNumberKbd.h"
#include "CTVPB2300.h"
#include "CUserInfo.h"
#include "KitFields.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "LoanGrid.h"
#include "Modal.h"
#include "SecurityStep.h"

namespace {
const QList<int> kRight = {5, 6, 7};
constexpr int kDepositorRow = 2;

CColorStatic* fieldLabel(QWidget* parent, const QString& text, int y)
{
    auto* label = new CColorStatic(text, parent);
    label->SetBkColor(RGB(192, 192, 192));
    label->SetTextColor(RGB(0, 0, 0));
    label->SetAlignment(DT_LEFT | DT_VCENTER);
    label->setGeometry(3, y, 70, 22);
    return label;
}
} // namespace

CInterestConfirmDlg::CInterestConfirmDlg(CTVPB2300* screen, QWidget* parent, const QString& loanAccount,
                                         const QString& payDate)
    : platform::DialogBase(parent), screen_(screen), loanAccount_(loanAccount), payDate_(payDate)
{
    setObjectName(QStringLiteral("CInterestConfirmDlg"));
    setWindowTitle(QStringLiteral("일반대출이자납입확인"));
    setAutoFillBackground(true);
    setFocusPolicy(Qt::ClickFocus);
    auto* heading = new CColorStatic(QStringLiteral("일반대출이자납입확인"), this);
    heading->setObjectName(QStringLiteral("confirmHeading"));
    heading->SetAlignment(DT_CENTER | DT_VCENTER);
    heading->setGeometry(3, 2, 234, 22);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("dueGrid"));
    grid_->setGeometry(3, 26, 236, 9 * 20 + 2);
    loans::ShowRows(grid_, loans::RecordRows(QString(), loans::InterestDueLabels(), kRight), 20, 98, 136);

    fieldLabel(this, QStringLiteral("  출금계좌"), 212)->setObjectName(QStringLiteral("sourceLabel"));
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("sourceList"));
    source_->setGeometry(75, 212, 162, 22);
    fieldLabel(this, QStringLiteral("  비밀번호"), 237)->setObjectName(QStringLiteral("passwordLabel"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("passwordEdit"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setGeometry(75, 237, 162, 22);

    pay_ = new CBmpButton(this);
    pay_->setObjectName(QStringLiteral("btnPay"));
    pay_->LoadBitmap(QStringLiteral("BMP\\납입_4524.bmp"), QStringLiteral("BMP\\납입_4524_d.bmp"),
                     QStringLiteral("BMP\\납입_D4524.bmp"));
    pay_->setGeometry(68, 264, 45, 24);
    pay_->EnableWindow(FALSE);
    connect(pay_, &QAbstractButton::clicked, this, &CInterestConfirmDlg::OnPay);
    auto* cancel = new CBmpButton(this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"));
    cancel->setGeometry(127, 264, 45, 24);
    connect(cancel, &QAbstractButton::clicked, this, &CInterestConfirmDlg::OnCancel);
    // Two hidden text buttons of the dialog: close (as cancel) and an inert inquiry.
    auto* hiddenClose = new QPushButton(QStringLiteral("닫기"), this);
    hiddenClose->hide();
    connect(hiddenClose, &QAbstractButton::clicked, this, &CInterestConfirmDlg::OnCancel);
    (new QPushButton(QStringLiteral("조회"), this))->hide();

    keypads_ = new kit::KeypadFields(this, this);
    keypads_->Add(password_, QStringLiteral("출금계좌 비밀번호"), CNumberKbd::KindSecret, 4, /*clearFirst=*/true);

    // The interest due on the date; only then the paying accounts.
    CUserInfo* user = screen_->User();
    lastQuery_ = BuildQueryL003(user ? user->GetUserID() : QString(), DigitsOnly(loanAccount_), payDate_);
    KitRequest request = screen_->Request(this);
    request.SetCheckBusy(false);
    QString reply;
    if (request.SendPlain(lastQuery_, reply, false)) {
        loans::ShowRows(grid_, loans::RecordRows(reply, loans::InterestDueLabels(), kRight), 20, 98, 136);
        pay_->EnableWindow(TRUE);
        loadSources();
    }
}

CInterestConfirmDlg::~CInterestConfirmDlg() = default;

int CInterestConfirmDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CInterestConfirmDlg::loadSources()
{
    CUserInfo* user = screen_->User();
    KitRequest request = screen_->Request(this);
    request.SetCheckBusy(false);
    QString reply;
    if (!request.SendPlain(BuildQueryA003(user ? user->GetUserID() : QString()), reply, false))
        return;
    for (const QStringList& f : kit::ListRecords(reply, 5))
        if (f[3] == QLatin1String("1") || f[3] == QLatin1String("3"))
            source_->addItem(f[1]);
    source_->setCurrentIndex(-1);
}

void CInterestConfirmDlg::OnCancel()
{
    reject();
}

void CInterestConfirmDlg::OnPay()
{
    if (!pay_->isEnabled() || KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    if (source_->currentIndex() < 0) {
        ShowMsg(this, QStringLiteral("출금계좌를 선택하세요"), false);
        source_->setFocus();
        return;
    }
    CUserInfo* user = screen_->User();
    SecurityStep step(this, screen_->Session());
    step.SetCardPrompt(QStringLiteral("보안카드 %1번 입력"));
    step.SetCellForBothMeans(true);
    SecurityFields security;
    if (step.Run(user ? user->GetSecurityWay() : QString(), security) != SecurityStep::Ok)
        return;

    CInterestPayDlg::Payment p;
    p.loanAccount = loanAccount_;
    p.sourceAccount = source_->currentText();
    p.password = password_->text();
    p.depositor = grid_->GetItemText(kDepositorRow, 1);
    p.payDate = payDate_;
    p.security = security;
    {
        CInterestPayDlg processing(screen_, this, p);
        processing.DoModal();
    }
    // Whatever the outcome, the confirmation ends with the processing.
    accept();
}
