#pragma once
#include <functional>

#include <QString>

#include "CExTabPage.h"

class CBmpButton;
class CGridCtrl;
class QComboBox;
class QLabel;

// How the two screens that carry the cheque page differ in its looks and its
// query. The inquiry itself (route, checks, reply) belongs to the screen.
struct ChequePageStyle {
    COLORREF labelColour = RGB(181, 178, 181);
    int labelWidth = 90;
    bool fixedLabels = true;       // a fixed label column with black grid lines
    bool withCancel = false;       // 조회 and 취소 instead of one 확인
    bool encryptFlag = true;       // "encrypt=1" in the query

    // The account inquiry's page 2160 and the quick inquiry's page 133.
    static ChequePageStyle AccountInquiry();
    static ChequePageStyle QuickInquiry();
};

// "수표조회": is a cheque valid? Bank and kind by combo over their cells,
// branch, number and amount by the number keypad; the page builds the
// "PDA_S003" query and calls the screen's inquiry.
class CChequePage : public CExTabPage {
    Q_OBJECT
public:
    CChequePage(int idd, QWidget* screen, ChequePageStyle style, std::function<void()> inquire);
    ~CChequePage() override;

    enum { RowBank = 0, RowBranch = 1, RowNumber = 2, RowKind = 3, RowAmount = 4 };

    CGridCtrl* Grid() const { return grid_; }
    QComboBox* BankCombo() const { return bank_; }
    QComboBox* KindCombo() const { return kind_; }
    const ChequePageStyle& Style() const { return style_; }

    // Values as the query carries them: codes as two digits, the amount
    // without ",".
    QString BankCode() const;
    QString KindCode() const;
    QString Branch() const;
    QString Number() const;
    QString Amount() const;
    // The query the inquiry sends for the values entered now.
    QString BuildQuery() const;
    // The answer as the result box shows it.
    static QString ResultText(const QString& number, const QString& amount, const QString& issued,
                              const QString& accident);

public slots:
    void OnInquiry();
    void OnCancel(); // empties branch, number and amount
    void OnCellTapped(int row, int col);
    void OnKindChanged(int index);

protected:
    BOOL OnInitDialog() override;

private:
    void placeCombos();

    QWidget* screen_;
    ChequePageStyle style_;
    std::function<void()> inquire_;
    QLabel* picture_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    QComboBox* bank_ = nullptr;
    QComboBox* kind_ = nullptr;
    CBmpButton* inquiry_ = nullptr;
    CBmpButton* cancel_ = nullptr;
};
