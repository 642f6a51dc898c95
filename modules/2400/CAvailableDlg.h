#pragma once
#include "CCardInquiryDlg.h"

class CColorStatic;

// Dialog 147 "사용가능액": the card's limits and available amounts and its
// special limit (PDA_C006).
class CAvailableDlg : public CCardInquiryDlg {
    Q_OBJECT
public:
    enum { IDD = 147 };
    CAvailableDlg(CTVPB2400* screen, const QString& card, const QString& password);
    CGridCtrl* Grid() const { return grid_; }

protected:
    void Query(const QString& key) override;
    void ClearValues() override;

private:
    CGridCtrl* grid_ = nullptr;
};
