#pragma once
#include <QStringList>

#include "DialogBase.h"

class CGridCtrl;

// Dialog 2270 "예약이체상세": the eight values of one scheduled transfer as
// its page holds them (no request).
class CScheduleDetailDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 2270 };
    // values: date, source, bank, account, amount, recipient, serial, result.
    CScheduleDetailDlg(QWidget* parent, const QStringList& values);
    ~CScheduleDetailDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }

private:
    CGridCtrl* grid_ = nullptr;
};
