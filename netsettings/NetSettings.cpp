#include "NetSettings.h"

#include <Registry.h>

namespace netsettings {

const QString kSettingsKey = QStringLiteral("SOFTWARE\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100");

namespace {
using platform::Registry;
using platform::Root;

int readThreeWay(const QString& name)
{
    const quint32 v = Registry::readNumber(Root::LocalMachine, kSettingsKey, name, platform::kNoDefault);
    return v == 0 ? 0 : v == 1 ? 1 : -1;
}

void writeNumber(const QString& name, int value)
{
    Registry::setNumber(Root::LocalMachine, kSettingsKey, name, static_cast<quint32>(value));
}

QString readText(const QString& name)
{
    return Registry::readText(Root::LocalMachine, kSettingsKey, name);
}

void writeText(const QString& name, const QString& value)
{
    Registry::setText(Root::LocalMachine, kSettingsKey, name, value);
}
} // namespace

int ReadNetworkConnectOption() { return readThreeWay(QStringLiteral("Network_Connect_Option")); }
void WriteNetworkConnectOption(int option) { writeNumber(QStringLiteral("Network_Connect_Option"), option); }
QString ReadConnectModem() { return readText(QStringLiteral("Connect_Modem")); }
void WriteConnectModem(const QString& entry) { writeText(QStringLiteral("Connect_Modem"), entry); }
int ReadEqualVUP() { return readThreeWay(QStringLiteral("Equal_VUP")); }
void WriteEqualVUP(int value) { writeNumber(QStringLiteral("Equal_VUP"), value); }
QString ReadVUPModem() { return readText(QStringLiteral("VUP_Modem")); }
void WriteVUPModem(const QString& entry) { writeText(QStringLiteral("VUP_Modem"), entry); }

} // namespace netsettings
