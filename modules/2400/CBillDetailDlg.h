#pragma once
#include "CCardInquiryDlg.h"

// Dialog 146 "이용대금청구명세": the items of a bill (PDA_C004), newest first,
// two grid rows per item, paged, under the total payment and settlement account.
class CBillDetailDlg : public CCardInquiryDlg {
    Q_OBJECT
public:
    enum { IDD = 146 };
    CBillDetailDlg(CTVPB2400* screen, const QString& card, const QString& password, const QString& billingDate);
    CGridCtrl* TotalGrid() const { return total_; }
    CGridCtrl* Grid() const { return grid_; }

protected:
    void Query(const QString& key) override;
    void ClearValues() override;

private:
    void fill(const QList<QStringList>& records);
    QString date_;
    CGridCtrl* total_ = nullptr;
    CGridCtrl* grid_ = nullptr;
};
