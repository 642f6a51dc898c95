#include "CTransferConfirmDlg.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CQV.h"
#include "CTVPB2200.h"
#include "CTransferResultDlg.h"
#include "CUserInfo.h"
#include "KitAmount.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"

namespace {
// Echo fields by position.
enum {
    WthrwAccNO, DepstBankNm, RcverNm, CMSCD, IcheExecdate, TranBefBal, DepstAccNO, TranMny, Sender, Charge, IcheType,
    DepstBankCD, AccPwd, PayDaySumBranch, DepstDaySumBranch, TranMode, RsrvExecDay, Seq, IMang, kEchoFields
};
} // namespace

const QStringList& CTransferConfirmDlg::ParameterKeys()
{
    static const QStringList keys = {
        QStringLiteral("UserID"),       QStringLiteral("WthrwAccNO"),      QStringLiteral("DepstBankNm"),
        QStringLiteral("RcverNm"),      QStringLiteral("CMSCD"),           QStringLiteral("IcheExecdate"),
        QStringLiteral("TranBefBal"),   QStringLiteral("DepstAccNO"),      QStringLiteral("TranMny"),
        QStringLiteral("Sender"),       QStringLiteral("Charge"),          QStringLiteral("IcheType"),
        QStringLiteral("DepstBankCD"),  QStringLiteral("AccPwd"),          QStringLiteral("PayDaySumBranch"),
        QStringLiteral("DepstDaySumBranch"), QStringLiteral("TranMode"),   QStringLiteral("RsrvExecDay"),
        QStringLiteral("Seq"),          QStringLiteral("IMang"),           QStringLiteral("ScrtyWay"),
        QStringLiteral("RandomNum"),    QStringLiteral("SecPwd"),          QStringLiteral("SignedMsg")};
    return keys;
}

CTransferConfirmDlg::CTransferConfirmDlg(CTVPB2200* screen, const QString& reply, const QString& phone)
    : platform::DialogBase(screen), screen_(screen), reply_(reply), phone_(phone)
{
    setObjectName(QStringLiteral("CTransferConfirmDlg"));
    setWindowTitle(QStringLiteral("이체처리확인"));
    kit::AddDialogTitle(this, QStringLiteral("이체처리확인"), QStringLiteral("confirmTitle"));

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("confirmGrid"));
    grid_->setGeometry(3, 28, 234, 230);

    auto* execute = new CBmpButton(this);
    execute->setObjectName(QStringLiteral("btnExecute"));
    execute->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    execute->setGeometry(68, 264, 45, 24);
    connect(execute, &QAbstractButton::clicked, this, &CTransferConfirmDlg::OnExecute);
    auto* cancel = new CBmpButton(this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"), QString());
    cancel->setGeometry(127, 264, 45, 24);
    connect(cancel, &QAbstractButton::clicked, this, &CTransferConfirmDlg::OnCancel);

    echo_ = kit::FreeFields(reply_, kEchoFields);
    if (!echo_.isEmpty()) {
        kit::LayoutLabelGrid(
            grid_,
            {QStringLiteral("출금계좌번호"), QStringLiteral("입금계좌번호"), QStringLiteral("거래전잔액(원)"),
             QStringLiteral("입금은행"), QStringLiteral("거래금액(원)"), QStringLiteral("수취인성명"),
             QStringLiteral("송금수수료(원)"), QStringLiteral("집금번호"), QStringLiteral("보내는 분")},
            {echo_[WthrwAccNO], echo_[DepstAccNO], FormatAmount(echo_[TranBefBal]), echo_[DepstBankNm],
             FormatAmount(echo_[TranMny]), echo_[RcverNm], FormatAmount(echo_[Charge]), echo_[CMSCD], echo_[Sender]},
            96);
    }
}

CTransferConfirmDlg::~CTransferConfirmDlg() = default;

int CTransferConfirmDlg::DoModal()
{
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

void CTransferConfirmDlg::OnCancel()
{
    reject();
}

void CTransferConfirmDlg::OnExecute()
{
    CQV* session = screen_->Session();
    if (session && session->IsInUsing())
        return;
    if (echo_.size() != kEchoFields) {
        // Without the bank's echo there is nothing to execute: no empty request
        // goes out, and the user learns why the button does nothing.
        ShowMsg(this, QStringLiteral("이체 확인 정보를 받지 못해 이체할 수 없습니다.\r\n취소 후 다시 시도해 주십시오."),
                false);
        return;
    }
    CUserInfo* user = screen_->User();
    QStringList p;
    p << (user ? user->GetUserID() : QString()) << kit::WithoutDashes(echo_[WthrwAccNO])
      << echo_[DepstBankNm] << echo_[RcverNm] << echo_[CMSCD] << echo_[IcheExecdate] << echo_[TranBefBal]
      << kit::WithoutDashes(echo_[DepstAccNO]) << echo_[TranMny] << echo_[Sender] << echo_[Charge]
      << echo_[IcheType] << echo_[DepstBankCD] << echo_[AccPwd] << echo_[PayDaySumBranch] << echo_[DepstDaySumBranch]
      << echo_[TranMode] << echo_[RsrvExecDay] << echo_[Seq] << echo_[IMang];

    SecurityStep step(this, session);
    step.SetCardPrompt(QStringLiteral("보안카드 %1번 입력"));
    SecurityFields security;
    const SecurityStep::Result r = step.Run(user ? user->GetSecurityWay() : QString(), security);
    cell_ = security.randomNum.toInt();
    if (r != SecurityStep::Ok)
        return;
    p << security.scrtyWay << security.randomNum << security.secPwd << security.signedMsg;
    // The transfer type is always sent empty; account numbers go without "-".
    p[11].clear();
    p[1] = kit::WithoutDashes(p[1]);
    p[7] = kit::WithoutDashes(p[7]);
    params_ = p;

    const QString query = FormatQuery(
        QStringLiteral("encrypt=1&trcode=PDA_T002&UserID=%s&WthrwAccNO=%s&DepstBankNm=%s&RcverNm=%s&CMSCD=%s"
                       "&IcheExecdate=%s&TranBefBal=%s&DepstAccNO=%s&TranMny=%s&Sender=%s&Charge=%s&IcheType=%s"
                       "&DepstBankCD=%s&AccPwd=%s&PayDaySumBranch=%s&DepstDaySumBranch=%s&TranMode=%s&RsrvExecDay=%s"
                       "&Seq=%s&IMang=%s&ScrtyWay=%s&RandomNum=%s&SecPwd=%s&SignedMsg=%s&Phone=%s"),
        {p[0],  p[1],  p[2],  p[3],  p[4],  p[5],  p[6],  p[7],  p[8],  p[9],  p[10], p[11], p[12],
         p[13], p[14], p[15], p[16], p[17], p[18], p[19], p[20], p[21], p[22], p[23], phone_});
    KitRequest request = screen_->Request(this);
    QString reply;
    if (!request.SendSigned(query, reply, /*showSuccess=*/true))
        return;  // the dialog stays for another try or a cancel
    {
        CTransferResultDlg result(this, reply);
        result.DoModal();
    }
    accept();
}
