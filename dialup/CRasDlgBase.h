#pragma once
// Look shared by the two dial-up dialogs: black on RGB(176,176,255) inside a
// two-pixel frame (RGB(0,0,128) outside, white inside); the title line and the
// buttons white on RGB(0,0,192).
#include <QColor>
#include "DialogBase.h"
#include "DialkitExport.h"

class CColorStatic;
class QPushButton;
class QWidget;

class DIALKIT_EXPORT CRasDlgBase : public platform::DialogBase {
    Q_OBJECT
public:
    static const QColor kBackColor;   // RGB(176,176,255)
    static const QColor kAccentColor; // RGB(0,0,192)
    static const QColor kFrameColor;  // RGB(0,0,128)

    explicit CRasDlgBase(QWidget* parent = nullptr);

protected:
    // A centred label drawn white on the accent colour.
    static CColorStatic* makeAccentLabel(const QString& text, QWidget* parent);
    // A push button drawn white on the accent colour (Enter never presses it).
    static QPushButton* makeAccentButton(const QString& text, QWidget* parent);
    void paintEvent(QPaintEvent* e) override;
};
