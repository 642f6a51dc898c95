#include "CIdentifyDlg.h"

#include <QLineEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CNumberKbd.h"
#include "CTVPB1300.h"
#include "EnrolFields.h"
#include "KitKeypad.h"
#include "LoginFreeRequest.h"
#include "Modal.h"
#include "QueryValue.h"

CIdentifyDlg::CIdentifyDlg(CTVPB1300* screen) : platform::DialogBase(screen), screen_(screen)
{
    setObjectName(QStringLiteral("CIdentifyDlg"));
    setWindowTitle(QStringLiteral("신규 가입"));
    enrol::Title(this, QStringLiteral("신규 가입"));
    auto* notice = new CColorStatic(
        QStringLiteral("* 영업점에서 인터넷뱅킹(전자금융)을 신청하신 고객께서는 신청하신 이용자아이디를 정확히 "
                       "입력해 주시기 바랍니다."),
        this);
    notice->setObjectName(QStringLiteral("identifyNotice"));
    notice->SetBkColor(RGB(192, 255, 192));
    notice->SetAlignment(DT_LEFT | DT_VCENTER);
    notice->setWordWrap(true);
    notice->setGeometry(4, 26, 232, 66);

    enrol::Label(this, QStringLiteral("이용자 ID"), 100);
    id_ = enrol::Field(this, "identifyId", 100);
    enrol::UpperCaseAsTyped(id_);
    enrol::Label(this, QStringLiteral("주민등록번호"), 130);
    jumin_ = enrol::Field(this, "identifyJumin", 130);
    enrol::Hint(this, QStringLiteral("( '-' 없이 )"), 156);
    jumin_->setFocusPolicy(Qt::ClickFocus);
    auto* keypad = new kit::KeypadFields(this, this);
    keypad->Add(jumin_, QStringLiteral("주민등록번호"), CNumberKbd::KindNumber, 13, true);

    enrol::Buttons(this, [this] { OnOK(); }, [this] { done(0); });
}

CIdentifyDlg::~CIdentifyDlg() = default;

QString CIdentifyDlg::UserID() const { return id_->text(); }
QString CIdentifyDlg::JuminNo() const { return jumin_->text(); }

void CIdentifyDlg::OnOK()
{
    QString data;
    const QString query = QStringLiteral("useSess=N&trcode=PDA_D001&UserID=%1&CorpJNO=%2")
                              .arg(QueryValue(UserID()), QueryValue(JuminNo()));
    if (!screen_->Send(this, query, data))
        return;
    const QString field = loginfree::Field(screen_->Session(), data, QStringLiteral("free0"), 1);
    bool isNumber = false;
    const int outcome = field.toInt(&isNumber);
    // A reply without the outcome is no permission to go on.
    if (!isNumber) {
        platform::messageBox(this, QStringLiteral("데이터가 불완전합니다.\r\n재시도 해주세요."),
                             QStringLiteral("오류메시지"), platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    const char16_t* text = nullptr;
    switch (outcome) {
    case 0:
    case 5:
        result_ = QString::number(outcome);
        done(1);
        return;
    case 1:
        text = u"비밀번호 등록기간이 경과하셨거나, 이용자 비밀번호 3회 오류입니다.";
        break;
    case 2:
        text = u"기 등록된 이용자 비밀번호가 있습니다.";
        break;
    case 3:
        text = u"영업점에서 신청하신 이용자 아이디와 입력하신 이용자 아이디가 다릅니다.";
        break;
    case 4:
        text = u"다른 이용자가 이미 사용중인 아이디입니다.";
        break;
    case 6:
        text = u"타브린은행에 가입하신 입출금이 자유로운 예금통장이 없는 고객님은 신규가입을 하실 수 없습니다.";
        break;
    default:
        return;
    }
    platform::messageBox(this, QString::fromUtf16(text), QStringLiteral("메시지"),
                         platform::MB_OK | platform::MB_ICONWARNING);
}
