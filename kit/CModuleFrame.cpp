#include "CModuleFrame.h"

#include <QEvent>

#include "CBmpButton.h"
#include "CExTabCtrl.h"
#include "CExTabPage.h"
#include "CQD.h"
#include "CQV.h"
#include "DeviceFrame.h"
#include "KitPrompts.h"
#include "ModuleCodes.h"
#include "ModuleSwitch.h"
#include "Services.h"

CModuleFrame::CModuleFrame(int moduleCode, kit::TopBarFamily family, QWidget* parent)
    : platform::DialogBase(parent), moduleCode_(moduleCode), family_(family), nextModule_(moduleCode), owner_(parent)
{
    setObjectName(QStringLiteral("CTVPB%1").arg(moduleCode));
    // Marks the module screen for the re-login walk (the pop-up it closes last).
    setProperty("tvpbModuleScreen", true);
}

CModuleFrame::CModuleFrame(int moduleCode, QWidget* parent)
    : CModuleFrame(moduleCode, kit::TopBarFamily::None, parent)
{
}

CModuleFrame::~CModuleFrame() = default;

void CModuleFrame::SetPostOnlyChosenModule(bool onlyChosen)
{
    postOnlyChosen_ = onlyChosen;
    // No code until one is chosen.
    if (onlyChosen && nextModule_ == moduleCode_)
        nextModule_ = 0;
}

int CModuleFrame::SetCommonVar(CQV* session, CRasEx* ras, CUserInfo* user)
{
    session_ = session;
    ras_ = ras;
    user_ = user;
    initialising_ = true;
    return 1;
}

bool CModuleFrame::InitDialog()
{
    if (initDone_)
        return true;
    initDone_ = true;
    initialising_ = true;
    platform::placeOnWorkArea(this);
    platform::setInputPanelVisible(false);
    buildTopBar();
    const bool ok = OnInitDialog();
    initialising_ = false;
    return ok;
}

void CModuleFrame::setVisible(bool visible)
{
    if (visible && !initDone_)
        InitDialog();
    platform::DialogBase::setVisible(visible);
}

void CModuleFrame::done(int result)
{
    closing_ = true;
    platform::DialogBase::done(result);
}

bool CModuleFrame::DestroyWindow()
{
    hide();
    if (!switchPosted_ && !(postOnlyChosen_ && nextModule_ == 0)) {
        switchPosted_ = true;
        platform::postModuleSwitch(owner_ ? owner_.data() : parentWidget(), nextModule_);
    }
    return true;
}

KitRequest CModuleFrame::Request(QWidget* window)
{
    KitRequest request(window ? window : this, session_, download_, &nextModule_);
    request.SetClosingMark(&closing_);
    return request;
}

void CModuleFrame::buildTopBar()
{
    int x = 0;
    for (const kit::TopBarButton& spec : kit::topBarButtons(family_)) {
        auto* button = new CBmpButton(this);
        button->setObjectName(QStringLiteral("topbar_%1").arg(spec.nextModule));
        const bool own = spec.nextModule == moduleCode_;
        // The screen's own button shows as the current section: its pressed face
        // is its normal face.
        const QString pressed = kit::topBarImage(spec, true);
        const QString normal = own ? pressed : kit::topBarImage(spec, false);
        button->LoadBitmap(normal, pressed, QString());
        button->setProperty("normalImage", normal);
        button->setProperty("pressedImage", pressed);
        button->setGeometry(x, 0, spec.width, kit::kTopBarHeight);
        button->setFocusPolicy(Qt::NoFocus);
        x += spec.width;
        const int code = spec.nextModule;
        connect(button, &QAbstractButton::clicked, this, [this, code] { OnTopBarButton(code); });
        topBar_.insert(code, button);
    }
}

CBmpButton* CModuleFrame::TopBarButtonFor(int code) const
{
    return topBar_.value(code, nullptr);
}

void CModuleFrame::OnTopBarButton(int code)
{
    if (code == moduleCode_)
        return;
    if (initialising_ || KitRequest::IsBusy(session_, download_))
        return;
    if (!platform::moduleInstalled(code)) {
        // The screen stays as it is.
        ShowMsg(this, QString::fromUtf16(platform::kModuleMissingText), false);
        return;
    }
    if (code == kit::kModuleQuit) {
        if (!ConfirmExit(this))
            return;
        if (session_)
            session_->CloseSession();
    }
    CloseWithModule(code);
}

void CModuleFrame::CloseWithModule(int code)
{
    nextModule_ = code;
    done(QDialog::Accepted);
}

CExTabCtrl* CModuleFrame::TabCtrl()
{
    if (!tabs_) {
        tabs_ = new CExTabCtrl(this);
        tabs_->setObjectName(QStringLiteral("tabs"));
        const int top = family_ == kit::TopBarFamily::None ? 0 : kit::kTopBarHeight;
        tabs_->setGeometry(0, top, platform::kScreenWidth, platform::kWorkAreaHeight - top);
        connect(tabs_, &CExTabCtrl::selChanged, this, [this](int index) { onTabSelected(index); });
    }
    return tabs_;
}

void CModuleFrame::AddPage(const QString& caption, CExTabPage* page)
{
    CExTabCtrl* tabs = TabCtrl();
    if (page && page->parentWidget() != this)
        page->setParent(this);
    tabs->AddPageEx(caption, tabs->GetItemCount(), page);
}

void CModuleFrame::onTabSelected(int index)
{
    // Pages that load on demand are told so on the first visit only.
    int& count = visits_[index];
    if (count != 0)
        return;
    ++count;
    OnTabFirstVisit(index, tabs_ ? tabs_->GetPage(index) : nullptr);
}

void CModuleFrame::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        platform::setInputPanelVisible(WantsInputPanel());
    platform::DialogBase::changeEvent(e);
}
