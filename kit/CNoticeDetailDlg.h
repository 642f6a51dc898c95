#pragma once
// The detail window of the notice screens (dialog 183 in module 3400, 130 in
// module 3500): the title bar "공지사항상세", the notice in a read-only text box
// with a vertical scroll bar, and 닫기.
#include "DialogBase.h"

class QPlainTextEdit;

class CNoticeDetailDlg : public platform::DialogBase {
    Q_OBJECT
public:
    // `text`: "[" title "]", a line break, the body; `caption` is the window's
    // caption ("공지사항상세", or "공지사항 상세" in the login-free module).
    CNoticeDetailDlg(QWidget* parent, const QString& text, const QString& caption);
    ~CNoticeDetailDlg() override;

    int DoModal();
    // What the text box shows.
    QString ShownText() const;

private:
    QPlainTextEdit* text_ = nullptr;
};
