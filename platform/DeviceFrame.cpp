// The device-shaped window and the placement of screens over its work area.
//
// A screen or pop-up placed on the work area becomes a frameless child widget
// covering the work area: a dialog whose owner is already on the work area goes
// inside that owner (as the original's owned windows stack over their owner),
// one without such an owner goes straight into the work area. So the whole
// device, with every stacked pop-up, is a single window.
#include "DeviceFrame.h"

#include "KeyGuard.h"
#include "Services.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QScreen>

namespace platform {
namespace {

DeviceFrame* g_frame = nullptr;
const char* const kPlacedProperty = "tvpbPlacedOnWorkArea";

bool isInside(const QWidget* w, const QWidget* ancestor)
{
    for (; w; w = w->parentWidget())
        if (w == ancestor)
            return true;
    return false;
}

void paintSolid(QWidget* w, const QColor& colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QPixmap loadImage(const QString& file)
{
    if (file.isEmpty())
        return {};
    return QPixmap(programFile(file));
}

} // namespace

DeviceFrame::DeviceFrame(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("deviceFrame"));
    setFixedSize(kScreenWidth, kScreenHeight);

    titleBar_ = new QWidget(this);
    titleBar_->setObjectName(QStringLiteral("titleBar"));
    titleBar_->setGeometry(0, 0, kScreenWidth, kTitleBarHeight);
    paintSolid(titleBar_, QColor(0, 0, 128));

    icon_ = new QLabel(titleBar_);
    icon_->setObjectName(QStringLiteral("titleIcon"));
    icon_->setGeometry(0, 0, 26, 26);

    title_ = new QLabel(titleBar_);
    title_->setObjectName(QStringLiteral("titleImage"));
    title_->setGeometry(27, 0, 213, 26);

    work_ = new QWidget(this);
    work_->setObjectName(QStringLiteral("workArea"));
    work_->setGeometry(0, kTitleBarHeight, kScreenWidth, kWorkAreaHeight);
    paintSolid(work_, Qt::white);
    work_->installEventFilter(this);

    g_frame = this;
    installKeyGuard();
}

DeviceFrame::~DeviceFrame()
{
    if (g_frame == this)
        g_frame = nullptr;
}

DeviceFrame* DeviceFrame::instance()
{
    return g_frame;
}

QWidget* DeviceFrame::titleBar() const
{
    return titleBar_;
}

QWidget* DeviceFrame::workArea() const
{
    return work_;
}

void DeviceFrame::setTitleImages(const QString& iconFile, const QString& titleFile)
{
    icon_->setPixmap(loadImage(iconFile));
    title_->setPixmap(loadImage(titleFile));
}

void DeviceFrame::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void DeviceFrame::showCaptionInTitleBar(const QString& caption)
{
    setWindowTitle(caption);
    title_->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    title_->setText(caption);
}

bool DeviceFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == work_ && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit bareTapped();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void placeOnWorkArea(QWidget* w)
{
    if (!w)
        return;
    w->setProperty(kPlacedProperty, true);
    DeviceFrame* frame = DeviceFrame::instance();
    if (!frame || frame == w || isInside(frame, w)) {
        if (!w->isWindow())
            w->setWindowFlag(Qt::Window, true);
        w->setFixedSize(kScreenWidth, kWorkAreaHeight);
        return;
    }
    QWidget* work = frame->workArea();

    // The host: the nearest owner already placed on the work area, else the work
    // area itself when the owner chain leads into the frame or there is no owner.
    QWidget* host = nullptr;
    QWidget* owner = w->parentWidget();
    if (!owner) {
        host = work;
    } else {
        for (QWidget* p = owner; p; p = p->parentWidget()) {
            if (p == work || p == frame) {
                host = work;
                break;
            }
            if (p->property(kPlacedProperty).toBool() && isInside(p, work)) {
                host = p;
                break;
            }
        }
    }

    if (!host) {
        // Owned by a window outside the device (a test's own window): a frameless
        // window over the work area.
        w->setWindowFlags((w->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog | Qt::FramelessWindowHint);
        w->setFixedSize(kScreenWidth, kWorkAreaHeight);
        w->move(work->mapToGlobal(QPoint(0, 0)));
        return;
    }

    if (w->parentWidget() != host || w->isWindow()) {
        const bool wasShown = w->isVisible();
        w->setParent(host, (w->windowFlags() & ~Qt::WindowType_Mask) | Qt::Widget);
        if (wasShown)
            w->show();
    }
    w->setAttribute(Qt::WA_NoMousePropagation);
    w->setAutoFillBackground(true);
    w->setFixedSize(kScreenWidth, kWorkAreaHeight);
    w->move(host->mapFrom(work, QPoint(0, 0)));
    w->raise();
    if (!frame->isVisible())
        frame->show();
}

void centreOverFrame(QWidget* w)
{
    if (!w)
        return;
    if (!w->isVisible())
        w->adjustSize();
    QRect area;
    if (DeviceFrame* frame = DeviceFrame::instance(); frame && frame->isVisible())
        area = frame->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    const QSize size = w->frameGeometry().size();
    w->move(area.center().x() - size.width() / 2 + 1, area.center().y() - size.height() / 2 + 1);
}

} // namespace platform
