#include "CQuickAccountPage.h"

#include <QLineEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CNumberKbd.h"
#include "CQuickResultDlg.h"
#include "CTVPB1200.h"
#include "KitKeypad.h"
#include "LoginFreeRequest.h"

namespace {

CColorStatic* makeLabel(QWidget* parent, const QString& text, int x, int y, int w)
{
    auto* l = new CColorStatic(text, parent);
    l->SetBkColor(RGB(192, 255, 255));
    l->SetAlignment(DT_CENTER | DT_VCENTER);
    l->setGeometry(x, y, w, 24);
    return l;
}

} // namespace

CQuickAccountPage::CQuickAccountPage(CTVPB1200* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CQuickAccountPage::~CQuickAccountPage() = default;

BOOL CQuickAccountPage::OnInitDialog()
{
    makeLabel(this, QStringLiteral("계좌번호"), 8, 30, 80);
    account_ = new QLineEdit(this);
    account_->setObjectName(QStringLiteral("quickAccount"));
    account_->setGeometry(92, 30, 140, 24);
    auto* hint = new CColorStatic(QStringLiteral("( '-' 없이 )"), this);
    hint->setObjectName(QStringLiteral("quickAccountHint"));
    hint->SetAlignment(DT_RIGHT | DT_VCENTER);
    hint->setGeometry(92, 56, 140, 18);
    makeLabel(this, QStringLiteral("계좌비밀번호"), 8, 84, 80);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("quickPassword"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setGeometry(92, 84, 140, 24);

    // Both fields take their values from the keypad only, emptied first; a
    // tap opens it (no field holds the focus when the page opens).
    account_->setFocusPolicy(Qt::ClickFocus);
    password_->setFocusPolicy(Qt::ClickFocus);
    auto* keypad = new kit::KeypadFields(this, screen_);
    keypad->Add(account_, QStringLiteral("계좌번호"), CNumberKbd::KindNumber, -1, true);
    keypad->Add(password_, QStringLiteral("계좌비밀번호"), CNumberKbd::KindSecret, 4, true);

    auto* inquiry = new CBmpButton(this);
    inquiry->setObjectName(QStringLiteral("btnQuickInquiry"));
    inquiry->LoadBitmap(QStringLiteral("BMP\\조회_5024.bmp"), QStringLiteral("BMP\\조회_5024_d.bmp"), QString());
    inquiry->SizeToContent();
    inquiry->move(66, 130);
    auto* cancel = new CBmpButton(this);
    cancel->setObjectName(QStringLiteral("btnQuickCancel"));
    cancel->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"), QString());
    cancel->SizeToContent();
    cancel->move(124, 130);
    connect(inquiry, &QAbstractButton::clicked, this, &CQuickAccountPage::On130001);
    connect(cancel, &QAbstractButton::clicked, this, &CQuickAccountPage::On130002);
    return TRUE;
}

void CQuickAccountPage::On130002()
{
    account_->clear();
    password_->clear();
}

void CQuickAccountPage::On130001()
{
    const QString accNo = account_->text();
    const QString pwd = password_->text();
    QString data;
    if (!screen_->Send(screen_, QStringLiteral("useSess=N&trcode=PDA_S001&AccNO=%1&AccPwd=%2").arg(accNo, pwd), 1,
                       data))
        return;
    const QString holder = loginfree::Field(screen_->Session(), data, QStringLiteral("list0"), 2);
    const QString balance = loginfree::Field(screen_->Session(), data, QStringLiteral("list0"), 9);
    CQuickResultDlg dlg(screen_, accNo, pwd, holder, balance);
    dlg.doModal();
}
