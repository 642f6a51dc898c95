#pragma once
// Registry helpers of the service kit (local-machine root). A failure to create
// or open the key is reported with ShowAlert and the helper returns false; the
// caller then keeps its defaults.
#include <QString>

// Phone-book entry to dial in modem mode ("Connect_Modem" of the settings key).
bool ReadConnectModem(QString& out);
// "Network_Connect_Option" of the settings key: 0 LAN, 1 modem, other values not set.
bool ReadNetworkOption(int& out);
// "Card_Temp" (temporary) or "Card_Set" of the card key.
bool ReadCardSetting(QString& out, bool temporary);
bool WriteCardSetting(const QString& value, bool temporary);
// Removes "Card_Temp".
bool DeleteCardTemp();

namespace kit {
inline constexpr const char16_t* kSettingsKey = u"Software\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100";
inline constexpr const char16_t* kCardKey = u"Software\\Corvane\\TavrinBank_PdaBanking\\TVPB_2400";
} // namespace kit
