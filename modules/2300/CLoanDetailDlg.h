#pragma once
#include <QString>
#include <QStringList>

#include "DialogBase.h"
#include "LoanRecords.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CTVPB2300;
class QComboBox;

// What the two loan detail dialogs share: the heading, the account list
// filled from the list page, the close, query, interest payment and principal
// repayment buttons at their fixed places, and the detail grid. The query
// sends the selected account's digits; each dialog names its request and
// reads its reply. With an account selected at opening the query runs at once.
class CLoanDetailDlg : public platform::DialogBase {
    Q_OBJECT
public:
    ~CLoanDetailDlg() override;

    int DoModal();
    QComboBox* AccountList() const { return accounts_; }
    CGridCtrl* Grid() const { return grid_; }
    CBmpButton* InterestButton() const { return interest_; }
    CBmpButton* PrincipalButton() const { return principal_; }
    // The query of the last detail request (empty before one).
    const QString& LastQuery() const { return lastQuery_; }

public slots:
    void OnClose(); // button 1012 / 1047
    void OnQuery(); // button 1013 / 1048

protected:
    CLoanDetailDlg(CTVPB2300* screen, const QString& caption, const QString& heading, const QStringList& accounts,
                   int current);
    // Runs the query when an account is selected; the subclass calls it last.
    void Start();

    // The request for an account's digits, and the rows of its reply (the
    // labels with empty values before any reply).
    virtual QString QueryFor(const QString& digits) const = 0;
    virtual QList<loans::DetailRow> RowsOf(const QString& reply) const = 0;
    virtual int RowHeight() const = 0;
    void showRows(const QList<loans::DetailRow>& rows);
    // False while a request runs, or (with the user told) when no account is selected.
    bool ReadyWithAccount();

    CTVPB2300* screen_;
    QComboBox* accounts_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* interest_ = nullptr;
    CBmpButton* principal_ = nullptr;
    QString lastQuery_;
    QList<loans::DetailRow> rows_;
};
