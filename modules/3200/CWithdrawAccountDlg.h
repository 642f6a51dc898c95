#pragma once
#include "DialogBase.h"

class CGridCtrl;
class CTVPB3200;
class QComboBox;
class QLineEdit;
namespace kit {
class KeypadFields;
}

// Dialog 3250 "출금계좌 등록/삭제": registers (mode "1", with the security
// step) or deletes (mode "2") a withdrawal account with its password
// (PDA_A004 on the signed path); ends with OK when the bank agreed.
class CWithdrawAccountDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 3250 };
    enum Mode { Register = 1, Delete = 2 };
    // `source`: the grid whose accounts the list offers; `row`: the row to select (-1 none).
    CWithdrawAccountDlg(CTVPB3200* screen, Mode mode, CGridCtrl* source, int row);
    ~CWithdrawAccountDlg() override;

    int DoModal();
    QComboBox* AccountList() const { return accounts_; }
    QLineEdit* PasswordEdit() const { return password_; }

public slots:
    void OnOk();
    void OnCancel();

private:
    CTVPB3200* screen_;
    Mode mode_;
    QComboBox* accounts_ = nullptr;
    QLineEdit* password_ = nullptr;
    kit::KeypadFields* keypads_ = nullptr;
};
