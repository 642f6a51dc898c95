// System sounds by name, the input panel, and the reset of injected services.
#include "Services.h"

#include <QMutex>
#include <QMutexLocker>

namespace platform {
namespace {

QMutex g_soundMutex;
QStringList g_sounds;
bool g_inputPanel = false;

} // namespace

void playSound(const QString& name)
{
    // This machine has no sound output of its own: the request is recorded so
    // that screens which announce an event with a sound can be checked.
    QMutexLocker lock(&g_soundMutex);
    g_sounds.append(name);
}

QStringList soundsPlayed()
{
    QMutexLocker lock(&g_soundMutex);
    return g_sounds;
}

void clearSoundsPlayed()
{
    QMutexLocker lock(&g_soundMutex);
    g_sounds.clear();
}

void setInputPanelVisible(bool visible)
{
    g_inputPanel = visible;
}

bool inputPanelVisible()
{
    return g_inputPanel;
}

void resetServices()
{
    setClock({});
    setRandomSource({});
    clearSoundsPlayed();
    setInputPanelVisible(false);
    endWait(true);
}

} // namespace platform
