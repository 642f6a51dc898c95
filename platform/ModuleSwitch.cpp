// The module-switch message between a module screen and the shell.
#include "ModuleSwitch.h"

#include <QCoreApplication>
#include <QLibrary>

#include <array>

#include "ModuleContract.h"
#include "Services.h"

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

namespace {
constexpr std::array<int, 12> kModules = {1100, 1200, 1300, 2100, 2200, 2300, 2400, 3100, 3200, 3300, 3400, 3500};
constexpr int kQuitCode = 9999;
} // namespace

bool isModuleCode(int code)
{
    for (int m : kModules)
        if (m == code)
            return true;
    return false;
}

QString moduleLibraryName(int code)
{
    if (!isModuleCode(code))
        return {};
    return QStringLiteral("tvpb_%1.so").arg(code);
}

namespace {
std::function<bool(int)>& installedCheck()
{
    static std::function<bool(int)> check;
    return check;
}
} // namespace

void setModuleInstalledCheck(std::function<bool(int)> check)
{
    installedCheck() = std::move(check);
}

bool moduleInstalled(int code)
{
    if (installedCheck())
        return installedCheck()(code);
    if (code == kQuitCode)
        return true;
    if (!isModuleCode(code))
        return false;
    QLibrary lib(programFile(moduleLibraryName(code)));
    lib.setLoadHints(QLibrary::PreventUnloadHint);
    return lib.resolve(kTvpbModuleFactory) != nullptr;
}

} // namespace platform
