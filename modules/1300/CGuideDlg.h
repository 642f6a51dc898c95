#pragma once
#include "DialogBase.h"

// Dialog 132 "신규 가입 안내": one picture of the steps of enrolment.
class CGuideDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 132 };
    explicit CGuideDlg(QWidget* parent);
    ~CGuideDlg() override;
};
