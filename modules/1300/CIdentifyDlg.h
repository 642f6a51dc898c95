#pragma once
#include "DialogBase.h"

class CTVPB1300;
class QLineEdit;

// Dialog 133 "신규 가입": user ID (upper case as typed) and resident number (13
// digits by keypad); 확인 asks "PDA_D001" and either ends with the outcome that
// leads on ("0" applied at a branch, "5" enrol with an own account) or shows
// why enrolment cannot go on.
class CIdentifyDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 133 };
    explicit CIdentifyDlg(CTVPB1300* screen);
    ~CIdentifyDlg() override;

    QLineEdit* IdField() const { return id_; }
    QLineEdit* JuminField() const { return jumin_; }
    QString UserID() const;
    QString JuminNo() const;
    // "0" or "5" after OK.
    const QString& Result() const { return result_; }

public slots:
    void OnOK();

private:
    CTVPB1300* screen_;
    QLineEdit* id_ = nullptr;
    QLineEdit* jumin_ = nullptr;
    QString result_;
};
