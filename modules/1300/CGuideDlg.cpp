#include "CGuideDlg.h"

#include <QLabel>
#include <QPixmap>

#include "CBmpButton.h"

CGuideDlg::CGuideDlg(QWidget* parent) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("CGuideDlg"));
    setWindowTitle(QStringLiteral("신규 가입 안내"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("guidePicture"));
    picture->setPixmap(QPixmap(CBmpButton::resolvePath(QStringLiteral("BMP\\enrol_guide.bmp"))));
    picture->setGeometry(10, 10, 220, 200);
    auto* ok = new CBmpButton(this);
    ok->setObjectName(QStringLiteral("btnGuideOk"));
    ok->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    ok->SizeToContent();
    ok->move(97, 230);
    connect(ok, &QAbstractButton::clicked, this, [this] { done(1); });
}

CGuideDlg::~CGuideDlg() = default;
