#include "ButtonPainter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace bmpgen {

namespace {

constexpr int kMaxPixelSize = 13;
constexpr int kMinPixelSize = 7;
const int kStretches[] = {100, 92, 84, 76};

struct Palette {
    QColor top, bottom, border, edgeLight, edgeDark, text;
};

Palette paletteOf(Face face)
{
    switch (face) {
    case Face::Pressed:
        return {QColor(21, 52, 104), QColor(44, 90, 160), QColor(8, 30, 70), QColor(10, 34, 78),
                QColor(70, 115, 185), QColor(255, 226, 120)};
    case Face::Dimmed:
        return {QColor(232, 232, 232), QColor(200, 200, 200), QColor(150, 150, 150), QColor(250, 250, 250),
                QColor(170, 170, 170), QColor(120, 120, 120)};
    case Face::Normal:
        break;
    }
    return {QColor(96, 146, 218), QColor(28, 78, 156), QColor(12, 44, 100), QColor(160, 194, 240),
            QColor(20, 58, 120), QColor(255, 255, 255)};
}

QFont makeFont(int pixelSize, int stretch)
{
    QFont f(QStringLiteral("NanumGothic"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    f.setStretch(stretch);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Width available to a glyph run after stretch, as an effective size to compare
// settings by: the pixel size scaled by how much the glyphs were narrowed.
double effectiveSize(int pixelSize, int stretch) { return pixelSize * (0.5 + 0.5 * stretch / 100.0); }

bool fits(const QFont& font, const QStringList& lines, int lineHeight, const QRect& area)
{
    const QFontMetricsF fm(font);
    if (lineHeight * lines.size() > area.height())
        return false;
    for (const QString& line : lines) {
        if (fm.horizontalAdvance(line) > area.width())
            return false;
    }
    return true;
}

} // namespace

QRect labelArea(int width, int height)
{
    // Inside the 1-pixel border and the bevel, one pixel of air on each side.
    return QRect(3, 2, std::max(1, width - 6), std::max(1, height - 4));
}

LabelLayout fitLabel(const QString& label, int width, int height)
{
    const QRect area = labelArea(width, height);
    LabelLayout best;
    double bestScore = -1;

    QList<QStringList> splits{{label}};
    if (label.size() >= 3 && !label.contains(QLatin1Char(' '))) {
        const int half = int((label.size() + 1) / 2);
        splits.append(QStringList{label.left(half), label.mid(half)});
    }
    for (const QStringList& lines : splits) {
        for (int px = kMaxPixelSize; px >= kMinPixelSize; --px) {
            for (int stretch : kStretches) {
                const QFont font = makeFont(px, stretch);
                const int lineHeight = lines.size() == 1 ? px : px + 1;
                if (!fits(font, lines, lineHeight, area))
                    continue;
                // Stacked lines read less naturally: prefer one line unless
                // stacking buys a clearly larger face.
                const double score = effectiveSize(px, stretch) - (lines.size() > 1 ? 1.5 : 0.0);
                if (score > bestScore) {
                    bestScore = score;
                    best = {font, lines, lineHeight};
                }
                break; // smaller pixel sizes at this stretch only score lower
            }
        }
    }
    if (bestScore < 0) // nothing fits: the smallest setting, clipped
        best = {makeFont(kMinPixelSize, kStretches[std::size(kStretches) - 1]), {label}, kMinPixelSize};
    return best;
}

QImage paintButton(const ButtonSpec& spec, Face face)
{
    const int w = spec.width;
    const int h = spec.height;
    QImage img(w, h, QImage::Format_RGB32);
    const Palette pal = paletteOf(face);

    QPainter p(&img);
    QLinearGradient grad(0, 0, 0, h);
    grad.setColorAt(0, pal.top);
    grad.setColorAt(1, pal.bottom);
    p.fillRect(img.rect(), grad);

    // Bevel: light above and left for a raised face, dark for the pressed one.
    p.setPen(pal.edgeLight);
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(pal.edgeDark);
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 1, w - 2, h - 2);
    p.setPen(pal.border);
    p.drawRect(0, 0, w - 1, h - 1);

    const LabelLayout layout = fitLabel(spec.label, w, h);
    QRect area = labelArea(w, h);
    if (face == Face::Pressed)
        area.translate(1, 1);
    p.setFont(layout.font);
    p.setClipRect(QRect(1, 1, w - 2, h - 2));
    const int total = layout.lineHeight * int(layout.lines.size());
    int y = area.top() + (area.height() - total) / 2;
    for (const QString& line : layout.lines) {
        const QRect lineRect(area.left(), y, area.width(), layout.lineHeight);
        if (face == Face::Dimmed) {
            // Etched look: a light copy one pixel down-right under the grey text.
            p.setPen(QColor(250, 250, 250));
            p.drawText(lineRect.translated(1, 1), Qt::AlignCenter, line);
        }
        p.setPen(pal.text);
        p.drawText(lineRect, Qt::AlignCenter, line);
        y += layout.lineHeight;
    }
    p.end();
    return img;
}

} // namespace bmpgen
