#include "CRegisterDlg.h"

#include <QLineEdit>

#include "CColorStatic.h"
#include "CNumberKbd.h"
#include "CTVPB1300.h"
#include "EnrolFields.h"
#include "KitKeypad.h"
#include "LoginFreeRequest.h"
#include "Modal.h"
#include "QueryValue.h"

CRegisterDlg::CRegisterDlg(CTVPB1300* screen, Mode mode, const QString& userId, const QString& juminNo)
    : platform::DialogBase(screen), screen_(screen), mode_(mode), userId_(userId), juminNo_(juminNo)
{
    const bool withAccount = mode == OwnAccount;
    setObjectName(QStringLiteral("CRegisterDlg"));
    const QString caption = withAccount ? QStringLiteral("영업점 미가입고객") : QStringLiteral("영업점 가입 고객");
    setWindowTitle(caption);
    enrol::Title(this, caption);
    auto* intro = new CColorStatic(QStringLiteral("다음 정보를 입력해 주시기 바랍니다."), this);
    intro->SetAlignment(DT_LEFT | DT_VCENTER);
    intro->setGeometry(4, 24, 232, 20);

    int y = 48;
    auto row = [&](const QString& label, const char* name) {
        enrol::Label(this, label, y);
        QLineEdit* e = enrol::Field(this, name, y);
        y += 28;
        return e;
    };
    QLineEdit* id = row(QStringLiteral("이용자 ID"), "registerId");
    id->setText(userId);
    id->setReadOnly(true);
    QLineEdit* jumin = row(QStringLiteral("주민등록번호"), "registerJumin");
    jumin->setText(juminNo);
    jumin->setReadOnly(true);
    auto* keypad = new kit::KeypadFields(this, this);
    if (withAccount) {
        account_ = row(QStringLiteral("통장계좌번호"), "registerAccount");
        enrol::Hint(this, QStringLiteral("('-' 없이)"), y - 4);
        y += 14;
        accountPwd_ = row(QStringLiteral("계좌비밀번호"), "registerAccountPwd");
        accountPwd_->setEchoMode(QLineEdit::Password);
        account_->setFocusPolicy(Qt::ClickFocus);
        accountPwd_->setFocusPolicy(Qt::ClickFocus);
        keypad->Add(account_, QStringLiteral("통장계좌번호"), CNumberKbd::KindNumber, -1, true);
        keypad->Add(accountPwd_, QStringLiteral("계좌비밀번호"), CNumberKbd::KindSecret, 4, true);
    }
    pwd1_ = row(QStringLiteral("비밀번호"), "registerPwd1");
    pwd2_ = row(QStringLiteral("비밀번호확인"), "registerPwd2");
    for (QLineEdit* p : {pwd1_, pwd2_}) {
        p->setEchoMode(QLineEdit::Password);
        p->setMaxLength(8);
        enrol::UpperCaseAsTyped(p);
    }
    enrol::Hint(this, QStringLiteral("(영문,숫자 혼합 4~8자리)"), y - 4);

    enrol::Buttons(this, [this] { OnOK(); }, [this] { done(0); });
}

CRegisterDlg::~CRegisterDlg() = default;

QString CRegisterDlg::BuildQuery() const
{
    // Typed texts are escaped so that no "&" can add a key.
    QString q = QStringLiteral("useSess=N&trcode=%1&UserID=%2&CorpJNO=%3&Pwd1=%4&Pwd2=%5")
                    .arg(mode_ == OwnAccount ? QStringLiteral("PDA_D003") : QStringLiteral("PDA_D002"),
                         QueryValue(userId_), QueryValue(juminNo_), QueryValue(pwd1_->text()),
                         QueryValue(pwd2_->text()));
    if (mode_ == OwnAccount)
        q += QStringLiteral("&accNo=%1&accPwd=%2").arg(QueryValue(account_->text()), QueryValue(accountPwd_->text()));
    return q;
}

void CRegisterDlg::OnOK()
{
    QString data;
    if (!screen_->Send(this, BuildQuery(), data))
        return;
    // The bank's message rides in the reply's msg.
    QString message = loginfree::Field(screen_->Session(), data, QStringLiteral("msg"), 2);
    platform::messageBox(this, QStringLiteral("신규등록결과:\r\n%1").arg(message), QStringLiteral("결과 메시지"),
                         platform::MB_OK | platform::MB_ICONINFORMATION);
    done(1);
}
