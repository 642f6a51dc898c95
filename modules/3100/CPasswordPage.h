#pragma once
#include "CExTabPage.h"

class CTVPB3100;
class QLineEdit;

// Page 3120 "이용자 비밀번호 변경": the user ID, the current password, the new
// one twice (masked, typed on the input panel); 저장 checks them and sends
// PDA_I003. Passwords go out in upper case, as the login sends them.
class CPasswordPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 3120 };
    explicit CPasswordPage(CTVPB3100* screen);
    ~CPasswordPage() override;

    QLineEdit* UserIdEdit() const { return userId_; }
    QLineEdit* CurrentEdit() const { return current_; }
    QLineEdit* NewEdit() const { return next_; }
    QLineEdit* RepeatEdit() const { return repeat_; }
    bool PasswordHasFocus() const { return focus_; }

public slots:
    void OnSave();

protected:
    BOOL OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CTVPB3100* screen_;
    QLineEdit* userId_ = nullptr;
    QLineEdit* current_ = nullptr;
    QLineEdit* next_ = nullptr;
    QLineEdit* repeat_ = nullptr;
    bool focus_ = false;
};
