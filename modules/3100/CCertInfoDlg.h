#pragma once
#include "DialogBase.h"

class QPlainTextEdit;

// Dialog 3160 "공인인증서안내": the security-means guide text; 닫기 closes it.
class CCertInfoDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 3160 };
    explicit CCertInfoDlg(QWidget* parent);
    ~CCertInfoDlg() override;

    int DoModal();
    QPlainTextEdit* Text() const { return text_; }

private:
    QPlainTextEdit* text_ = nullptr;
};
