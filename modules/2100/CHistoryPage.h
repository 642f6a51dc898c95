#pragma once
#include <QDate>
#include <QList>
#include <QString>

#include "AccountRecords.h"
#include "CExTabPage.h"

class CBmpButton;
class CGridCtrl;
class CTVPB2100;
class QComboBox;
class QDateEdit;

// Page 2150 "거래내역": the transactions of one account over a period
// (PDA_A009), newest first, two grid rows per transaction.
class CHistoryPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 2150 };
    explicit CHistoryPage(CTVPB2100* screen);
    ~CHistoryPage() override;

    // Fills the account combo and the hidden code combo with every account of
    // the accounts grid that has a history; no account is chosen.
    void FillAccounts();
    // A tap on an account with a history: its periods, entry 1 applied, and
    // the first combo entry that begins with the account number chosen.
    void PrepareFor(const QString& number, const QString& code);
    // No account chosen.
    void ClearAccount();

    QComboBox* AccountCombo() const { return account_; }
    QComboBox* CodeCombo() const { return code_; }
    QComboBox* PeriodCombo() const { return period_; }
    QDateEdit* StartPicker() const { return start_; }
    QDateEdit* EndPicker() const { return end_; }
    CGridCtrl* Grid() const { return grid_; }
    bool DayPeriods() const { return days_; }
    // The transactions shown, in grid order.
    const QList<inquiry::TxRecord>& Shown() const { return shown_; }

    static constexpr int kMinTransactions = 4;

public slots:
    void On215001(); // inquiry
    void OnAccountChanged(int index);
    void OnPeriodChanged(int index);

protected:
    BOOL OnInitDialog() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();
    void fillPeriods(bool days);
    void resetGrid(const QString& code);
    void fillGrid(const QString& code, const QList<inquiry::TxRecord>& records);
    // Start and end of the chosen period (from now), or of the pickers.
    void range(QDate* from, QDate* to) const;

    CTVPB2100* screen_;
    QComboBox* account_ = nullptr;
    QComboBox* code_ = nullptr;
    QComboBox* period_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* inquiry_ = nullptr;
    bool days_ = false;
    QList<inquiry::Period> periods_;
    QList<inquiry::TxRecord> shown_;
};
