#include "CWithdrawAccountDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "AccountGrids.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CQV.h"
#include "CTVPB3200.h"
#include "CUserInfo.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "Modal.h"
#include "SecurityStep.h"

CWithdrawAccountDlg::CWithdrawAccountDlg(CTVPB3200* screen, Mode mode, CGridCtrl* source, int row)
    : platform::DialogBase(screen), screen_(screen), mode_(mode)
{
    setObjectName(QStringLiteral("CWithdrawAccountDlg"));
    setWindowTitle(QStringLiteral("출금계좌 등록/삭제"));
    setFocusPolicy(Qt::StrongFocus);
    kit::AddDialogTitle(this, QStringLiteral("출금계좌 등록/삭제"), QStringLiteral("withdrawTitle"));

    auto label = [this](const QString& text, int y) {
        auto* l = new QLabel(text, this);
        l->setGeometry(8, y, 80, 24);
    };
    label(QStringLiteral("출금계좌번호"), 60);
    accounts_ = new QComboBox(this);
    accounts_->setObjectName(QStringLiteral("accountList"));
    accounts_->setGeometry(90, 60, 142, 24);
    label(QStringLiteral("비밀번호"), 100);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("passwordEdit"));
    password_->setGeometry(90, 100, 60, 24);
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(4);
    keypads_ = new kit::KeypadFields(this, this);
    keypads_->Add(password_, QStringLiteral("비밀번호"), CNumberKbd::KindSecret, 4, /*clearFirst=*/true);

    const QString okImage = mode == Register ? QStringLiteral("등록_4524") : QStringLiteral("삭제_4524");
    connect(amg::AddButton(this, "btnOk", okImage, 70, 150, 45), &QAbstractButton::clicked, this,
            &CWithdrawAccountDlg::OnOk);
    connect(amg::AddButton(this, "btnCancel", QStringLiteral("취소_4524"), 125, 150, 45), &QAbstractButton::clicked,
            this, &CWithdrawAccountDlg::OnCancel);

    for (int r = 1; r < source->GetRowCount() && !source->GetItemText(r, 0).isEmpty(); ++r)
        accounts_->addItem(source->GetItemText(r, amg::WdAccount));
    accounts_->setCurrentIndex(mode == Delete && row >= 1 ? row - 1 : -1);
}

CWithdrawAccountDlg::~CWithdrawAccountDlg() = default;

int CWithdrawAccountDlg::DoModal()
{
    setFocus();
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CWithdrawAccountDlg::OnOk()
{
    CQV* session = screen_->Session();
    if (KitRequest::IsBusy(session, screen_->Download()))
        return;
    if (accounts_->currentIndex() < 0)
        return;
    const QString account = kit::WithoutDashes(accounts_->currentText());
    CUserInfo* user = screen_->User();
    const QString way = user ? user->GetSecurityWay() : QString();

    SecurityFields security;
    if (mode_ == Register) {
        SecurityStep step(this, session);
        step.SetCardPrompt(QStringLiteral("보안카드 %1번 입력"));
        const SecurityStep::Result r = step.Run(way, security);
        if (r == SecurityStep::Cancelled && way == QLatin1String("K"))
            ShowMsg(this, QStringLiteral("Empty"), false);
        if (r != SecurityStep::Ok)
            return;
    }
    const QString query = FormatQuery(
        QStringLiteral("encrypt=1&trcode=PDA_A004&UserID=%s&SqlType=%s&ACCTNO=%s&passwd=%s&ScrtyWay=%s"
                       "&RandomNum=%s&SecPwd=%s&SignedMsg=%s"),
        {user ? user->GetUserID() : QString(), QString::number(mode_), account, password_->text(), way,
         security.randomNum, security.secPwd, security.signedMsg});
    KitRequest req = screen_->Request(this);
    QString reply;
    if (!req.SendSigned(query, reply, /*showSuccess=*/true))
        return;
    accept();
}

void CWithdrawAccountDlg::OnCancel()
{
    reject();
}
