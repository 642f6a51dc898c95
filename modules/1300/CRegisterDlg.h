#pragma once
#include "DialogBase.h"

class CTVPB1300;
class QLineEdit;

// Dialogs 134 "영업점 가입 고객" (password of a branch applicant, "PDA_D002")
// and 135 "영업점 미가입고객" (the same with an own passbook account and its
// password, "PDA_D003"): the ID and resident number shown, the password twice.
class CRegisterDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum Mode { Branch = 134, OwnAccount = 135 };
    CRegisterDlg(CTVPB1300* screen, Mode mode, const QString& userId, const QString& juminNo);
    ~CRegisterDlg() override;

    Mode GetMode() const { return mode_; }
    QLineEdit* PasswordField() const { return pwd1_; }
    QLineEdit* ConfirmField() const { return pwd2_; }
    QLineEdit* AccountField() const { return account_; }
    QLineEdit* AccountPasswordField() const { return accountPwd_; }
    QString BuildQuery() const;

public slots:
    void OnOK();

private:
    CTVPB1300* screen_;
    Mode mode_;
    QString userId_;
    QString juminNo_;
    QLineEdit* pwd1_ = nullptr;
    QLineEdit* pwd2_ = nullptr;
    QLineEdit* account_ = nullptr;
    QLineEdit* accountPwd_ = nullptr;
};
