#include "CTVPB1300.h"

#include <QTextEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CEBInfo.h"
#include "CGuideDlg.h"
#include "CIBInfo.h"
#include "CIdentifyDlg.h"
#include "CRegisterDlg.h"
#include "LoginFreeRequest.h"
#include "ModuleCodes.h"
#include "ModuleSwitch.h"
#include "Services.h"

namespace {

CColorStatic* makeText(QWidget* parent, const char* name, const QString& text, int y, int h)
{
    auto* l = new CColorStatic(text, parent);
    l->setObjectName(QLatin1String(name));
    l->SetAlignment(DT_LEFT | DT_VCENTER);
    l->setGeometry(4, y, 232, h);
    return l;
}

QTextEdit* makeTerms(QWidget* parent, const char* name, int y)
{
    auto* t = new QTextEdit(parent);
    t->setObjectName(QLatin1String(name));
    t->setReadOnly(true);
    t->setFont(QFont(t->font().family(), 8));
    t->setGeometry(4, y, 232, 62);
    return t;
}

} // namespace

CTVPB1300::CTVPB1300(QWidget* parent) : CModuleFrame(kit::kModuleEnrolment, parent), shell_(parent)
{
    setWindowTitle(QStringLiteral("신규가입"));
    // Without a login the only way out is the start screen.
    *NextModulePtr() = kit::kModuleLogin;
}

CTVPB1300::~CTVPB1300() = default;

bool CTVPB1300::OnInitDialog()
{
    setAutoFillBackground(true);
    auto* title = new CColorStatic(QStringLiteral("신규 가입"), this);
    title->setObjectName(QStringLiteral("enrolTitle"));
    title->SetBkColor(RGB(128, 255, 255));
    title->SetAlignment(DT_CENTER | DT_VCENTER);
    title->setGeometry(0, 0, 240, 20);
    makeText(this, "enrolGreeting", QStringLiteral("안녕하십니까? 고객님을 환영합니다."), 21, 18);
    makeText(this, "ebCaption", QStringLiteral("전자금융 이용약관"), 39, 16);
    ebTerms_ = makeTerms(this, "ebTerms", 55);
    makeText(this, "ibCaption", QStringLiteral("인터넷뱅킹 이용약관"), 118, 16);
    ibTerms_ = makeTerms(this, "ibTerms", 134);
    auto* question =
        makeText(this, "enrolQuestion", QStringLiteral("전자금융 약관과 인터넷 뱅킹\r\n이용약관에 동의 하십니까?"), 197, 34);
    question->SetAlignment(DT_CENTER | DT_VCENTER);

    auto* guide = CBmpButton::Create(this, "btnNewinfo", QStringLiteral("신규가입안내_9024"), 75, 236);
    auto* agree = CBmpButton::Create(this, "btnAgree", QStringLiteral("동의함_9024"), 24, 266);
    auto* refuse = CBmpButton::Create(this, "btnDisagree", QStringLiteral("동의하지않음_9024"), 126, 266);
    connect(guide, &QAbstractButton::clicked, this, &CTVPB1300::OnButtonNewinfo);
    connect(agree, &QAbstractButton::clicked, this, &CTVPB1300::OnButtonOk);
    connect(refuse, &QAbstractButton::clicked, this, &CTVPB1300::OnButtonCancel);

    LoadInfoFile();
    return true;
}

void CTVPB1300::LoadInfoFile()
{
    platform::beginWait();
    ebTerms_->setPlainText(CEBInfo().GetPelvra());
    ibTerms_->setPlainText(CIBInfo().GetPelvro());
    platform::endWait();
}

bool CTVPB1300::Send(QWidget* window, const QString& query, QString& data)
{
    return loginfree::Send(window, Session(), Ras(), query, 1, data);
}

void CTVPB1300::OnButtonNewinfo()
{
    CGuideDlg guide(this);
    guide.doModal();
}

void CTVPB1300::OnButtonCancel()
{
    CloseWithModule(kit::kModuleLogin);
}

void CTVPB1300::OnButtonOk()
{
    CIdentifyDlg identify(this);
    if (identify.doModal() == 1) {
        const bool branch = identify.Result() == QLatin1String("0");
        CRegisterDlg reg(this, branch ? CRegisterDlg::Branch : CRegisterDlg::OwnAccount, identify.UserID(),
                         identify.JuminNo());
        if (reg.doModal() == 1)
            registered_ = identify.UserID();
    }
    CloseWithModule(kit::kModuleLogin);
}

bool CTVPB1300::DestroyWindow()
{
    // The start screen, with the new ID when one was registered.
    hide();
    if (!posted_) {
        posted_ = true;
        platform::postModuleSwitch(shell_ ? shell_.data() : parentWidget(), kit::kModuleLogin, registered_);
    }
    return true;
}

TVPB_EXPORT_MODULE(CTVPB1300)
