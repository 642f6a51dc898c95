#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include "PlatformExport.h"

class QApplication;
class QCoreApplication;

namespace platform {

// ---- Application set-up --------------------------------------------------------
// Loads Qt's Korean translation (standard buttons read 예, 아니요, 확인, 취소).
// False when the translation file cannot be found.
TVPB_PLATFORM_EXPORT bool installKoreanTranslation(QCoreApplication& app);
// Sets the handheld's Hangul font (NanumGothic, 12 px) as the application font.
TVPB_PLATFORM_EXPORT void applyDeviceFont(QApplication& app);

// ---- Folders -------------------------------------------------------------
// Folder of the running executable (the program folder); never the current directory.
// $TVPB_PROGRAM_DIR overrides it for test programs, which live outside that folder.
TVPB_PLATFORM_EXPORT QString programFolder();
// A path in the program folder; "BMP\\x.bmp" style back-slashes are accepted.
TVPB_PLATFORM_EXPORT QString programFile(const QString& relative);
// $TVPB_HOME, or ~/.local/share/tavrin-pda; created on first use.
TVPB_PLATFORM_EXPORT QString homeFolder();

// ---- Clock and random numbers (injectable) --------------------------------
TVPB_PLATFORM_EXPORT QDateTime now();
// Milliseconds of a monotonic clock (the original's tick count).
TVPB_PLATFORM_EXPORT qint64 tickCount();
// Waits the given milliseconds while processing events; with an injected clock
// it advances the fake tick count instead of waiting.
TVPB_PLATFORM_EXPORT void sleepMs(int ms);
// Uniform integer in [low, high].
TVPB_PLATFORM_EXPORT int randomInt(int low, int high);

using NowFn = std::function<QDateTime()>;
using TickFn = std::function<qint64()>;
using SleepFn = std::function<void(int)>;
using RandomFn = std::function<int(int, int)>;
// Empty functions restore the real sources.
TVPB_PLATFORM_EXPORT void setClock(NowFn nowFn, TickFn tickFn = {}, SleepFn sleepFn = {});
TVPB_PLATFORM_EXPORT void setRandomSource(RandomFn fn);

// ---- Wait cursor -----------------------------------------------------------
TVPB_PLATFORM_EXPORT void beginWait();
// Restores the arrow cursor; unless keepTaps, removes every stylus press, release
// and double tap that queued during the wait.
TVPB_PLATFORM_EXPORT void endWait(bool keepTaps = false);
TVPB_PLATFORM_EXPORT bool isWaiting();
// beginWait does not nest: like the original cursor calls, one endWait ends the
// wait however many beginWait calls came before it.

// ---- Sounds ----------------------------------------------------------------
// Plays a system sound by name ("InfBeg", "Alarm1.wav" ...); silent when the
// machine has no audio. Every name asked for is recorded.
TVPB_PLATFORM_EXPORT void playSound(const QString& name);
TVPB_PLATFORM_EXPORT QStringList soundsPlayed();
TVPB_PLATFORM_EXPORT void clearSoundsPlayed();

// ---- Input panel -------------------------------------------------------------
TVPB_PLATFORM_EXPORT void setInputPanelVisible(bool visible);
TVPB_PLATFORM_EXPORT bool inputPanelVisible();

// ---- Files and programs ------------------------------------------------------
// Version string embedded in a binary by the build ("1.0.0.1"); empty when none.
TVPB_PLATFORM_EXPORT QString fileVersion(const QString& path);
// Starts a program of the program folder, detached. False when it cannot start.
TVPB_PLATFORM_EXPORT bool startProgram(const QString& name, const QStringList& args = {});

// ---- Tests ---------------------------------------------------------------------
// Restores the real clock and random source, forgets the sounds played, hides the
// input panel and ends any wait (the test harness calls it between tests).
TVPB_PLATFORM_EXPORT void resetServices();

} // namespace platform
