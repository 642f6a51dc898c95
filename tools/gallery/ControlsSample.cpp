// Gallery page: image buttons in each state, coloured labels, keypad buttons.
#include "SamplePages.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CNumberKbd.h"

namespace gallery {
namespace {

CBmpButton* imageButton(QWidget* page, const QString& normal, const QString& pressed, const QString& dimmed,
                        int x, int y)
{
    auto* b = new CBmpButton(page);
    b->LoadBitmap(normal, pressed, dimmed);
    b->SizeToContent();
    b->move(x, y);
    return b;
}

CColorStatic* colourLabel(QWidget* page, const QString& text, COLORREF bk, int x, int y, int w)
{
    auto* l = new CColorStatic(text, page);
    l->SetBkColor(bk);
    l->SetTextColor(RGB(0, 0, 0));
    l->SetAlignment(DT_CENTER | DT_VCENTER);
    l->setGeometry(x, y, w, 20);
    return l;
}

} // namespace

QWidget* makeControlsSample(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("controlsSample"));

    auto* caption = new QLabel(QStringLiteral("이미지 단추: 보통 / 눌림 / 흐림 / 파일 없음"), page);
    caption->setGeometry(4, 2, 232, 18);

    imageButton(page, QStringLiteral("BMP\\조회_4226.bmp"), QStringLiteral("BMP\\조회_4226_d.bmp"), {}, 4, 22);
    auto* down = imageButton(page, QStringLiteral("BMP\\이체_4226.bmp"), QStringLiteral("BMP\\이체_4226_d.bmp"), {},
                             50, 22);
    down->setObjectName(QStringLiteral("shownPressed"));
    down->setDown(true);
    auto* dim = imageButton(page, QStringLiteral("BMP\\앞으로_3224.bmp"), QStringLiteral("BMP\\앞으로_3224_d.bmp"),
                            QStringLiteral("BMP\\앞으로_D3224.bmp"), 96, 23);
    dim->EnableWindow(FALSE);
    imageButton(page, QStringLiteral("BMP\\없는단추_4226.bmp"), QStringLiteral("BMP\\없는단추_4226_d.bmp"), {}, 134,
                22);
    imageButton(page, QStringLiteral("BMP\\홈_3026.bmp"), QStringLiteral("BMP\\홈_3026_d.bmp"), {}, 180, 22);

    auto* labels = new QLabel(QStringLiteral("색 라벨"), page);
    labels->setGeometry(4, 54, 232, 18);
    colourLabel(page, QStringLiteral("출금계좌"), RGB(181, 178, 181), 4, 74, 76);
    colourLabel(page, QStringLiteral("보내는분"), RGB(222, 223, 222), 82, 74, 76);
    colourLabel(page, QStringLiteral("이체결과확인"), RGB(206, 239, 255), 160, 74, 76);
    colourLabel(page, QStringLiteral("이용자 ID"), RGB(192, 255, 255), 4, 96, 76);
    colourLabel(page, QStringLiteral("신규 가입"), RGB(128, 255, 255), 82, 96, 76);
    auto* white = colourLabel(page, QStringLiteral("홍길동"), RGB(255, 255, 255), 160, 96, 76);
    white->setFrameStyle(QFrame::Box);

    auto* pads = new QLabel(QStringLiteral("숫자 키패드"), page);
    pads->setGeometry(4, 124, 232, 18);
    struct Pad {
        const char* name;
        const char* title;
        int kind;
        int maxLen;
    };
    const Pad list[] = {{"padNumber", "입금계좌", 1, -1}, {"padAmount", "거래금액", 2, -1}, {"padSecret", "비밀번호", 3, 4}};
    auto* result = colourLabel(page, QStringLiteral("입력값이 여기에 나옵니다"), RGB(255, 255, 255), 4, 176, 232);
    result->setObjectName(QStringLiteral("padResult"));
    result->setFrameStyle(QFrame::Box);
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(list[i].title), page);
        b->setObjectName(QString::fromLatin1(list[i].name));
        b->setGeometry(4 + 78 * i, 144, 74, 28);
        const Pad pad = list[i];
        QObject::connect(b, &QPushButton::clicked, page, [page, result, pad] {
            CNumberKbd kbd(page);
            kbd.SetWorkProp(QString::fromUtf8(pad.title), pad.kind, pad.maxLen);
            if (kbd.DoModal() == 1)
                result->setText(QStringLiteral("%1: %2").arg(QString::fromUtf8(pad.title), kbd.GetFormatedData(1)));
            else
                result->setText(QStringLiteral("%1: 취소").arg(QString::fromUtf8(pad.title)));
        });
    }
    return page;
}

} // namespace gallery
