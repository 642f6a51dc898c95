#pragma once
#include <QString>

#include "CCardEntryPage.h"

class CBmpButton;
class CColorStatic;
class QDateEdit;

// Card inquiry page (143, tab "내역조회"): the kind of inquiry, the card, its
// password and the period or billing date; the inquiry opens the dialog of
// the kind chosen (approvals, bill, bill details, available amount, arrears).
class CCardInquiryPage : public CCardEntryPage {
    Q_OBJECT
public:
    enum { IDD = 143 };
    enum Kind { Approvals, Bill, BillDetails, Available, Arrears };
    explicit CCardInquiryPage(CTVPB2400* screen);
    ~CCardInquiryPage() override;

    // Refills the card list from the held-card grid (its selected card selected).
    void FillCards();
    // Selects card `index` of the held-card grid (-1: none).
    void SelectCard(int index);

    QComboBox* KindList() const { return kind_; }
    QDateEdit* StartPicker() const { return start_; }
    QDateEdit* EndPicker() const { return end_; }
    QComboBox* YearList() const { return year_; }
    QComboBox* MonthList() const { return month_; }
    QComboBox* DayList() const { return day_; }
    CColorStatic* PeriodLabel() const { return periodLabel_; }
    // The dates of the last inquiry (YYYYMMDD).
    QString LastStart() const { return lastStart_; }
    QString LastEnd() const { return lastEnd_; }

public slots:
    void OnKindChanged(int index);
    void On243001();  // inquire (1019)
    void On243002();  // reset (1020)

protected:
    BOOL OnInitDialog() override;

private:
    void resetBillingLists();

    QComboBox* kind_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    QComboBox* year_ = nullptr;
    QComboBox* month_ = nullptr;
    QComboBox* day_ = nullptr;
    CColorStatic* periodLabel_ = nullptr;
    CBmpButton* inquire_ = nullptr;
    CBmpButton* reset_ = nullptr;
    QString lastStart_;
    QString lastEnd_;
};
