#pragma once
#include <QString>
#include <QStringList>

#include "DialogBase.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CTVPB2400;

// Dialog 150 "현금서비스이체확인". Its layout is its state: three rows (as
// handed over; the button checks with PDA_C007), five rows (the check; the
// button runs the security step and executes with PDA_C008), six rows (the
// result; the button is hidden and cancel becomes OK). Cancel closes it at
// any stage.
class CCashConfirmDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 150 };
    enum State { Entered, Checked, Done };
    CCashConfirmDlg(CTVPB2400* screen, const QString& card, const QString& account, const QString& password,
                    const QString& amount);
    ~CCashConfirmDlg() override;

    int DoModal();
    State CurrentState() const { return state_; }
    CGridCtrl* Grid() const { return grid_; }
    QString Heading() const;
    CBmpButton* ActionButton() const { return action_; }
    CBmpButton* CancelButton() const { return cancel_; }
    // The security-card cell drawn for the last execution (0: none).
    int LastCell() const { return cell_; }

public slots:
    void On250001();  // 1091: check, then execute
    void On250002();  // 1092: cancel, or close after the result

private:
    void showRows(const QStringList& labels, const QStringList& values, const QList<int>& heights, int centred);
    void check();
    void execute();

    CTVPB2400* screen_;
    QString card_;
    QString account_;
    QString password_;
    QString amount_;
    State state_ = Entered;
    int cell_ = 0;
    CColorStatic* heading_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* action_ = nullptr;
    CBmpButton* cancel_ = nullptr;
};
