#include "CRasDlgBase.h"

#include <QPainter>
#include <QPushButton>

#include "CColorStatic.h"
#include <QPalette>

const QColor CRasDlgBase::kBackColor(176, 176, 255);
const QColor CRasDlgBase::kAccentColor(0, 0, 192);
const QColor CRasDlgBase::kFrameColor(0, 0, 128);

CRasDlgBase::CRasDlgBase(QWidget* parent) : platform::DialogBase(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackColor);
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::ButtonText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

CColorStatic* CRasDlgBase::makeAccentLabel(const QString& text, QWidget* parent) {
    auto* label = new CColorStatic(text, parent);
    label->SetBkColor(RGB(kAccentColor.red(), kAccentColor.green(), kAccentColor.blue()));
    label->SetTextColor(RGB(255, 255, 255));
    label->SetAlignment(DT_CENTER | DT_VCENTER);
    return label;
}

void CRasDlgBase::paintEvent(QPaintEvent* e) {
    platform::DialogBase::paintEvent(e);
    QPainter p(this);
    const QRect r = rect();
    p.setPen(kFrameColor);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(Qt::white);
    p.drawRect(r.adjusted(1, 1, -2, -2));
}

QPushButton* CRasDlgBase::makeAccentButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    button->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background-color: rgb(0,0,192); border: 1px solid white; }"
        "QPushButton:pressed { background-color: rgb(0,0,128); }"));
    return button;
}
