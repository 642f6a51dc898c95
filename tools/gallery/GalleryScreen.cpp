#include "GalleryScreen.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>

#include "CBmpButton.h"
#include "CExTabCtrl.h"
#include "CNumberKbd.h"
#include "DeviceFrame.h"
#include "SamplePages.h"

namespace gallery {

GalleryScreen::GalleryScreen(QWidget* parent) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("galleryScreen"));
    setWindowTitle(QStringLiteral("컨트롤 갤러리"));
    resize(platform::kScreenWidth, platform::kWorkAreaHeight);
    setAutoFillBackground(true);

    stack_ = new QStackedWidget(this);
    stack_->setGeometry(0, 0, 240, 264);

    prev_ = new CBmpButton(this);
    prev_->setObjectName(QStringLiteral("prevPage"));
    prev_->LoadBitmap(QStringLiteral("BMP\\앞으로_3224.bmp"), QStringLiteral("BMP\\앞으로_3224_d.bmp"),
                      QStringLiteral("BMP\\앞으로_D3224.bmp"));
    prev_->SizeToContent();
    prev_->move(4, 267);
    next_ = new CBmpButton(this);
    next_->setObjectName(QStringLiteral("nextPage"));
    next_->LoadBitmap(QStringLiteral("BMP\\뒤로_3224.bmp"), QStringLiteral("BMP\\뒤로_3224_d.bmp"),
                      QStringLiteral("BMP\\뒤로_D3224.bmp"));
    next_->SizeToContent();
    next_->move(204, 267);
    pageLabel_ = new QLabel(this);
    pageLabel_->setGeometry(40, 266, 160, 26);
    pageLabel_->setAlignment(Qt::AlignCenter);

    connect(prev_, &CBmpButton::clicked, this, [this] { showPage(stack_->currentIndex() - 1); });
    connect(next_, &CBmpButton::clicked, this, [this] { showPage(stack_->currentIndex() + 1); });

    if (auto* frame = platform::DeviceFrame::instance()) {
        titleText_ = new QLabel(frame->titleBar());
        titleText_->setGeometry(6, 0, 228, 26);
        QPalette pal = titleText_->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        titleText_->setPalette(pal);
        QFont f = titleText_->font();
        f.setBold(true);
        titleText_->setFont(f);
    }

    addPage(makeAccountsSample(stack_), QStringLiteral("보유계좌 목록"), QStringLiteral("accounts"));
    addPage(makeTabsSample(stack_), QStringLiteral("탭 컨트롤"), QStringLiteral("tabs"));
    addPage(makeControlsSample(stack_), QStringLiteral("단추와 라벨"), QStringLiteral("controls"));
    addPage(makeDetailSample(stack_), QStringLiteral("확인 그리드"), QStringLiteral("detail"));
    showPage(0);
}

void GalleryScreen::addPage(QWidget* page, const QString& caption, const QString& slug)
{
    stack_->addWidget(page);
    captions_ << caption;
    slugs_ << slug;
}

int GalleryScreen::pageCount() const
{
    return stack_->count();
}

void GalleryScreen::showPage(int index)
{
    if (index < 0 || index >= stack_->count())
        return;
    stack_->setCurrentIndex(index);
    prev_->setEnabled(index > 0);
    next_->setEnabled(index + 1 < stack_->count());
    updateCaption();
}

void GalleryScreen::updateCaption()
{
    const int i = stack_->currentIndex();
    pageLabel_->setText(QStringLiteral("%1 / %2").arg(i + 1).arg(stack_->count()));
    if (titleText_)
        titleText_->setText(QStringLiteral("Lattice 갤러리 - %1").arg(captions_.value(i)));
}

QStringList GalleryScreen::saveShots(const QString& dir)
{
    QDir().mkpath(dir);
    QStringList written;
    QWidget* device = platform::DeviceFrame::instance();
    if (!device)
        device = this;
    auto save = [&](const QString& name) {
        QCoreApplication::processEvents();
        const QString path = QDir(dir).filePath(name);
        if (device->grab().save(path, "PNG"))
            written << path;
    };
    int n = 0;
    for (int i = 0; i < stack_->count(); ++i) {
        showPage(i);
        save(QStringLiteral("gallery-%1-%2.png").arg(++n).arg(slugs_.value(i)));
        // Every page of a tab control gets its own picture.
        if (auto* tabs = stack_->widget(i)->findChild<CExTabCtrl*>()) {
            for (int t = 1; t < tabs->GetItemCount(); ++t) {
                tabs->SetCurSel(t);
                save(QStringLiteral("gallery-%1-%2-tab%3.png").arg(++n).arg(slugs_.value(i)).arg(t + 1));
            }
            tabs->SetCurSel(0);
        }
    }

    struct Pad {
        const char* title;
        int kind;
        int maxLen;
        const char* typed;
        const char* slug;
    };
    const Pad pads[] = {{"입금계좌", 1, -1, "11012345678", "number"},
                        {"거래금액", 2, -1, "1234567", "amount"},
                        {"보안카드 7번 입력", 3, 4, "123", "secret"}};
    for (const Pad& pad : pads) {
        auto* kbd = new CNumberKbd(this);
        kbd->SetWorkProp(QString::fromUtf8(pad.title), pad.kind, pad.maxLen);
        kbd->typeDigits(QString::fromLatin1(pad.typed));
        if (titleText_)
            titleText_->setText(QStringLiteral("Lattice 갤러리 - 키패드 %1").arg(pad.kind));
        kbd->show();
        save(QStringLiteral("gallery-%1-keypad-%2.png").arg(++n).arg(QString::fromLatin1(pad.slug)));
        kbd->hide();
        delete kbd;
    }
    showPage(0);
    return written;
}

} // namespace gallery
