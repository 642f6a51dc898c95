#include "CColorStatic.h"

#include <QPainter>

CColorStatic::CColorStatic(QWidget* parent) : CColorStatic(QString(), parent) {}

CColorStatic::CColorStatic(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    bk_ = refFromColor(palette().color(QPalette::Window));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
}

CColorStatic::~CColorStatic() = default;

void CColorStatic::SetBkColor(COLORREF cr)
{
    bk_ = cr;
    update();
}

void CColorStatic::SetTextColor(COLORREF cr)
{
    fg_ = cr;
    update();
}

void CColorStatic::SetAlignment(UINT dtFormat)
{
    Qt::Alignment a = (dtFormat & DT_CENTER) ? Qt::AlignHCenter
                      : (dtFormat & DT_RIGHT) ? Qt::AlignRight
                                               : Qt::AlignLeft;
    a |= (dtFormat & DT_BOTTOM) ? Qt::AlignBottom : (dtFormat & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
    setAlignment(a);
}

void CColorStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), colorFromRef(bk_));
    p.setPen(colorFromRef(fg_));
    const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int flags = int(alignment());
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    QString t = text();
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    p.drawText(r, flags, t);
}
