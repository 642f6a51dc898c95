#pragma once
#include "CLoanDetailDlg.h"

// Dialog 136 "한도대출상세": one credit-line loan (PDA_L006) as label/value
// rows. Its interest payment and principal repayment buttons stay hidden.
class CCreditLoanDlg : public CLoanDetailDlg {
    Q_OBJECT
public:
    enum { IDD = 136 };
    CCreditLoanDlg(CTVPB2300* screen, const QStringList& accounts, int current);
    ~CCreditLoanDlg() override;

protected:
    QString QueryFor(const QString& digits) const override;
    QList<loans::DetailRow> RowsOf(const QString& reply) const override;
    int RowHeight() const override { return 22; }
};
