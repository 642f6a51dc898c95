#pragma once
#include "CModuleFrame.h"

class CTransferPage;
class CResultPage;
class CSchedulePage;

// Module 2200, transfers (dialog 2200, caption "이체"): the account family's top
// bar and three tab pages: transfer entry "이체처리" (2210), transfer results
// "이체결과" (2240) and scheduled transfers "예약이체관리" (2260). The scheduled
// page loads its list the first time its tab is shown.
class CTVPB2200 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 2200 };
    explicit CTVPB2200(QWidget* parent = nullptr);
    ~CTVPB2200() override;

    CTransferPage* TransferPage() const { return transfer_; }
    CResultPage* ResultPage() const { return results_; }
    CSchedulePage* SchedulePage() const { return schedule_; }
    // How many times the scheduled page has been told to load by the tab.
    int ScheduleTabCount() const { return TabVisitCount(2); }

protected:
    bool OnInitDialog() override;
    void OnTabFirstVisit(int index, CExTabPage* page) override;
    bool WantsInputPanel() const override;

private:
    CTransferPage* transfer_ = nullptr;
    CResultPage* results_ = nullptr;
    CSchedulePage* schedule_ = nullptr;
};
