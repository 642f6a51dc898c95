#pragma once
#include "CCardInquiryDlg.h"

// Dialog 148 "연체내역": the card's arrears (PDA_C005): settlement account,
// first overdue day and the sums, then the overdue amounts by kind.
class CArrearsDlg : public CCardInquiryDlg {
    Q_OBJECT
public:
    enum { IDD = 148 };
    CArrearsDlg(CTVPB2400* screen, const QString& card, const QString& password);
    CGridCtrl* SumGrid() const { return sums_; }
    CGridCtrl* AmountGrid() const { return amounts_; }

protected:
    void Query(const QString& key) override;
    void ClearValues() override;

private:
    CGridCtrl* sums_ = nullptr;
    CGridCtrl* amounts_ = nullptr;
};
