#pragma once
#include "CCardInquiryDlg.h"

// Dialog 145 "이용대금청구서": the bill of a billing date (PDA_C003): the total
// payment and settlement account, and the ten amounts by kind.
class CBillDlg : public CCardInquiryDlg {
    Q_OBJECT
public:
    enum { IDD = 145 };
    CBillDlg(CTVPB2400* screen, const QString& card, const QString& password, const QString& billingDate);
    CGridCtrl* TotalGrid() const { return total_; }
    CGridCtrl* AmountGrid() const { return amounts_; }

protected:
    void Query(const QString& key) override;
    void ClearValues() override;

private:
    QString date_;
    CGridCtrl* total_ = nullptr;
    CGridCtrl* amounts_ = nullptr;
};
