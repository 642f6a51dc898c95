#pragma once
#include <QString>
#include <QStringList>

#include "DialogBase.h"
#include "SecurityStep.h"

class CGridCtrl;
class CTVPB2200;

// Dialog 2230 "이체처리확인": the nineteen fields PDA_T001 echoed, nine of them
// shown; execute runs the security step (security-card cell or certificate
// signature) and sends PDA_T002 on the signed path; on success the result
// dialog opens and this dialog closes with OK. Cancel sends nothing.
class CTransferConfirmDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 2230 };
    CTransferConfirmDlg(CTVPB2200* screen, const QString& reply, const QString& phone);
    ~CTransferConfirmDlg() override;

    int DoModal();
    CGridCtrl* Grid() const { return grid_; }
    const QStringList& Echo() const { return echo_; }
    // The parameter set of the last execution (twenty-four values, query order).
    const QStringList& Parameters() const { return params_; }
    // The security-card cell drawn for the last execution (0: none).
    int CardCell() const { return cell_; }

    // The query keys of PDA_T002 before "Phone", in order.
    static const QStringList& ParameterKeys();

public slots:
    void OnExecute(); // button 1045
    void OnCancel();  // button 1007

private:
    CTVPB2200* screen_;
    QString reply_;
    QString phone_;
    QStringList echo_;
    QStringList params_;
    int cell_ = 0;
    QString secPwd_;
    CGridCtrl* grid_ = nullptr;
};
