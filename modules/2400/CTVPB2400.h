#pragma once
#include "CModuleFrame.h"

class CCardPage;
class CCardInquiryPage;
class CCashPage;

// Module 2400, cards (dialog 2400, caption "카드"): the account family's top bar
// and three tab pages: held cards "보유카드" (142), card inquiries "내역조회"
// (143) and cash service "현금서비스" (149). The held-card list is the source of
// the card lists on the other two pages.
class CTVPB2400 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 2400 };
    explicit CTVPB2400(QWidget* parent = nullptr);
    ~CTVPB2400() override;

    CCardPage* CardPage() const { return cards_; }
    CCardInquiryPage* InquiryPage() const { return inquiry_; }
    CCashPage* CashPage() const { return cash_; }
    // Card company code sent as BankGubun.
    QString CardCompany() const { return company_; }

protected:
    bool OnInitDialog() override;

private:
    CCardPage* cards_ = nullptr;
    CCardInquiryPage* inquiry_ = nullptr;
    CCashPage* cash_ = nullptr;
    QString company_;
};
