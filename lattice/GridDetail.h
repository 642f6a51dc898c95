#pragma once
// Shared by the grid's source files: text insets, colours and the translation of
// DT_* text formats into Qt's terms.
#include <QColor>
#include <QString>
#include "LatticeTypes.h"

namespace lattice::grid {

inline constexpr UINT kDefaultFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
inline constexpr int kMarginX = 2;  // text inset left and right
inline constexpr int kMarginY = 2;  // text inset top and bottom
inline constexpr int kResizeGrip = 3; // pixels either side of a fixed-cell border
inline const QColor kHighlight(10, 36, 106);
inline const QColor kHighlightText(255, 255, 255);

inline Qt::Alignment alignmentOf(UINT format)
{
    Qt::Alignment a;
    if (format & DT_CENTER)
        a |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        a |= Qt::AlignRight;
    else
        a |= Qt::AlignLeft;
    if (format & DT_VCENTER)
        a |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM)
        a |= Qt::AlignBottom;
    else
        a |= Qt::AlignTop;
    return a;
}

inline QString singleLine(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s;
}

inline QString multiLine(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace lattice::grid
