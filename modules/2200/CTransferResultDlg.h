#pragma once
#include <QString>

#include "DialogBase.h"

class CGridCtrl;

// Dialog 130 "이체결과확인": the eleven fields of the PDA_T002 reply, ten shown
// as received.
class CTransferResultDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 130 };
    CTransferResultDlg(QWidget* parent, const QString& reply);
    ~CTransferResultDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }

private:
    CGridCtrl* grid_ = nullptr;
};
