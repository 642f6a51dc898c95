#pragma once
#include "DialogBase.h"

class QPlainTextEdit;

// Dialog 3150 "보안카드안내": the security-means guide text; 닫기 closes it.
class CSecInfoDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 3150 };
    explicit CSecInfoDlg(QWidget* parent);
    ~CSecInfoDlg() override;

    int DoModal();
    QPlainTextEdit* Text() const { return text_; }

private:
    QPlainTextEdit* text_ = nullptr;
};
