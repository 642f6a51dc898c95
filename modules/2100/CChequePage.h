#pragma once
#include <QString>

#include "CExTabPage.h"

class CBmpButton;
class CGridCtrl;
class CTVPB2100;
class QComboBox;
class QLabel;

// Page 2160 "수표조회": is a cheque valid? Bank, branch, number, kind and
// amount go out as "PDA_S003" on the encrypted route; the answer comes back
// in a message box.
class CChequePage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 2160 };
    explicit CChequePage(CTVPB2100* screen);
    ~CChequePage() override;

    enum { RowBank = 0, RowBranch = 1, RowNumber = 2, RowKind = 3, RowAmount = 4 };

    CGridCtrl* Grid() const { return grid_; }
    QComboBox* BankCombo() const { return bank_; }
    QComboBox* KindCombo() const { return kind_; }

    // The query the inquiry sends for the values entered now.
    QString BuildQuery() const;

public slots:
    void On216001(); // inquiry
    void OnCellTapped(int row, int col);
    void OnKindChanged(int index);

protected:
    BOOL OnInitDialog() override;

private:
    void placeCombos();
    QString bankCode() const;
    QString kindCode() const;

    CTVPB2100* screen_;
    QLabel* picture_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    QComboBox* bank_ = nullptr;
    QComboBox* kind_ = nullptr;
    CBmpButton* inquiry_ = nullptr;
};
