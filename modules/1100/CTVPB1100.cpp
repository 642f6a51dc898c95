#include "CTVPB1100.h"

#include <QFocusEvent>

#include "CSettingDlg.h"
#include "LoginSettings.h"
#include <ConnectNetwork.h>

#include <CBmpButton.h>
#include <DeviceFrame.h>
#include <CColorStatic.h>
#include <CQVParser.h>
#include <CRasEx.h>
#include <CUserInfo.h>
#include <Modal.h>
#include <ModuleSwitch.h>
#include <QueryValue.h>
#include <Services.h>

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>

using platform::messageBox;

namespace {

CBmpButton* makeButton(QWidget* parent, const char* name, const QString& image, int x, int y, int w, int h)
{
    auto* b = new CBmpButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    QString pressed = image;
    pressed.replace(QStringLiteral(".bmp"), QStringLiteral("_d.bmp"));
    b->LoadBitmap(image, pressed, QString());
    b->setGeometry(x, y, w, h);
    return b;
}

} // namespace

CTVPB1100::CTVPB1100(QWidget* parent) : platform::DialogBase(parent), shell_(parent)
{
    setObjectName(QStringLiteral("CTVPB1100"));
    setWindowTitle(QStringLiteral("로그인"));
    buildScreen();
    storeId_->setChecked(login::LoadStoreIDOption());
    userId_->setText(login::LoadUserID());
    password_->clear();
}

CTVPB1100::~CTVPB1100() = default;

