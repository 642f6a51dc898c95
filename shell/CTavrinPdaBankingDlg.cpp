#include "CTavrinPdaBankingDlg.h"

#include "ModuleTable.h"

#include <CQV.h>
#include <CRasEx.h>
#include <CUserInfo.h>
#include <DeviceFrame.h>
#include <Deploy.h>
#include <Modal.h>
#include <ModuleContract.h>
#include <ModuleSwitch.h>
#include <Registry.h>
#include <Services.h>

#include <QDialog>
#include <QDir>
#include <QLibrary>
#include <QMouseEvent>
#include <QPointer>

namespace {
const QString kProxyKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
}

CTavrinPdaBankingDlg::CTavrinPdaBankingDlg(platform::DeviceFrame* frame)
    : QWidget(frame ? frame->workArea() : nullptr), frame_(frame)
{
    setObjectName(QStringLiteral("ShellWindow"));
    setAutoFillBackground(true);
    if (frame_) {
        frame_->setCaption(QStringLiteral("타브린은행 PDA 뱅킹"));
        frame_->setTitleImages(QStringLiteral("BMP\\title_icon.bmp"), QStringLiteral("BMP\\title.bmp"));
    }
    setGeometry(0, 0, platform::kScreenWidth, platform::kWorkAreaHeight);
}

CTavrinPdaBankingDlg::~CTavrinPdaBankingDlg()
{
    // Deleted in this order: user record, dial-up manager, session.
    delete user_;
    user_ = nullptr;
    delete ras_;
    ras_ = nullptr;
    delete session_;
    session_ = nullptr;
}

void CTavrinPdaBankingDlg::start()
{
    session_ = new CQV();
    session_->SetVgateProp(platform::Deploy::serverHost(), 443u, 8080u);
    session_->SetServerProp(1);
    ras_ = new CRasEx();
    user_ = new CUserInfo();

    // The "resource source" of this build is the program folder's bitmaps.
    if (!QDir(platform::programFile(QStringLiteral("BMP"))).exists())
        platform::messageBox(this, QStringLiteral("Caution: Resource is not found."), QString(), platform::MB_OK);

    // The system proxy setting is removed at every start, user root first.
    platform::Registry::deleteValue(platform::Root::CurrentUser, kProxyKey, QStringLiteral("ProxyEnable"));
    if (platform::Registry::keyExists(platform::Root::LocalMachine, kProxyKey))
        platform::Registry::deleteValue(platform::Root::LocalMachine, kProxyKey, QStringLiteral("ProxyEnable"));

    show();
    platform::postModuleSwitch(this, shell::kStartModule);
}

void CTavrinPdaBankingDlg::customEvent(QEvent* e)
{
    if (e->type() != platform::kModuleSwitchEvent) return QWidget::customEvent(e);
    auto* sw = static_cast<platform::ModuleSwitchEvent*>(e);
    handleSwitch(sw->code(), sw->text());
}

void CTavrinPdaBankingDlg::mousePressEvent(QMouseEvent* e)
{
    // A tap on the bare shell window quits.
    if (e->button() == Qt::LeftButton && currentCode_ == 0 && !quit_)
        platform::postModuleSwitch(this, shell::kQuitCode);
}

void CTavrinPdaBankingDlg::handleSwitch(int code, const QString& text)
{
    if (quit_) return;
    // Strictly one switch at a time: a switch that arrives while another runs
    // waits until that one has finished.
    if (switching_) {
        pending_.append({code, text});
        return;
    }
    switching_ = true;
    firstSwitch_ = false;
    currentCode_ = 0;
    if (code == shell::kQuitCode)
        quit();
    else if (shell::isModuleCode(code))
        runModule(code, text);
    currentCode_ = 0;
    switching_ = false;
    if (!pending_.isEmpty() && !quit_) {
        auto next = pending_.takeFirst();
        platform::postModuleSwitch(this, next.first, next.second);
    }
}

void CTavrinPdaBankingDlg::runModule(int code, const QString& text)
{
    // Modules stay loaded once loaded: unloading code that Qt's meta-object system
    // may still reference is not worth the memory it would save.
    QLibrary lib(platform::programFile(shell::moduleLibraryName(code)));
    lib.setLoadHints(QLibrary::PreventUnloadHint);
    auto create = reinterpret_cast<TvpbCreateModuleFn>(lib.resolve(kTvpbModuleFactory));
    platform::IModule* module = create ? create(this) : nullptr;
    if (!module) {
        // A module that is not installed: say so and go back to the screen the
        // user came from (or end, when there is none to go back to).
        platform::messageBox(this, QString::fromUtf16(platform::kModuleMissingText), QStringLiteral("오류"),
                             platform::MB_OK | platform::MB_ICONWARNING);
        const int back = lastModule_ != 0 && lastModule_ != code ? lastModule_ : shell::kQuitCode;
        platform::postModuleSwitch(this, back);
        return;
    }
    lastModule_ = code;
    currentCode_ = code;
    module->SetCommonVar(session_, ras_, user_);
    if (code == shell::kStartModule && !text.isEmpty()) module->SetLocalID(text);
    QDialog* screen = module->moduleDialog();
    emit moduleStarted(code, screen);
    platform::execModal(screen);
    module->DestroyWindow();
    delete module;
}

void CTavrinPdaBankingDlg::quit()
{
    quit_ = true;
    if (session_) session_->CloseSession();
    if (ras_) ras_->RAS_Disconnect();
    emit quitRequested();
}
