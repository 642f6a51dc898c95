#pragma once
// Plain types shared by the controls: the platform's integer kinds, colours packed
// blue-green-red (0x00BBGGRR, red in the low byte) and text-drawing format flags.
#include <QColor>
#include <QtGlobal>
#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef std::intptr_t LPARAM;
typedef quint32 COLORREF;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// "Use the control's default colour" marker.
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

inline QColor colorFromRef(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline COLORREF refFromColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// Text-drawing format flags (cell formats, label alignment), with the platform's values.
enum : UINT {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_NOPREFIX = 0x0800,
    DT_END_ELLIPSIS = 0x8000,
};
