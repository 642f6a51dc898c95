#pragma once
#include <QString>

#include "DialogBase.h"

class CGridCtrl;
class CTVPB3200;
class QComboBox;
class QLineEdit;
namespace kit {
class KeypadFields;
}

// Dialog 3220 "입금계좌 등록(수정)": name, bank and number of a favourite
// deposit account; 확인 looks up the holder's name (PDA_A007, asked with one
// of the user's own accounts) and opens the confirmation dialog, whose OK
// ends this dialog with OK too.
class CDepositAccountEditDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 3220 };
    struct Entry {
        QString sqlType;  // "1" register, "2" modify
        QString bankCode;
        QString nickname;
        QString accountNo;
        QString holder;
        QString serial;
    };
    // `registered` and `others`: the withdrawal account page's two grids.
    CDepositAccountEditDlg(CTVPB3200* screen, const Entry& entry, CGridCtrl* registered, CGridCtrl* others);
    ~CDepositAccountEditDlg() override;

    int DoModal();
    QLineEdit* NameEdit() const { return name_; }
    QComboBox* BankList() const { return bank_; }
    QLineEdit* AccountEdit() const { return account_; }

public slots:
    void OnOk();
    void OnCancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The first own account other than the deposit account, from the
    // registered grid and then the other grid; empty when there is none.
    QString inquiringAccount(const QString& depositNo) const;

    CTVPB3200* screen_;
    Entry entry_;
    CGridCtrl* registered_;
    CGridCtrl* others_;
    QLineEdit* name_ = nullptr;
    QComboBox* bank_ = nullptr;
    QLineEdit* account_ = nullptr;
    kit::KeypadFields* keypads_ = nullptr;
};
