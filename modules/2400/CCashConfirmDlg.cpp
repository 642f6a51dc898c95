#include "CCashConfirmDlg.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CQV.h"
#include "CTVPB2400.h"
#include "CUserInfo.h"
#include "CardGrids.h"
#include "CardRecords.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"
#include "SecurityStep.h"

CCashConfirmDlg::CCashConfirmDlg(CTVPB2400* screen, const QString& card, const QString& account,
                                 const QString& password, const QString& amount)
    : platform::DialogBase(screen), screen_(screen), card_(card), account_(account), password_(password),
      amount_(amount)
{
    setObjectName(QStringLiteral("CCashConfirmDlg"));
    setWindowTitle(QStringLiteral("현금서비스이체확인"));
    heading_ = kit::AddDialogTitle(this, QStringLiteral("현금서비스이체확인"), QStringLiteral("confirmTitle"));

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("confirmGrid"));
    grid_->setGeometry(3, 40, 234, 170);

    action_ = new CBmpButton(this);
    action_->setObjectName(QStringLiteral("btnAction"));
    action_->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    action_->setGeometry(68, 230, 45, 24);
    connect(action_, &QAbstractButton::clicked, this, &CCashConfirmDlg::On250001);
    cancel_ = new CBmpButton(this);
    cancel_->setObjectName(QStringLiteral("btnCancel"));
    cancel_->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"), QString());
    cancel_->setGeometry(127, 230, 45, 24);
    connect(cancel_, &QAbstractButton::clicked, this, &CCashConfirmDlg::On250002);

    showRows({QStringLiteral("카드번호"), QStringLiteral("입금계좌"), QStringLiteral("이체금액")},
             {card_, account_, amount_}, {56, 56, 56}, 2);
}

CCashConfirmDlg::~CCashConfirmDlg() = default;

int CCashConfirmDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

QString CCashConfirmDlg::Heading() const
{
    return heading_->text();
}

void CCashConfirmDlg::showRows(const QStringList& labels, const QStringList& values, const QList<int>& heights,
                               int centred)
{
    QList<UINT> formats;
    for (int i = 0; i < labels.size(); ++i)
        formats << (i < centred ? DT_CENTER : DT_RIGHT);
    cards::LayoutValueGrid(grid_, labels, 98, 134, heights, kit::kGridHeaderColour, formats);
    for (int r = 0; r < labels.size(); ++r)
        grid_->SetItemBkColour(r, 1, kit::kGridValueColour);
    cards::SetValues(grid_, values);
}

void CCashConfirmDlg::On250001()
{
    CQV* session = screen_->Session();
    if (session && session->IsInUsing())
        return;
    // What goes out is digits only.
    card_ = DigitsOnly(card_);
    account_ = DigitsOnly(account_);
    if (state_ == Entered)
        check();
    else if (state_ == Checked)
        execute();
}

void CCashConfirmDlg::On250002()
{
    if (state_ == Done)
        accept();
    else
        reject();
}

void CCashConfirmDlg::check()
{
    CUserInfo* user = screen_->User();
    KitRequest request = screen_->Request(this);
    QString reply;
    // The deposit account is always the card's own: the bank code and
    // IpAccNO go out empty whatever the list shows.
    if (!request.SendPlain(BuildQueryC007(user ? user->GetUserID() : QString(), card_, password_,
                                          cards::CashAmount(amount_), QString(), QString()),
                           reply, false))
        return;
    const QStringList f = kit::FreeFields(reply, -1);
    if (f.size() < 5) {
        // Without the bank's check there is nothing to execute.
        ShowMsg(this, QStringLiteral("현금서비스 확인 정보를 받지 못했습니다.\r\n다시 시도해 주십시오."), false);
        return;
    }
    state_ = Checked;
    heading_->SetWindowText(QStringLiteral("현금서비스이체"));
    action_->LoadBitmap(QStringLiteral("BMP\\이체_4524.bmp"), QStringLiteral("BMP\\이체_4524_d.bmp"), QString());
    showRows({QStringLiteral("카드번호"), QStringLiteral("입금계좌"), QStringLiteral("이체금액"),
              QStringLiteral("(전)서비스잔액"), QStringLiteral("수수료")},
             f.mid(0, 5), {34, 33, 34, 33, 34}, 2);
}

void CCashConfirmDlg::execute()
{
    CUserInfo* user = screen_->User();
    SecurityStep step(this, screen_->Session());
    step.SetCardPrompt(QStringLiteral("보안카드 %1번 입력"));
    // A certificate user's request carries the drawn cell number too.
    step.SetCellForBothMeans(true);
    SecurityFields security;
    const SecurityStep::Result r = step.Run(user ? user->GetSecurityWay() : QString(), security);
    cell_ = security.randomNum.toInt();
    if (r != SecurityStep::Ok)
        return;
    KitRequest request = screen_->Request(this);
    QString reply;
    if (!request.SendSigned(BuildQueryC008(user ? user->GetUserID() : QString(), card_, password_,
                                           cards::CashAmount(amount_), QString(), QString(), security.scrtyWay,
                                           security.randomNum, security.secPwd, security.signedMsg),
                            reply, /*showSuccess=*/true))
        return;  // the check layout stays; the button tries again with a new cell
    state_ = Done;
    heading_->SetWindowText(QStringLiteral("현금서비스이체결과"));
    action_->hide();
    cancel_->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    showRows({QStringLiteral("회원명"), QStringLiteral("카드번호"), QStringLiteral("입금계좌"),
              QStringLiteral("이체금액"), QStringLiteral("(후)서비스잔액"), QStringLiteral("수수료")},
             kit::FreeFields(reply, 6), {28, 28, 28, 28, 28, 28}, 3);
}
