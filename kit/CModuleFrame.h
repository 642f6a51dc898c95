#pragma once
// Base of every service module screen (CTVPBnnnn): the top navigation bar, the
// tab control with first-visit loading, the guards that make the bar inert while
// the screen initialises or a request runs, exit, and the hand-over of the
// next-module code to the shell when the screen closes.
//
// Life of a screen: constructor (own module code), SetCommonVar (initialising
// flag on), first show runs InitDialog (top bar, the module's OnInitDialog,
// initialising flag off), the shell's modal run, DestroyWindow (posts the
// module-switch message with the next-module code to the parent).
#include <QList>
#include <QMap>
#include <QPointer>

#include "DialogBase.h"
#include "KitRequest.h"
#include "ModuleContract.h"
#include "TopBar.h"

class CBmpButton;
class CExTabCtrl;
class CExTabPage;
class CQD;

class CModuleFrame : public platform::DialogBase, public platform::IModule {
    Q_OBJECT
public:
    CModuleFrame(int moduleCode, kit::TopBarFamily family, QWidget* parent = nullptr);
    // A screen without the top bar (the login-free screens): its pages take the
    // whole work area.
    CModuleFrame(int moduleCode, QWidget* parent);
    ~CModuleFrame() override;

    // platform::IModule
    QDialog* moduleDialog() override { return this; }
    int SetCommonVar(CQV* session, CRasEx* ras, CUserInfo* user) override;
    bool DestroyWindow() override;

    // Builds the screen once (also done by the first show). TRUE when built.
    bool InitDialog();
    bool IsInitialising() const { return initialising_; }

    int ModuleCode() const { return moduleCode_; }
    int GetNextModule() const { return nextModule_; }
    int* NextModulePtr() { return &nextModule_; }

    CQV* Session() const { return session_; }
    CRasEx* Ras() const { return ras_; }
    CUserInfo* User() const { return user_; }
    // The module's download object (one per module library).
    void SetDownload(CQD* download) { download_ = download; }
    CQD* Download() const { return download_; }
    // A request cycle for a window of this module (the frame by default).
    KitRequest Request(QWidget* window = nullptr);

    // A press of the top-bar button that leads to `code` (9999: exit).
    void OnTopBarButton(int code);
    CBmpButton* TopBarButtonFor(int code) const;
    // Sets the next-module code and closes the screen.
    void CloseWithModule(int code);
    // Screens that hand a code to the shell only when one was chosen (with
    // CloseWithModule or the re-login prompt); the others always post one.
    void SetPostOnlyChosenModule(bool onlyChosen);
    bool IsClosing() const { return closing_; }

    // Tab pages, in index order (0, 1, 2 ...), below the top bar.
    CExTabCtrl* TabCtrl();
    void AddPage(const QString& caption, CExTabPage* page);
    // How many times the tab has been told to load (0 until its first visit).
    int TabVisitCount(int index) const { return visits_.value(index, 0); }

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    // The module builds its own controls and pages here.
    virtual bool OnInitDialog() { return true; }
    // A tab selected for the first time; the module tells its page to load.
    virtual void OnTabFirstVisit(int /*index*/, CExTabPage* /*page*/) {}
    // Whether the input-panel button belongs on screen when the screen is activated.
    virtual bool WantsInputPanel() const { return false; }

    void changeEvent(QEvent* e) override;

private:
    void buildTopBar();
    void onTabSelected(int index);

    int moduleCode_;
    kit::TopBarFamily family_;
    int nextModule_;
    bool initialising_ = false;
    bool initDone_ = false;
    bool closing_ = false;
    bool switchPosted_ = false;
    bool postOnlyChosen_ = false;
    CQV* session_ = nullptr;
    CRasEx* ras_ = nullptr;
    CUserInfo* user_ = nullptr;
    CQD* download_ = nullptr;
    QMap<int, CBmpButton*> topBar_;
    CExTabCtrl* tabs_ = nullptr;
    QMap<int, int> visits_;
    // The window that created the screen (the shell): placing the screen on the
    // work area may give it another parent, the switch message goes here.
    QPointer<QWidget> owner_;
};
