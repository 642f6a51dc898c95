#pragma once
#include <QString>

#include "DialogBase.h"

class CBmpButton;
class CGridCtrl;
class CTVPB2300;
class QComboBox;
class QLineEdit;

namespace kit {
class KeypadFields;
}

// Dialog 132 "일반대출이자납입확인": the interest due on the payment date
// (PDA_L003), the paying account (PDA_A003, offered only after the interest
// due arrived) and its password from the keypad; pay runs the security step
// and the processing dialog, after which this dialog closes. Cancelling the
// keypad or the signing sends nothing and keeps the dialog open.
class CInterestConfirmDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 132 };
    CInterestConfirmDlg(CTVPB2300* screen, QWidget* parent, const QString& loanAccount, const QString& payDate);
    ~CInterestConfirmDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }
    CBmpButton* PayButton() const { return pay_; }
    QComboBox* SourceList() const { return source_; }
    QLineEdit* PasswordEdit() const { return password_; }
    const QString& LastQuery() const { return lastQuery_; }

public slots:
    void OnPay();    // button 1022
    void OnCancel(); // button 1023

private:
    void loadSources();

    CTVPB2300* screen_;
    QString loanAccount_;
    QString payDate_;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* pay_ = nullptr;
    QComboBox* source_ = nullptr;
    QLineEdit* password_ = nullptr;
    kit::KeypadFields* keypads_ = nullptr;
    QString lastQuery_;
};
