#pragma once
#include <QLabel>
#include "LatticeExport.h"
#include "LatticeTypes.h"

// A text label with its own background and text colours (blue-green-red values).
// Text sits at the left, vertically centred, unless SetAlignment says otherwise.
class LATTICE_EXPORT CColorStatic : public QLabel {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* parent = nullptr);
    explicit CColorStatic(const QString& text, QWidget* parent = nullptr);
    ~CColorStatic() override;

    void SetBkColor(COLORREF cr);
    void SetTextColor(COLORREF cr);
    COLORREF GetBkColor() const { return bk_; }
    COLORREF GetTextColor() const { return fg_; }
    void SetWindowText(const QString& text) { setText(text); }
    QString GetWindowText() const { return text(); }
    // DT_LEFT / DT_CENTER / DT_RIGHT, optionally with DT_VCENTER or DT_BOTTOM.
    void SetAlignment(UINT dtFormat);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    COLORREF bk_;
    COLORREF fg_ = RGB(0, 0, 0);
};
