// Screenshots of screens for the documentation and for reviewing layouts.
#include "Screenshot.h"

#include "DeviceFrame.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QWidget>

namespace harness {
namespace {

bool onFrame(QWidget* w, QWidget* frame)
{
    for (; w; w = w->parentWidget())
        if (w == frame)
            return true;
    return false;
}

} // namespace

QImage shotImage(QWidget* widget)
{
    QWidget* frame = platform::DeviceFrame::instance();
    if (widget && !onFrame(widget, frame))
        return widget->window()->grab().toImage();
    if (!frame)
        return {};
    QImage image = frame->grab().toImage();
    // Windows over the device (message boxes, windows outside the frame) are
    // painted where they stand.
    QPainter p(&image);
    const QRect device = frame->frameGeometry();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == frame || !top->isVisible()
            || (top->windowType() != Qt::Dialog && top->windowType() != Qt::Popup))
            continue;
        const QRect g = top->frameGeometry();
        if (!g.intersects(device))
            continue;
        p.drawPixmap(g.topLeft() - device.topLeft(), top->grab());
    }
    return image;
}

bool saveShot(QWidget* widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("TVPB_SHOTS");
    if (dir.isEmpty())
        return false;
    QApplication::processEvents();
    const QImage image = shotImage(widget);
    if (image.isNull())
        return false;
    QDir().mkpath(dir);
    return image.save(QDir(dir).filePath(name + QStringLiteral(".png")), "PNG");
}

} // namespace harness
