#include "CDepositAccountEditDlg.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include "AccountGrids.h"
#include "CBmpButton.h"
#include "CDepositAccountConfirmDlg.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CTVPB3200.h"
#include "CUserInfo.h"
#include "KitCodeTables.h"
#include "KitFields.h"
#include "KitGrid.h"
#include "KitKeypad.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "Modal.h"
#include "Services.h"

CDepositAccountEditDlg::CDepositAccountEditDlg(CTVPB3200* screen, const Entry& entry, CGridCtrl* registered,
                                               CGridCtrl* others)
    : platform::DialogBase(screen), screen_(screen), entry_(entry), registered_(registered), others_(others)
{
    setObjectName(QStringLiteral("CDepositAccountEditDlg"));
    setWindowTitle(QStringLiteral("입금계좌 등록(수정)"));
    setFocusPolicy(Qt::StrongFocus);
    kit::AddDialogTitle(this, QStringLiteral("입금계좌관리 등록(수정)"), QStringLiteral("depositEditTitle"));

    auto label = [this](const QString& text, int y) {
        auto* l = new QLabel(text, this);
        l->setGeometry(8, y, 80, 24);
    };
    label(QStringLiteral("입금계좌명"), 50);
    name_ = new QLineEdit(entry.nickname, this);
    name_->setObjectName(QStringLiteral("nameEdit"));
    name_->setGeometry(90, 50, 142, 24);
    name_->setMaxLength(20);
    name_->installEventFilter(this);
    label(QStringLiteral("입금은행"), 85);
    bank_ = new QComboBox(this);
    bank_->setObjectName(QStringLiteral("bankList"));
    bank_->setGeometry(90, 85, 142, 24);
    FillZentabCombo(bank_);
    bank_->setCurrentIndex(-1);
    const QString bankName = ZentabNameOf(entry.bankCode);
    if (!bankName.isEmpty())
        for (int i = 0; i < bank_->count(); ++i)
            if (bank_->itemText(i).startsWith(bankName)) {
                bank_->setCurrentIndex(i);
                break;
            }
    label(QStringLiteral("입금계좌번호"), 120);
    account_ = new QLineEdit(entry.accountNo, this);
    account_->setObjectName(QStringLiteral("accountEdit"));
    account_->setGeometry(90, 120, 142, 24);
    keypads_ = new kit::KeypadFields(this, this);
    keypads_->Add(account_, QStringLiteral("입금계좌번호"), CNumberKbd::KindNumber);

    connect(amg::AddButton(this, "btnOk", QStringLiteral("확인_4524"), 70, 170, 45), &QAbstractButton::clicked, this,
            &CDepositAccountEditDlg::OnOk);
    connect(amg::AddButton(this, "btnCancel", QStringLiteral("취소_4524"), 125, 170, 45),
            &QAbstractButton::clicked, this, &CDepositAccountEditDlg::OnCancel);
}

CDepositAccountEditDlg::~CDepositAccountEditDlg()
{
    platform::setInputPanelVisible(false);
}

int CDepositAccountEditDlg::DoModal()
{
    setFocus();
    return doModal() == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

bool CDepositAccountEditDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == name_) {
        if (event->type() == QEvent::FocusIn)
            platform::setInputPanelVisible(true);
        else if (event->type() == QEvent::FocusOut)
            platform::setInputPanelVisible(false);
    }
    return platform::DialogBase::eventFilter(watched, event);
}

QString CDepositAccountEditDlg::inquiringAccount(const QString& depositNo) const
{
    for (CGridCtrl* g : {registered_, others_}) {
        if (!g)
            continue;
        for (int r = 1; r < g->GetRowCount() && !g->GetItemText(r, 0).isEmpty(); ++r) {
            const QString no = kit::WithoutDashes(g->GetItemText(r, amg::WdAccount));
            if (no != depositNo)
                return no;
        }
    }
    return {};
}

void CDepositAccountEditDlg::OnOk()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    const QString nickname = name_->text().trimmed();
    if (nickname.isEmpty()) {
        ShowMsg(this, QStringLiteral("입금계좌명 입력 오류"), false);
        return;
    }
    if (bank_->currentIndex() < 0) {
        ShowMsg(this, QStringLiteral("입금 은행 선택 오류"), false);
        return;
    }
    if (account_->text().isEmpty()) {
        ShowMsg(this, QStringLiteral("입금계좌번호 입력오류"), false);
        return;
    }
    const QString bankCode = ZentabCodeOf(bank_->currentText());
    const QString accountNo = kit::WithoutDashes(account_->text());
    const QString withdrawal = inquiringAccount(accountNo);
    if (withdrawal.isEmpty()) {
        ShowMsg(this, QStringLiteral("출금계좌를 먼저 등록해 주세요"), false);
        return;
    }
    CUserInfo* user = screen_->User();
    const QString userId = user ? user->GetUserID() : QString();
    KitRequest req = screen_->Request(this);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_A007&UserID=%s&ZENTAB=%s&ACCTNO=%s"
                                                  "&NICKNAME=%s&WthrwAccNO=%s"),
                                   {userId, bankCode, accountNo, nickname, withdrawal}),
                       reply, false))
        return;
    // The holder's name is the whole text of the reply's single block.
    QString holder = kit::BlockText(reply, QStringLiteral("free0"));
    if (holder.compare(QLatin1String("null"), Qt::CaseSensitive) == 0 || holder == QLatin1String("Null") ||
        holder == QLatin1String("NULL"))
        holder.clear();
    if (holder.isEmpty()) {
        // Without the bank's holder name nothing may be registered.
        ShowMsg(this, QStringLiteral("예금주를 확인할 수 없습니다.\r\n입금은행과 입금계좌번호를 확인해 주세요"), false);
        return;
    }
    CDepositAccountConfirmDlg confirm(screen_,
                                      {userId, entry_.sqlType, bankCode, accountNo, nickname, holder,
                                       entry_.sqlType == QLatin1String("1") ? QString() : entry_.serial});
    if (confirm.DoModal() == platform::IDOK)
        accept();
}

void CDepositAccountEditDlg::OnCancel()
{
    reject();
}
