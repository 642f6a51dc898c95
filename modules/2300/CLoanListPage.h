#pragma once
#include <QString>
#include <QStringList>

#include "CExTabPage.h"

class CColorStatic;
class CGridCtrl;
class CTVPB2300;

// Pages 130 "일반대출계좌" and 135 "한도대출계좌" (the same layout): the user's
// name and the inquiry time, the loans of the page's kind (PDA_L001 or
// PDA_L005) with their balances, the total balance, and the detail dialog of
// one loan.
class CLoanListPage : public CExTabPage {
    Q_OBJECT
public:
    enum Kind { General, CreditLine };
    enum { ColKind = 0, ColAccount = 1, ColBalance = 2 };

    CLoanListPage(CTVPB2300* screen, Kind kind);
    ~CLoanListPage() override;

    Kind LoanKind() const { return kind_; }
    CGridCtrl* Grid() const { return grid_; }
    CGridCtrl* TotalGrid() const { return total_; }
    CColorStatic* Heading() const { return heading_; }
    // The loans listed by the last load (0 after a failed one).
    int LoanCount() const { return count_; }
    // The account numbers of the list, from row 1 down to the first empty one.
    QStringList Accounts() const;

    // Clears the grids and loads the list after the server time; a load asked
    // by the reload button does nothing while a request runs.
    void LoadList(bool byButton);

public slots:
    void OnDetail(); // button 1007 / 1042
    void OnReload(); // button 1008 / 1043

protected:
    BOOL OnInitDialog() override;

private:
    void clearGrids();
    void fill(const QList<QStringList>& records);

    CTVPB2300* screen_;
    Kind kind_;
    CColorStatic* heading_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CGridCtrl* total_ = nullptr;
    int count_ = 0;
};
