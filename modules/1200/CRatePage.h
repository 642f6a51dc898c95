#pragma once
#include "CExTabPage.h"

class CColorStatic;
class CGridCtrl;
class CTVPB1200;
class QComboBox;
class QDateEdit;

// Page 135 "환율조회": the exchange rates of a day ("PDA_S004", unencrypted),
// two of the rates at a time by the chosen view, and the posting time.
class CRatePage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 135 };
    explicit CRatePage(CTVPB1200* screen);
    ~CRatePage() override;

    CGridCtrl* Grid() const { return grid_; }
    QComboBox* ViewCombo() const { return view_; }
    QDateEdit* DatePicker() const { return date_; }
    CColorStatic* TimeLabel() const { return time_; }

public slots:
    void On135001(); // 조회
    void OnViewChanged(int index);

protected:
    BOOL OnInitDialog() override;

private:
    CTVPB1200* screen_;
    QDateEdit* date_ = nullptr;
    QComboBox* view_ = nullptr;
    CColorStatic* time_ = nullptr;
    CGridCtrl* grid_ = nullptr;
};
