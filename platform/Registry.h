#pragma once
#include <QString>
#include <optional>
#include "PlatformExport.h"

namespace platform {

// The registry of the handheld: two roots, keys compared without regard to case,
// 4-byte numbers and texts. Stored under $TVPB_HOME/registry/; every write reaches
// the disk before the call returns, and a read sees what another program (client
// or updater) wrote.
enum class Root { LocalMachine, CurrentUser };

// Read-with-default marker: "no default" (a missing number reads as this value
// and nothing is written).
inline constexpr quint32 kNoDefault = 57072; // 0xDEF0

class TVPB_PLATFORM_EXPORT Registry {
public:
    static bool keyExists(Root root, const QString& key);
    static bool createKey(Root root, const QString& key);

    static std::optional<quint32> getNumber(Root root, const QString& key, const QString& name);
    static std::optional<QString> getText(Root root, const QString& key, const QString& name);
    static bool setNumber(Root root, const QString& key, const QString& name, quint32 value);
    static bool setText(Root root, const QString& key, const QString& name, const QString& value);
    static bool deleteValue(Root root, const QString& key, const QString& name);

    // Read-with-default rules: a missing number with a default other than
    // kNoDefault writes and returns the default; with kNoDefault it returns
    // kNoDefault and writes nothing.
    static quint32 readNumber(Root root, const QString& key, const QString& name,
                              quint32 defaultValue = kNoDefault);
    // A missing text with a default writes and returns it; without one reads as empty.
    static QString readText(Root root, const QString& key, const QString& name,
                            const std::optional<QString>& defaultValue = std::nullopt);
};

} // namespace platform
