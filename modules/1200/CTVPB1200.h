#pragma once
#include "CModuleFrame.h"

class CBmpButton;
class CChequePage;
class CQuickAccountPage;
class CRatePage;

// Module 1200, the quick inquiry (dialog 129, caption "스피드 조회"): without a
// login, one account's balance and history by account number and password, a
// cheque, and the day's exchange rates, on three tabs. Every request connects
// first and goes on the parser path; 닫기 leads back to the start screen, and
// only a screen closed by it hands a code to the shell.
class CTVPB1200 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 129 };
    explicit CTVPB1200(QWidget* parent = nullptr);
    ~CTVPB1200() override;

    CQuickAccountPage* AccountPage() const { return account_; }
    CChequePage* ChequePage() const { return cheque_; }
    CRatePage* RatePage() const { return rates_; }

    // One request of this screen's pages; FALSE after its message.
    bool Send(QWidget* window, const QString& query, int encrypt, QString& data);

public slots:
    void On120001(); // 닫기

protected:
    bool OnInitDialog() override;

private:
    void InquireCheque();

    CQuickAccountPage* account_ = nullptr;
    CChequePage* cheque_ = nullptr;
    CRatePage* rates_ = nullptr;
    CBmpButton* close_ = nullptr;
};
