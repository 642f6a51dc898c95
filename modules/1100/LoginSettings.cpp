#include "LoginSettings.h"

#include <Registry.h>

namespace login {

const QString kSettingsKey = QStringLiteral("SOFTWARE\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100");

namespace {
using platform::Registry;
using platform::Root;

quint32 readNumber(const QString& name)
{
    return Registry::readNumber(Root::LocalMachine, kSettingsKey, name, platform::kNoDefault);
}

// 0, 1, or -1 for anything else (missing included).
int threeWay(quint32 v)
{
    return v == 0 ? 0 : v == 1 ? 1 : -1;
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

int ReadNetworkConnectOption()
{
    return threeWay(readNumber(QStringLiteral("Network_Connect_Option")));
}

void WriteNetworkConnectOption(int option)
{
    // -1 (neither choice) is stored as its 4-byte pattern; every reader treats it as not set.
    Registry::setNumber(Root::LocalMachine, kSettingsKey, QStringLiteral("Network_Connect_Option"),
                        static_cast<quint32>(option));
}

QString ReadConnectModem()
{
    return Registry::readText(Root::LocalMachine, kSettingsKey, QStringLiteral("Connect_Modem"));
}

void WriteConnectModem(const QString& entry)
{
    Registry::setText(Root::LocalMachine, kSettingsKey, QStringLiteral("Connect_Modem"), entry);
}

int ReadEqualVUP()
{
    return threeWay(readNumber(QStringLiteral("Equal_VUP")));
}

void WriteEqualVUP(int value)
{
    Registry::setNumber(Root::LocalMachine, kSettingsKey, QStringLiteral("Equal_VUP"), static_cast<quint32>(value));
}

} // namespace login
