#pragma once
#include <QEvent>
#include <QString>
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

} // namespace platform
