#pragma once
#include "CModuleFrame.h"

class CWithdrawAccountPage;
class CDepositAccountPage;
class CHideAccountPage;

// Module 3200, account management (dialog 3200, caption "계좌관리"): the
// information family's top bar and three tab pages: withdrawal accounts
// "출금계좌 등록/삭제" (3240, loads at once), favourite deposit accounts
// "자주쓰는 입금계좌관리" (3210) and hiding accounts "계좌숨기기" (3260), the
// last two loading on the first visit of their tab.
class CTVPB3200 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 3200 };
    explicit CTVPB3200(QWidget* parent = nullptr);
    ~CTVPB3200() override;

    CWithdrawAccountPage* WithdrawPage() const { return withdraw_; }
    CDepositAccountPage* DepositPage() const { return deposit_; }
    CHideAccountPage* HidePage() const { return hide_; }

protected:
    bool OnInitDialog() override;
    void OnTabFirstVisit(int index, CExTabPage* page) override;
    bool WantsInputPanel() const override { return false; }

private:
    CWithdrawAccountPage* withdraw_ = nullptr;
    CDepositAccountPage* deposit_ = nullptr;
    CHideAccountPage* hide_ = nullptr;
};
