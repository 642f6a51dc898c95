#pragma once
#include <QString>

#include "CExTabPage.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CTVPB2200;
class QComboBox;
class QDateEdit;

// Page 2240 "이체결과": the transfers of a period (PDA_T004), newest first, with
// their count and total, and one transfer's details (PDA_T005).
class CResultPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 2240 };
    explicit CResultPage(CTVPB2200* screen);
    ~CResultPage() override;

    CGridCtrl* Grid() const { return grid_; }
    QComboBox* PeriodList() const { return period_; }
    QDateEdit* StartPicker() const { return start_; }
    QDateEdit* EndPicker() const { return end_; }
    CColorStatic* CountLabel() const { return count_; }
    CColorStatic* TotalLabel() const { return total_; }
    int RecordCount() const { return records_; }

    enum { ColDate = 0, ColBankAccount = 1, ColResult = 2, ColSerial = 3, ColCode = 4, ColAmount = 5 };
    static constexpr int kMinRows = 6;

public slots:
    void OnPeriodChanged(int index); // list 1011
    void OnQuery();                  // button 1052
    void OnDetail();                 // button 1051

protected:
    BOOL OnInitDialog() override;

private:
    void layoutGrid(int records);
    void showTotals();
    // Seconds before now of the period item, 0 for the empty item.
    static int periodSeconds(int index);

    CTVPB2200* screen_;
    CColorStatic* userName_ = nullptr;
    QComboBox* period_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CColorStatic* count_ = nullptr;
    CColorStatic* total_ = nullptr;
    QString reply_;
    int records_ = 0;
};
