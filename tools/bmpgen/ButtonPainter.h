#pragma once
#include <QFont>
#include <QImage>
#include <QStringList>
#include "ButtonList.h"

namespace bmpgen {

enum class Face { Normal, Pressed, Dimmed };

// How a label is set inside a button: the font and the lines (one, or two when
// a long label in a narrow button reads better stacked).
struct LabelLayout {
    QFont font;
    QStringList lines;
    int lineHeight = 0;
};

// Chooses the largest legible setting of the label inside a w x h face: the
// "NanumGothic" bold face, shrunk (and if needed narrowed or split in two lines)
// until the text fits inside the border with a pixel of room.
LabelLayout fitLabel(const QString& label, int width, int height);

// The rectangle the label's glyphs may use inside a w x h face.
QRect labelArea(int width, int height);

// Draws one face of a button at exactly the size its name encodes: a blue
// gradient with a light top edge for the normal face, a darker inset one with
// the label shifted down-right for the pressed face, grey for the dimmed face.
QImage paintButton(const ButtonSpec& spec, Face face);

} // namespace bmpgen
