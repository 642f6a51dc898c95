#pragma once
#include "CExTabPage.h"

class CBmpButton;
class CColorStatic;
class CTVPB1200;
class QLineEdit;

// Page 130 "계좌조회": account number and password, both by the number keypad;
// 조회 asks "PDA_S001" and opens the result dialog with the holder and balance.
class CQuickAccountPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 130 };
    explicit CQuickAccountPage(CTVPB1200* screen);
    ~CQuickAccountPage() override;

    QLineEdit* AccountField() const { return account_; }
    QLineEdit* PasswordField() const { return password_; }

public slots:
    void On130001(); // 조회
    void On130002(); // 취소

protected:
    BOOL OnInitDialog() override;

private:
    CTVPB1200* screen_;
    QLineEdit* account_ = nullptr;
    QLineEdit* password_ = nullptr;
};
