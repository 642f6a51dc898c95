#include "CBmpButton.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

#include "Services.h"

namespace {

// "<label>_<WW><HH>[_d].bmp" or "<label>_D<WW><HH>.bmp"
const QRegularExpression kNamePattern(QStringLiteral("^(.*)_D?(\\d{2})(\\d{2})(_d)?$"),
                                      QRegularExpression::CaseInsensitiveOption);

QString baseName(const QString& file)
{
    QString name = file;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return name;
}

QPixmap loadFace(const QString& file)
{
    if (file.isEmpty())
        return {};
    const QString path = CBmpButton::resolvePath(file);
    if (!QFileInfo::exists(path))
        return {};
    return QPixmap(path);
}

} // namespace

CBmpButton::CBmpButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

CBmpButton::~CBmpButton() = default;

QString CBmpButton::resolvePath(const QString& file)
{
    QString unix = file;
    unix.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(unix))
        return unix;
    return platform::programFile(file);
}

QString CBmpButton::labelFromFileName(const QString& file)
{
    const QString name = baseName(file);
    const auto m = kNamePattern.match(name);
    QString label = m.hasMatch() ? m.captured(1) : name;
    if (!m.hasMatch() && label.endsWith(QLatin1String("_d")))
        label.chop(2);
    return label;
}

QSize CBmpButton::sizeFromFileName(const QString& file)
{
    const auto m = kNamePattern.match(baseName(file));
    if (!m.hasMatch())
        return {};
    return QSize(m.captured(2).toInt(), m.captured(3).toInt());
}

BOOL CBmpButton::LoadBitmap(const QString& normal, const QString& pressed, const QString& disabled)
{
    normal_ = loadFace(normal);
    pressed_ = loadFace(pressed);
    disabled_ = loadFace(disabled);
    label_ = labelFromFileName(normal);
    namedSize_ = sizeFromFileName(normal);
    setText(label_);
    setAccessibleName(label_);
    updateGeometry();
    update();
    return normal_.isNull() ? FALSE : TRUE;
}

CBmpButton* CBmpButton::Create(QWidget* parent, const char* objectName, const QString& image, int x, int y)
{
    auto* b = new CBmpButton(parent);
    b->setObjectName(QLatin1String(objectName));
    b->LoadBitmap(QStringLiteral("BMP\\%1.bmp").arg(image), QStringLiteral("BMP\\%1_d.bmp").arg(image), QString());
    b->SizeToContent();
    b->move(x, y);
    return b;
}

void CBmpButton::SizeToContent()
{
    const QSize s = sizeHint();
    if (s.isValid())
        resize(s);
}

QSize CBmpButton::sizeHint() const
{
    if (!normal_.isNull())
        return normal_.deviceIndependentSize().toSize();
    if (namedSize_.isValid() && !namedSize_.isEmpty())
        return namedSize_;
    const QFontMetrics fm = fontMetrics();
    return QSize(fm.horizontalAdvance(label_) + 12, fm.height() + 8);
}

CBmpButton::Face CBmpButton::currentFace() const
{
    if (normal_.isNull())
        return TextFace;
    if (!isEnabled())
        return DisabledFace;
    if (isDown() && !pressed_.isNull())
        return PressedFace;
    return NormalFace;
}

QStringList CBmpButton::fitFallbackLabel(const QString& label, QFont* font, const QSize& room)
{
    // A smaller type before stacking, stacking before cutting the label short:
    // the buttons are small ("이전으로" on 32x24).
    QFont f = *font;
    const int base = f.pixelSize() > 0 ? f.pixelSize() : QFontMetrics(f).height();
    // Widths in fractions of a pixel: a label whose whole-pixel advance just fits
    // can still be a fraction too wide, and the painter then cuts it to "앞…".
    // Heights in whole pixels: the glyphs' ink stays inside ascent and descent.
    auto fits = [&](const QStringList& lines, int px) {
        f.setPixelSize(px);
        const QFontMetrics rows(f);
        if (int(lines.size()) * (lines.size() > 1 ? rows.ascent() + rows.descent() : rows.height()) > room.height())
            return false;
        const QFontMetricsF fm(f);
        for (const QString& line : lines) {
            const QRectF ink = fm.boundingRect(line);
            if (std::max(fm.horizontalAdvance(line), ink.right()) > room.width())
                return false;
        }
        return true;
    };
    QList<QStringList> tries{{label}};
    if (label.size() >= 3 && !label.contains(QLatin1Char(' ')))
        tries.append(QStringList{label.left((label.size() + 1) / 2), label.mid((label.size() + 1) / 2)});
    for (int minPx : {9, 7}) {
        for (const QStringList& lines : tries) {
            for (int px = std::max(base, minPx); px >= minPx; --px) {
                if (fits(lines, px)) {
                    *font = f;
                    return lines;
                }
            }
        }
    }
    f.setPixelSize(7);
    *font = f;
    return {label};
}

void CBmpButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    switch (currentFace()) {
    case NormalFace:
        p.drawPixmap(r, normal_);
        break;
    case PressedFace:
        p.drawPixmap(r, pressed_);
        break;
    case DisabledFace:
        if (!disabled_.isNull()) {
            p.drawPixmap(r, disabled_);
        } else {
            p.drawPixmap(r, normal_);
            p.fillRect(r, QColor(255, 255, 255, 128));
        }
        break;
    case TextFace: {
        // A plain raised button with the label, so a missing file never hides the action.
        const bool down = isDown();
        p.fillRect(r, down ? QColor(160, 160, 160) : QColor(214, 211, 206));
        p.setPen(down ? QColor(64, 64, 64) : QColor(255, 255, 255));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(down ? QColor(255, 255, 255) : QColor(64, 64, 64));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(isEnabled() ? QColor(0, 0, 0) : QColor(128, 128, 128));
        const QRect tr = r.adjusted(2, 1, -2, -1).translated(down ? 1 : 0, down ? 1 : 0);
        QFont f = font();
        const QStringList lines = fitFallbackLabel(label_, &f, tr.size());
        p.setFont(f);
        const int lineHeight = tr.height() / int(lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            const QRect lr(tr.left(), tr.top() + i * lineHeight, tr.width(), lineHeight);
            p.drawText(lr, Qt::AlignCenter | Qt::TextSingleLine,
                       p.fontMetrics().elidedText(lines[i], Qt::ElideRight, tr.width()));
        }
        break;
    }
    }
}
