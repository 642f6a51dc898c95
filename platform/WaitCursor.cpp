// The wait cursor of a request, and the discarding of stylus taps made meanwhile.
#include "Services.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>

namespace platform {
namespace {

bool g_waiting = false;

bool isTap(QEvent::Type t)
{
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick;
}

// Eats every stylus press, release and double tap while installed.
class TapEater : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* e) override { return isTap(e->type()); }
};

void discardQueuedTaps()
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    // Taps posted to the queue, then those still waiting in the window system's
    // queue: the latter are delivered now into a filter that drops them.
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick})
        QCoreApplication::removePostedEvents(nullptr, type);
    TapEater eater;
    app->installEventFilter(&eater);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&eater);
}

} // namespace

void beginWait()
{
    if (g_waiting)
        return;
    g_waiting = true;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void endWait(bool keepTaps)
{
    if (g_waiting) {
        g_waiting = false;
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::restoreOverrideCursor();
    }
    if (!keepTaps)
        discardQueuedTaps();
}

bool isWaiting()
{
    return g_waiting;
}

} // namespace platform
