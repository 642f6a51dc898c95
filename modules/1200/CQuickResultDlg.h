#pragma once
#include "DialogBase.h"

class CGridCtrl;
class CTVPB1200;
class QComboBox;
class QDateEdit;

// Dialog 131 "스피드 계좌조회": the account and its holder, the balance, a
// period (free, 3일, 1주, 15일, 한달) or two dates, and the history of that
// period ("PDA_S002") two rows per transaction.
class CQuickResultDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 131 };
    CQuickResultDlg(CTVPB1200* screen, const QString& accNo, const QString& pwd, const QString& holder,
                    const QString& balance);
    ~CQuickResultDlg() override;

    CGridCtrl* Grid() const { return grid_; }
    QComboBox* PeriodCombo() const { return period_; }
    QDateEdit* StartPicker() const { return start_; }
    QDateEdit* EndPicker() const { return end_; }
    // Transactions shown now.
    int RecordCount() const;

public slots:
    void On131001(); // 조회
    void OnPeriodChanged(int index);

private:
    CTVPB1200* screen_;
    QString accNo_;
    QString pwd_;
    QComboBox* period_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    CGridCtrl* grid_ = nullptr;
};
