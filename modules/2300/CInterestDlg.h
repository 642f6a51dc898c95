#pragma once
#include <QString>

#include "DialogBase.h"

class CBmpButton;
class CGridCtrl;
class CTVPB2300;
class QDateEdit;

// Dialog 134 "일반대출이자": the interest position of one general loan
// (PDA_L007, asked with the number as listed) and the payment date; the
// payment button opens the confirmation once the position has arrived.
class CInterestDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 134 };
    // loanAccount: the loan as the detail dialog's account list shows it.
    CInterestDlg(CTVPB2300* screen, QWidget* parent, const QString& loanAccount);
    ~CInterestDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }
    CBmpButton* PayButton() const { return pay_; }
    QDateEdit* DatePicker() const { return date_; }
    const QString& LastQuery() const { return lastQuery_; }

public slots:
    void OnClose(); // button 1036
    void OnPay();   // button 1037

private:
    CTVPB2300* screen_;
    QString loanAccount_;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* pay_ = nullptr;
    QDateEdit* date_ = nullptr;
    QString lastQuery_;
};
