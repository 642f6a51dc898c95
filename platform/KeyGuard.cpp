// Enter and Escape never reach a screen or pop-up: the key-downs are discarded
// before any widget sees them, so neither closes a dialog nor presses a default
// or auto-default button (a focused push button clicks itself on Enter, before
// the dialog's own key handling would run).
#include "KeyGuard.h"

#include "DeviceFrame.h"
#include "DialogBase.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace platform {
namespace {

bool isGuardedKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

// True when the widget belongs to a screen of the suite: a dialog of ours or the
// device frame, found before the walk leaves the widget's own window. Message
// boxes and other windows keep their keys.
bool insideSuiteScreen(QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        if (qobject_cast<DialogBase*>(w) || qobject_cast<DeviceFrame*>(w))
            return true;
        if (w->isWindow())
            return false;
    }
    return false;
}

class KeyGuardFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(e);
        return isGuardedKey(key->key()) && insideSuiteScreen(static_cast<QWidget*>(watched));
    }
};

QPointer<KeyGuardFilter> g_guard;

} // namespace

void installKeyGuard()
{
    auto* app = QCoreApplication::instance();
    if (!app || g_guard)
        return;
    g_guard = new KeyGuardFilter(app);
    app->installEventFilter(g_guard);
}

} // namespace platform
