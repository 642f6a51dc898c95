#pragma once
#include <QString>

#include "DialogBase.h"

class CGridCtrl;

// Dialog 2250 "이체결과상세": the nine fields of one transfer (PDA_T005).
class CResultDetailDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 2250 };
    CResultDetailDlg(QWidget* parent, const QString& reply);
    ~CResultDetailDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }

private:
    CGridCtrl* grid_ = nullptr;
};
