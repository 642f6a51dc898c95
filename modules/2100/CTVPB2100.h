#pragma once
#include "CModuleFrame.h"

class CAccountPage;
class CHistoryPage;
class CChequePage;

// Module 2100, the account inquiry (dialog 2100, caption "조회"): the home of
// the logged-in part of the program, with the account family's top bar and
// three tab pages: held accounts (2110), transaction history (2150) and
// cheque inquiry (2160).
class CTVPB2100 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 2100 };
    explicit CTVPB2100(QWidget* parent = nullptr);
    ~CTVPB2100() override;

    CAccountPage* AccountPage() const { return accounts_; }
    CHistoryPage* HistoryPage() const { return history_; }
    CChequePage* ChequePage() const { return cheque_; }

protected:
    bool OnInitDialog() override;

private:
    CAccountPage* accounts_ = nullptr;
    CHistoryPage* history_ = nullptr;
    CChequePage* cheque_ = nullptr;
};
