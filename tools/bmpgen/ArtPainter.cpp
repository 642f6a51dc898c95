#include "ArtPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

namespace bmpgen {

namespace {

const QColor kNavy(16, 42, 96);
const QColor kBlue(40, 96, 180);
const QColor kGold(236, 190, 70);
const QColor kWorkArea(182, 197, 225); // the start screen's dialog colour

QFont nanum(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("NanumGothic"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Largest pixel size (from start down) at which the text fits the width.
QFont fittingFont(const QString& text, int start, int width, bool bold)
{
    for (int px = start; px > 7; --px) {
        QFont f = nanum(px, bold);
        if (QFontMetricsF(f).horizontalAdvance(text) <= width)
            return f;
    }
    return nanum(8, bold);
}

// A classical bank front: roof, four columns, base, in the given colour.
void drawEmblem(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
    QPainterPath roof;
    roof.moveTo(x + w * 0.5, y);
    roof.lineTo(x + w, y + h * 0.30);
    roof.lineTo(x, y + h * 0.30);
    roof.closeSubpath();
    p.drawPath(roof);
    p.drawRect(QRectF(x + w * 0.06, y + h * 0.34, w * 0.88, h * 0.08));
    const double colW = w * 0.12;
    for (int i = 0; i < 4; ++i) {
        const double cx = x + w * (0.14 + 0.24 * i);
        p.drawRect(QRectF(cx, y + h * 0.46, colW, h * 0.36));
    }
    p.drawRect(QRectF(x, y + h * 0.86, w, h * 0.14));
    p.restore();
}

QImage blank(int width, int height, const QColor& fill)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

} // namespace

QString bankTitle() { return QStringLiteral("타브린은행 PDA 뱅킹"); }

QImage paintTitleIcon(int width, int height)
{
    QImage img = blank(width, height, kNavy);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, kBlue);
    g.setColorAt(1, kNavy);
    p.fillRect(img.rect(), g);
    const double m = width * 0.16;
    drawEmblem(p, QRectF(m, height * 0.16, width - 2 * m, height * 0.68), kGold);
    return img;
}

QImage paintTitleBar(int width, int height)
{
    QImage img = blank(width, height, kNavy);
    QPainter p(&img);
    QLinearGradient g(0, 0, width, 0);
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kBlue);
    p.fillRect(img.rect(), g);
    p.setPen(kGold);
    p.drawLine(0, height - 1, width - 1, height - 1);
    p.setFont(fittingFont(bankTitle(), 15, width - 8, true));
    p.setPen(Qt::white);
    p.drawText(QRect(6, 0, width - 12, height - 1), Qt::AlignVCenter | Qt::AlignLeft, bankTitle());
    return img;
}

QImage paintStartBackground(int width, int height)
{
    QImage img = blank(width, height, kWorkArea);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Work area: the dialog colour, slightly lighter towards the bottom.
    QLinearGradient body(0, 0, 0, height);
    body.setColorAt(0, kWorkArea);
    body.setColorAt(1, kWorkArea.lighter(112));
    p.fillRect(img.rect(), body);

    // Banner with the emblem and the bank's name.
    const int banner = height * 22 / 100;
    QLinearGradient band(0, 0, width, banner);
    band.setColorAt(0, kNavy);
    band.setColorAt(1, kBlue);
    p.fillRect(QRect(0, 0, width, banner), band);
    p.fillRect(QRect(0, banner, width, 3), kGold);

    const int emblem = banner * 60 / 100;
    drawEmblem(p, QRectF(10, (banner - emblem) / 2.0, emblem, emblem), kGold);

    const int textLeft = 10 + emblem + 10;
    const QString name = QStringLiteral("타브린은행");
    p.setPen(Qt::white);
    p.setFont(fittingFont(name, 22, width - textLeft - 8, true));
    p.drawText(QRect(textLeft, 4, width - textLeft - 6, banner / 2), Qt::AlignLeft | Qt::AlignBottom, name);
    p.setPen(QColor(210, 226, 250));
    p.setFont(nanum(12, false));
    p.drawText(QRect(textLeft, banner / 2 + 2, width - textLeft - 6, banner / 2 - 4), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("PDA 인터넷뱅킹"));

    // Soft waves along the bottom edge.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 2; ++i) {
        QPainterPath wave;
        const double base = height - 26 + i * 10;
        wave.moveTo(0, base);
        wave.cubicTo(width * 0.3, base - 14, width * 0.6, base + 12, width, base - 6);
        wave.lineTo(width, height);
        wave.lineTo(0, height);
        wave.closeSubpath();
        QColor c = i == 0 ? QColor(150, 172, 212) : QColor(120, 148, 198);
        p.setBrush(c);
        p.drawPath(wave);
    }
    return img;
}

