#pragma once
#include <QString>

#include "DialogBase.h"
#include "SecurityStep.h"

class CGridCtrl;
class CTVPB2300;

// Dialog 133 "일반대출이자납입처리": sends the payment (PDA_L004, signed
// path) as it opens and shows the receipt; on failure the labels stay with
// empty values.
class CInterestPayDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 133 };
    struct Payment {
        QString loanAccount;    // as shown
        QString sourceAccount;  // as shown
        QString password;
        QString depositor;
        QString payDate;        // YYYYMMDD
        SecurityFields security;
    };
    CInterestPayDlg(CTVPB2300* screen, QWidget* parent, const Payment& payment);
    ~CInterestPayDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }
    const QString& LastQuery() const { return lastQuery_; }
    // Whether the bank confirmed the payment.
    bool Paid() const { return paid_; }

    static QString BuildQuery(const QString& userId, const Payment& payment);

private:
    CGridCtrl* grid_ = nullptr;
    QString lastQuery_;
    bool paid_ = false;
};
