#pragma once
#include <QString>

// The start module's registry values (settings key of the local machine).
// Failures are silent: a failed read gives the "not set" or empty result and a
// failed write is ignored.
namespace login {

extern const QString kSettingsKey; // "SOFTWARE\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100"

// Store-ID option: TRUE only when Store_ID_Option reads 1.
bool LoadStoreIDOption();
void SaveStoreIDOption(bool on);
// The stored Login_ID when the option is on, otherwise "GUEST".
QString LoadUserID();
void SaveUserID(const QString& id);

// Network_Connect_Option and Equal_VUP read as 0, 1, or -1 for "not set".
int ReadNetworkConnectOption();
void WriteNetworkConnectOption(int option);
QString ReadConnectModem();
void WriteConnectModem(const QString& entry);
int ReadEqualVUP();
void WriteEqualVUP(int value);

} // namespace login