QImage paintCheque(int width, int height)
{
    QImage img = blank(width, height, QColor(246, 240, 220));
    QPainter p(&img);
    p.setPen(QColor(150, 120, 60));
    p.drawRect(0, 0, width - 1, height - 1);
    p.drawRect(2, 2, width - 5, height - 5);
    p.setPen(QColor(90, 60, 20));
    p.setFont(nanum(12, true));
    p.drawText(QRect(8, 4, width / 2, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("자기앞수표"));
    p.setFont(nanum(10, false));
    p.drawText(QRect(width / 2, 4, width / 2 - 8, 16), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("타브린은행"));
    p.drawText(QRect(8, 24, 40, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("금액"));
    p.setPen(QColor(150, 120, 60));
    p.drawRect(48, 24, width - 58, 14);
    p.drawLine(8, height - 12, width / 2, height - 12);
    p.setPen(QColor(90, 60, 20));
    p.setFont(nanum(9, false));
    p.drawText(QRect(width / 2 + 4, height - 20, width / 2 - 12, 14), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("가 0000000"));
    return img;
}

QImage paintEnrolGuide(int width, int height)
{
    QImage img = blank(width, height, Qt::white);
    QPainter p(&img);
    p.fillRect(QRect(0, 0, width, 24), kNavy);
    p.setPen(Qt::white);
    p.setFont(nanum(13, true));
    p.drawText(QRect(0, 0, width, 24), Qt::AlignCenter, QStringLiteral("신규 가입 안내"));
    const QStringList steps{
        QStringLiteral("1. 인터넷뱅킹 가입 고객만"),
        QStringLiteral("   이용하실 수 있습니다."),
        QStringLiteral("2. 약관에 동의합니다."),
        QStringLiteral("3. 주민등록번호와 계좌번호,"),
        QStringLiteral("   계좌 비밀번호를 입력합니다."),
        QStringLiteral("4. 사용할 이용자 ID와"),
        QStringLiteral("   비밀번호를 정합니다."),
        QStringLiteral("5. 가입이 끝나면 로그인 화면에서"),
        QStringLiteral("   새 ID로 로그인하십시오."),
    };
    p.setPen(QColor(30, 30, 30));
    const QFont body = fittingFont(steps[7], 12, width - 12, false);
    p.setFont(body);
    const int line = QFontMetricsF(body).height() + 2;
    int y = 32;
    for (const QString& s : steps) {
        p.drawText(QRect(6, y, width - 12, line), Qt::AlignLeft | Qt::AlignVCenter, s);
        y += line;
    }
    p.setPen(kBlue);
    p.drawRect(0, 0, width - 1, height - 1);
    return img;
}

QList<ArtSpec> programArt()
{
    return {
        {QStringLiteral("title_icon.bmp"), 26, 26, &paintTitleIcon},
        {QStringLiteral("title.bmp"), 213, 26, &paintTitleBar},
        {QStringLiteral("app_icon.bmp"), 32, 32, &paintTitleIcon},
        {QStringLiteral("start_bg.bmp"), 240, 294, &paintStartBackground},
        {QStringLiteral("cheque.bmp"), 232, 60, &paintCheque},
        {QStringLiteral("enrol_guide.bmp"), 220, 200, &paintEnrolGuide},
    };
}

} // namespace bmpgen
