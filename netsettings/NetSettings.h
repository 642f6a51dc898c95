#pragma once
// The network values of the settings key (local machine), shared by the start
// module, the login-free modules and the updater. Failures are silent: a failed
// read gives the "not set" or empty result and a failed write is ignored.
#include <QString>
#include "NetSettingsExport.h"

namespace netsettings {

// "SOFTWARE\Corvane\TavrinBank_PdaBanking\TVPB_1100"
NETSETTINGS_EXPORT extern const QString kSettingsKey;

// Network_Connect_Option and Equal_VUP read as 0, 1, or -1 for anything else
// (missing included).
NETSETTINGS_EXPORT int ReadNetworkConnectOption();
// -1 (neither choice) is stored as its 4-byte pattern, which reads as not set.
NETSETTINGS_EXPORT void WriteNetworkConnectOption(int option);
NETSETTINGS_EXPORT QString ReadConnectModem();
NETSETTINGS_EXPORT void WriteConnectModem(const QString& entry);
NETSETTINGS_EXPORT int ReadEqualVUP();
NETSETTINGS_EXPORT void WriteEqualVUP(int value);
// The updater's own last dial-up entry.
NETSETTINGS_EXPORT QString ReadVUPModem();
NETSETTINGS_EXPORT void WriteVUPModem(const QString& entry);

} // namespace netsettings