void CTVPB1100::buildScreen()
{
    setFixedSize(platform::kScreenWidth, platform::kWorkAreaHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(182, 197, 225)); // dialog brush
    setPalette(pal);
    setAutoFillBackground(true);

    auto* background = new QLabel(this);
    background->setObjectName(QStringLiteral("background"));
    background->setGeometry(0, 0, platform::kScreenWidth, platform::kWorkAreaHeight);
    background->setPixmap(QPixmap(platform::programFile(QStringLiteral("BMP\\start_bg.bmp"))));

    idLabel_ = new CColorStatic(QStringLiteral("이용자ID"), this);
    idLabel_->setObjectName(QStringLiteral("label1004"));
    idLabel_->SetBkColor(RGB(192, 255, 255));
    idLabel_->SetTextColor(RGB(0, 0, 0));
    idLabel_->SetAlignment(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    idLabel_->setGeometry(18, 90, 64, 22);

    userId_ = new QLineEdit(this);
    userId_->setObjectName(QStringLiteral("edit1001"));
    userId_->setGeometry(88, 90, 132, 22);

    pwLabel_ = new CColorStatic(QStringLiteral("비밀번호"), this);
    pwLabel_->setObjectName(QStringLiteral("label1005"));
    pwLabel_->SetBkColor(RGB(192, 255, 255));
    pwLabel_->SetTextColor(RGB(0, 0, 0));
    pwLabel_->SetAlignment(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pwLabel_->setGeometry(18, 117, 64, 22);

    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("edit1002"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setGeometry(88, 117, 132, 22);

    storeId_ = new QCheckBox(QStringLiteral("이용자 ID 저장"), this);
    storeId_->setObjectName(QStringLiteral("check135"));
    // Drawn on RGB(0,148,210); white text keeps it readable there.
    storeId_->setStyleSheet(QStringLiteral("QCheckBox { background-color: rgb(0,148,210); color: white; }"));
    storeId_->setGeometry(88, 143, 132, 20);

    loginBtn_ = makeButton(this, "button1006", QStringLiteral("BMP\\로그인_5524.bmp"), 62, 170, 55, 24);
    exitBtn_ = makeButton(this, "button1007", QStringLiteral("BMP\\종료_5524.bmp"), 123, 170, 55, 24);
    quickBtn_ = makeButton(this, "button1008", QStringLiteral("BMP\\스피드조회_9024.bmp"), 25, 204, 90, 24);
    enrolBtn_ = makeButton(this, "button1009", QStringLiteral("BMP\\신규가입_9024.bmp"), 125, 204, 90, 24);
    settingsBtn_ = makeButton(this, "button1010", QStringLiteral("BMP\\환경설정_9024.bmp"), 25, 234, 90, 24);
    noticesBtn_ = makeButton(this, "button1024", QStringLiteral("BMP\\공지사항_9024.bmp"), 125, 234, 90, 24);

    connect(loginBtn_, &CBmpButton::clicked, this, &CTVPB1100::On110001);
    connect(exitBtn_, &CBmpButton::clicked, this, &CTVPB1100::On110002);
    connect(quickBtn_, &CBmpButton::clicked, this, &CTVPB1100::On110003);
    connect(enrolBtn_, &CBmpButton::clicked, this, &CTVPB1100::On110004);
    connect(settingsBtn_, &CBmpButton::clicked, this, &CTVPB1100::On110005);
    connect(noticesBtn_, &CBmpButton::clicked, this, &CTVPB1100::On110006);

    // ID and password are upper-cased as typed.
    connect(userId_, &QLineEdit::textEdited, this, [this] { upperCaseAsTyped(userId_); });
    connect(password_, &QLineEdit::textEdited, this, [this] { upperCaseAsTyped(password_); });
    userId_->installEventFilter(this);
    password_->installEventFilter(this);
}

void CTVPB1100::upperCaseAsTyped(QLineEdit* edit)
{
    const QString upper = edit->text().toUpper();
    if (upper != edit->text()) edit->setText(upper);
    edit->setCursorPosition(upper.size());
}

bool CTVPB1100::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == userId_ || watched == password_) {
        if (event->type() == QEvent::FocusIn) {
            // Entering the password field clears it first. Focus that merely comes
            // back with the window (after a message box) is no entry: the field
            // keeps what it shows, and that is what the next login sends.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (watched == password_ && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                password_->clear();
            platform::setInputPanelVisible(true);
        } else if (event->type() == QEvent::FocusOut) {
            platform::setInputPanelVisible(false);
        }
    }
    return platform::DialogBase::eventFilter(watched, event);
}

int CTVPB1100::SetCommonVar(CQV* session, CRasEx* ras, CUserInfo* user)
{
    session_ = session;
    ras_ = ras;
    user_ = user;
    return 1;
}

void CTVPB1100::SetLocalID(const QString& id)
{
    userId_->setText(id);
}

int CTVPB1100::ConnectNetwork()
{
    return netsettings::ConnectNetwork(this, ras_);
}

void CTVPB1100::On110001()
{
    if (!ConnectNetwork()) return;

    const QString id = userId_->text();
    const QString pw = password_->text();
    // Values are escaped ("%" and "&") so that a typed "&" cannot add a key to the query.
    const QString request = QStringLiteral("useSess=N&trcode=PDA_U001&UserID=%1&UserPwd=%2")
                                .arg(QueryValue(id), QueryValue(pw));
    CQVParser parser(session_);
    QString reply;
    if (!parser.TransData(request, reply, 1, 0)) {
        messageBox(this, reply, QStringLiteral("오류메시지"), platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    QString data;
    if (!parser.GetDataTag(reply, data)) {
        messageBox(this, QStringLiteral("데이터가 불완전합니다.\r\n재시도 해주세요."), QStringLiteral("오류메시지"),
                   platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    QString code, message;
    if (!parser.GetMsgTag(data, code, message)) {
        messageBox(this, QStringLiteral("%1:\r\n%2").arg(code, message), QStringLiteral("메시지"),
                   platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }

    if (user_) {
        const QString sep = QStringLiteral("|");
        const QString tag = QStringLiteral("free0");
        user_->SetUserID(id);
        user_->SetJuminNo(parser.GetTagValue(data, tag, 1, 1, sep));
        user_->SetSecurityWay(parser.GetTagValue(data, tag, 2, 1, sep));
        user_->SetUserName(parser.GetTagValue(data, tag, 3, 1, sep));
        user_->SetUseHiddenAcc(parser.GetTagValue(data, tag, 4, 1, sep));
    }
    login::SaveStoreIDOption(storeId_->isChecked());
    if (storeId_->isChecked()) login::SaveUserID(id);
    platform::playSound(QStringLiteral("Alarm1.wav"));
    chooseNext(2100);
}

void CTVPB1100::On110002()
{
    const int answer = messageBox(this, QStringLiteral("타브린은행 PDA 뱅킹 프로그램을 종료하시겠습니까?"),
                                  QStringLiteral("종료 확인"), platform::MB_YESNO | platform::MB_ICONQUESTION);
    if (answer == platform::IDYES) chooseNext(9999);
}

void CTVPB1100::On110003() { chooseNext(1200); }
void CTVPB1100::On110004() { chooseNext(1300); }
void CTVPB1100::On110006() { chooseNext(3500); }

void CTVPB1100::On110005()
{
    CSettingDlg settings(this, ras_);
    settings.doModal();
}

void CTVPB1100::chooseNext(int code)
{
    // A module that is not installed is not reachable: the user is told and the
    // start screen stays.
    if (code != 2100 && !platform::moduleInstalled(code)) {
        messageBox(this, QString::fromUtf16(platform::kModuleMissingText), QStringLiteral("오류메시지"),
                   platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    nextModule_ = code;
    switchRequested_ = true;
    done(1);
}

bool CTVPB1100::DestroyWindow()
{
    hide();
    if (switchRequested_ && shell_) platform::postModuleSwitch(shell_, nextModule_);
    return true;
}

TVPB_EXPORT_MODULE(CTVPB1100)
