#pragma once
#include "CModuleFrame.h"

class CCashCardLossPage;
class CCreditCardLossPage;
class CPassbookLossPage;

// Module 3300, the loss reports (dialog 3300, caption "분실신고"): the
// information family's top bar and three tab pages: credit cards (173), cash
// cards (172) and passbooks (171).
class CTVPB3300 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 3300 };
    explicit CTVPB3300(QWidget* parent = nullptr);
    ~CTVPB3300() override;

    CCreditCardLossPage* CreditPage() const { return credit_; }
    CCashCardLossPage* CashPage() const { return cash_; }
    CPassbookLossPage* PassbookPage() const { return passbooks_; }

protected:
    bool OnInitDialog() override;
    void OnTabFirstVisit(int index, CExTabPage* page) override;

private:
    CCreditCardLossPage* credit_ = nullptr;
    CCashCardLossPage* cash_ = nullptr;
    CPassbookLossPage* passbooks_ = nullptr;
};
