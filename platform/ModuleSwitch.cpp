// The module-switch message between a module screen and the shell.
#include "ModuleSwitch.h"

#include <QCoreApplication>

namespace platform {

ModuleSwitchEvent::ModuleSwitchEvent(int code, const QString& text)
    : QEvent(kModuleSwitchEvent), code_(code), text_(text)
{
}

void postModuleSwitch(QObject* receiver, int code, const QString& text)
{
    if (!receiver)
        return;
    // The text is copied into the event; the poster's own text may go at once.
    QCoreApplication::postEvent(receiver, new ModuleSwitchEvent(code, QString(text.constData(), text.size())));
}

} // namespace platform
