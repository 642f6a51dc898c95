#pragma once
#include <QString>

#include "CModuleFrame.h"

class CLoanListPage;

// Module 2300, loans (dialog 2300, caption "대출"): the account family's top bar
// and two tab pages, general loans "일반대출계좌" (130) and credit-line loans
// "한도대출계좌" (135). The general page loads its list as the module opens,
// the credit-line page on the first visit of its tab.
class CTVPB2300 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 2300 };
    explicit CTVPB2300(QWidget* parent = nullptr);
    ~CTVPB2300() override;

    CLoanListPage* GeneralPage() const { return general_; }
    CLoanListPage* CreditPage() const { return credit_; }
    // How many times the credit-line page has been told to load by the tab.
    int CreditTabCount() const { return TabVisitCount(1); }

    // The inquiry time both pages show ("MM/DD HH:MM"), emptied at every load.
    const QString& TimeText() const { return timeText_; }
    void SetTimeText(const QString& text) { timeText_ = text.left(11); }

protected:
    bool OnInitDialog() override;
    void OnTabFirstVisit(int index, CExTabPage* page) override;

private:
    CLoanListPage* general_ = nullptr;
    CLoanListPage* credit_ = nullptr;
    QString timeText_;
};
