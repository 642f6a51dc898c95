#pragma once
#include "CModuleFrame.h"

class CSecurityMeansPage;
class CPasswordPage;
class CCustomerInfoPage;

// Module 3100, customer information (dialog 3100, caption "정보변경"): the
// information family's top bar and three tab pages: security means
// "이체수단변경" (3130), password "이용자 비밀번호 변경" (3120) and customer
// data "고객정보확인" (3110), which loads the first time its tab is selected.
class CTVPB3100 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 3100 };
    explicit CTVPB3100(QWidget* parent = nullptr);
    ~CTVPB3100() override;

    CSecurityMeansPage* SecurityPage() const { return security_; }
    CPasswordPage* PasswordPage() const { return password_; }
    CCustomerInfoPage* CustomerPage() const { return customer_; }

protected:
    bool OnInitDialog() override;
    void OnTabFirstVisit(int index, CExTabPage* page) override;
    bool WantsInputPanel() const override;

private:
    CSecurityMeansPage* security_ = nullptr;
    CPasswordPage* password_ = nullptr;
    CCustomerInfoPage* customer_ = nullptr;
};
