#include "CPasswordPage.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include "CBmpButton.h"
#include "CTVPB3100.h"
#include "CUserInfo.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "Services.h"

CPasswordPage::CPasswordPage(CTVPB3100* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CPasswordPage::~CPasswordPage()
{
    if (focus_)
        platform::setInputPanelVisible(false);
}

BOOL CPasswordPage::OnInitDialog()
{
    auto row = [this](const QString& label, const char* name, int y, bool secret) {
        auto* l = new QLabel(label, this);
        l->setGeometry(6, y, 100, 24);
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(108, y, 120, 24);
        if (secret) {
            e->setEchoMode(QLineEdit::Password);
            e->setMaxLength(8);
            e->installEventFilter(this);
        }
        return e;
    };
    userId_ = row(QStringLiteral("이용자ID"), "userIdEdit", 20, false);
    userId_->setReadOnly(true);
    current_ = row(QStringLiteral("비밀번호"), "currentEdit", 56, true);
    next_ = row(QStringLiteral("변경후비밀번호"), "newEdit", 92, true);
    repeat_ = row(QStringLiteral("비밀번호재입력"), "repeatEdit", 128, true);
    auto* save = new CBmpButton(this);
    save->setObjectName(QStringLiteral("btnSave"));
    save->LoadBitmap(QStringLiteral("BMP\\저장_4524.bmp"), QStringLiteral("BMP\\저장_4524_d.bmp"), QString());
    save->setGeometry(97, 176, 45, 24);
    connect(save, &QAbstractButton::clicked, this, &CPasswordPage::OnSave);
    userId_->setText(screen_->User() ? screen_->User()->GetUserID() : QString());
    save->setFocus();
    return TRUE;
}

bool CPasswordPage::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && (edit == current_ || edit == next_ || edit == repeat_)) {
        if (event->type() == QEvent::FocusIn) {
            edit->clear();
            focus_ = true;
            platform::setInputPanelVisible(true);
        } else if (event->type() == QEvent::FocusOut) {
            focus_ = false;
            platform::setInputPanelVisible(false);
        }
    }
    return CExTabPage::eventFilter(watched, event);
}

void CPasswordPage::OnSave()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    // The login sends the password in upper case and the bank compares it so:
    // a new password typed in lower case is sent the same way.
    const QString current = current_->text().toUpper();
    const QString next = next_->text().toUpper();
    const QString repeat = repeat_->text().toUpper();
    if (current.isEmpty()) {
        ShowMsg(screen_, QStringLiteral("비밀번호 입력오류"), false);
        return;
    }
    if (next.isEmpty()) {
        ShowMsg(screen_, QStringLiteral("변경후 비밀번호 입력오류"), false);
        return;
    }
    if (repeat.isEmpty()) {
        ShowMsg(screen_, QStringLiteral("재입력 비밀번호 입력오류"), false);
        return;
    }
    if (next != repeat) {
        ShowMsg(screen_, QStringLiteral("변경후 비밀번호와 재입력 비밀번호 불일치"), false);
        next_->clear();
        repeat_->clear();
        return;
    }
    KitRequest req = screen_->Request(screen_);
    QString reply;
    req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_I003&UserID=%s&Pwd=%s&Pwd1=%s"),
                              {userId_->text(), current, next}),
                  reply, /*showSuccess=*/true);
}
