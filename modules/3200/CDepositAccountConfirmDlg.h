#pragma once
#include <QString>

#include "DialogBase.h"

class CGridCtrl;
class CTVPB3200;

// Dialog 3230 "입금계좌 등록(수정)확인": the entry with the holder's name the
// bank gave; 확인 registers or modifies it (PDA_A002) and ends with OK.
class CDepositAccountConfirmDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 3230 };
    struct Values {
        QString userId;
        QString sqlType;
        QString bankCode;
        QString accountNo;
        QString nickname;
        QString holder;
        QString serial;
    };
    CDepositAccountConfirmDlg(CTVPB3200* screen, const Values& values);
    ~CDepositAccountConfirmDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }

public slots:
    void OnOk();
    void OnCancel();

private:
    CTVPB3200* screen_;
    Values values_;
    CGridCtrl* grid_ = nullptr;
};
