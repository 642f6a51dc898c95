#pragma once
#include <QEvent>
#include <QString>
#include <functional>
#include "PlatformExport.h"

class QObject;

namespace platform {

// The module-switch message (number 3015): next-module code and an optional text
// (copied at once; the poster keeps ownership of its own text).
inline constexpr int kModuleSwitchMessage = 3015;
inline constexpr QEvent::Type kModuleSwitchEvent = static_cast<QEvent::Type>(QEvent::User + kModuleSwitchMessage);

class TVPB_PLATFORM_EXPORT ModuleSwitchEvent : public QEvent {
public:
    ModuleSwitchEvent(int code, const QString& text);
    int code() const { return code_; }
    const QString& text() const { return text_; }

private:
    int code_;
    QString text_;
};

// Posts the module-switch message to the shell window (or any receiver).
TVPB_PLATFORM_EXPORT void postModuleSwitch(QObject* receiver, int code, const QString& text = {});

// The module table: the codes 1100 ... 3500 and their library files in the
// program folder ("tvpb_2200.so"); 9999 (quit) and any other code have none.
TVPB_PLATFORM_EXPORT bool isModuleCode(int code);
TVPB_PLATFORM_EXPORT QString moduleLibraryName(int code);

// Whether the shell can run the module: its library is in the program folder,
// loads and exports the module factory. Quit (9999) needs no library. The
// library stays loaded (the shell keeps module libraries loaded anyway).
TVPB_PLATFORM_EXPORT bool moduleInstalled(int code);
// Tests of single screens stand in for the program folder's module libraries;
// an empty check restores the real one.
TVPB_PLATFORM_EXPORT void setModuleInstalledCheck(std::function<bool(int)> check);

// What the user is told when a button leads to a module that is not installed.
inline constexpr const char16_t* kModuleMissingText =
    u"선택하신 메뉴가 설치되어 있지 않습니다.\r\n프로그램을 다시 설치해 주십시오.";

} // namespace platform
