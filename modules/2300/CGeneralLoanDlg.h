#pragma once
#include "CLoanDetailDlg.h"

// Dialog 131 "일반대출상세": the thirteen rows of one general loan
// (PDA_L002), and the way into the interest payment of the loan selected.
class CGeneralLoanDlg : public CLoanDetailDlg {
    Q_OBJECT
public:
    enum { IDD = 131 };
    CGeneralLoanDlg(CTVPB2300* screen, const QStringList& accounts, int current);
    ~CGeneralLoanDlg() override;

public slots:
    void OnInterest(); // button 1014

protected:
    QString QueryFor(const QString& digits) const override;
    QList<loans::DetailRow> RowsOf(const QString& reply) const override;
    int RowHeight() const override { return 18; }
};
