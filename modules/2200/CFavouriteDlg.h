#pragma once
#include <QString>

#include "DialogBase.h"

class CBmpButton;
class CGridCtrl;
class CTVPB2200;

// Dialog 2220 "자주쓰는입금계좌": the user's favourite deposit accounts
// (PDA_A001) in a grid; OK needs a selected row with an account number.
class CFavouriteDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 2220 };
    explicit CFavouriteDlg(CTVPB2200* screen);
    ~CFavouriteDlg() override;

    // Requests the list, then runs modally; IDOK or IDCANCEL.
    int DoModal();
    QString SelectedAccount() const { return account_; }
    QString SelectedBankName() const { return bankName_; }
    CGridCtrl* Grid() const { return grid_; }
    int RecordCount() const { return count_; }

    enum { ColName = 0, ColBank = 1, ColAccount = 2, ColCode = 3 };
    static constexpr int kMinRows = 9;

public slots:
    void OnReload(); // button 1040
    void OnCancel(); // button 1043
    void OnOk();     // button 1044

private:
    void load(bool checkBusy);
    void fill(const QList<QStringList>& records);

    CTVPB2200* screen_;
    CGridCtrl* grid_ = nullptr;
    int count_ = 0;
    QString account_;
    QString bankName_;
};
