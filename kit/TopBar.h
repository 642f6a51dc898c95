#pragma once
// The top navigation bar of the service module screens: six buttons for the
// account family (2100 ... 2400), five for the information family (3100 ... 3400).
#include <QList>
#include <QString>

namespace kit {

enum class TopBarFamily { None, Account, Information };

struct TopBarButton {
    QString word;  // the bitmap word: "조회", "exit" ...
    int width;     // pixels; every button is 26 high
    int nextModule;
};

inline constexpr int kTopBarHeight = 26;

// The buttons of a family, left to right.
QList<TopBarButton> topBarButtons(TopBarFamily family);

// "BMP\<word>_<ww><hh>.bmp", or with "_d" before ".bmp" for the pressed face.
QString topBarImage(const TopBarButton& button, bool pressed);

} // namespace kit
