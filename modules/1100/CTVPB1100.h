#pragma once
#include <DialogBase.h>
#include <ModuleContract.h>

class QCheckBox;
class QLineEdit;
class CBmpButton;
class CColorStatic;

// Module 1100: the start screen. Login form, exit, quick inquiry, enrolment,
// settings and notices; a successful login fills the user record and hands over
// to the account inquiry (2100).
class CTVPB1100 : public platform::DialogBase, public platform::IModule {
    Q_OBJECT
public:
    explicit CTVPB1100(QWidget* parent = nullptr);
    ~CTVPB1100() override;

    // Module contract.
    QDialog* moduleDialog() override { return this; }
    int SetCommonVar(CQV* session, CRasEx* ras, CUserInfo* user) override;
    void SetLocalID(const QString& id) override;
    bool DestroyWindow() override;

    // Opens the dial-up link when the settings say modem. FALSE: stay on the screen.
    int ConnectNetwork();

    int nextModule() const { return nextModule_; }
    bool switchRequested() const { return switchRequested_; }

public slots:
    void On110001(); // login
    void On110002(); // exit
    void On110003(); // quick inquiry
    void On110004(); // enrolment
    void On110005(); // settings
    void On110006(); // notices

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildScreen();
    void chooseNext(int code);
    static void upperCaseAsTyped(QLineEdit* edit);

    // The shell window given at construction; placement on the work area may
    // reparent the screen, so switches are posted here, not to parentWidget().
    QWidget* shell_ = nullptr;
    CQV* session_ = nullptr;
    CRasEx* ras_ = nullptr;
    CUserInfo* user_ = nullptr;
    int nextModule_ = 1100;
    bool switchRequested_ = false;

    QCheckBox* storeId_ = nullptr;
    QLineEdit* userId_ = nullptr;
    QLineEdit* password_ = nullptr;
    CColorStatic* idLabel_ = nullptr;
    CColorStatic* pwLabel_ = nullptr;
    CBmpButton* loginBtn_ = nullptr;
    CBmpButton* exitBtn_ = nullptr;
    CBmpButton* quickBtn_ = nullptr;
    CBmpButton* enrolBtn_ = nullptr;
    CBmpButton* settingsBtn_ = nullptr;
    CBmpButton* noticesBtn_ = nullptr;
};
