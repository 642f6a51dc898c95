#include "LoginSettings.h"

#include <NetSettings.h>
#include <Registry.h>

namespace login {

namespace {
using platform::Registry;
using platform::Root;
using netsettings::kSettingsKey;

quint32 readNumber(const QString& name)
{
    return Registry::readNumber(Root::LocalMachine, kSettingsKey, name, platform::kNoDefault);
}
} // namespace

bool LoadStoreIDOption()
{
    return readNumber(QStringLiteral("Store_ID_Option")) == 1;
}

void SaveStoreIDOption(bool on)
{
    Registry::setNumber(Root::LocalMachine, kSettingsKey, QStringLiteral("Store_ID_Option"), on ? 1 : 0);
}

QString LoadUserID()
{
    if (!LoadStoreIDOption()) return QStringLiteral("GUEST");
    return Registry::readText(Root::LocalMachine, kSettingsKey, QStringLiteral("Login_ID"));
}

void SaveUserID(const QString& id)
{
    Registry::setText(Root::LocalMachine, kSettingsKey, QStringLiteral("Login_ID"), id);
}

} // namespace login
