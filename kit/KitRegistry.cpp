#include "KitRegistry.h"

#include "KitPrompts.h"
#include "Registry.h"

using platform::Registry;
using platform::Root;

namespace {

// Opens the key, creating it when absent.
bool createKey(const char16_t* key)
{
    if (Registry::createKey(Root::LocalMachine, QString::fromUtf16(key)))
        return true;
    ShowAlert(QStringLiteral("RegCreateKeyEx Failed"), false);
    return false;
}

QString cardValueName(bool temporary)
{
    return temporary ? QStringLiteral("Card_Temp") : QStringLiteral("Card_Set");
}

bool readText(const char16_t* key, const QString& name, QString& out)
{
    out.clear();
    if (!createKey(key))
        return false;
    const std::optional<QString> v = Registry::getText(Root::LocalMachine, QString::fromUtf16(key), name);
    if (!v)
        return false;
    out = *v;
    return true;
}

} // namespace

bool ReadConnectModem(QString& out)
{
    return readText(kit::kSettingsKey, QStringLiteral("Connect_Modem"), out);
}

bool ReadNetworkOption(int& out)
{
    out = -1;
    if (!createKey(kit::kSettingsKey))
        return false;
    const std::optional<quint32> v = Registry::getNumber(Root::LocalMachine, QString::fromUtf16(kit::kSettingsKey),
                                                         QStringLiteral("Network_Connect_Option"));
    if (!v)
        return false;
    out = static_cast<int>(*v);
    return true;
}

bool ReadCardSetting(QString& out, bool temporary)
{
    return readText(kit::kCardKey, cardValueName(temporary), out);
}

bool WriteCardSetting(const QString& value, bool temporary)
{
    const QString key = QString::fromUtf16(kit::kCardKey);
    if (!Registry::keyExists(Root::LocalMachine, key)) {
        ShowAlert(QStringLiteral("RegOpenKeyEx Failed"), false);
        return false;
    }
    return Registry::setText(Root::LocalMachine, key, cardValueName(temporary), value);
}

bool DeleteCardTemp()
{
    const QString key = QString::fromUtf16(kit::kCardKey);
    if (!Registry::keyExists(Root::LocalMachine, key))
        return false;
    return Registry::deleteValue(Root::LocalMachine, key, cardValueName(true));
}
