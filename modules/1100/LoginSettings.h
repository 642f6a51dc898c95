#pragma once
#include <QString>

// The start module's own registry values (the settings key of NetSettings.h).
// Failures are silent: a failed read gives the "not set" or empty result and a
// failed write is ignored.
namespace login {

// Store-ID option: TRUE only when Store_ID_Option reads 1.
bool LoadStoreIDOption();
void SaveStoreIDOption(bool on);
// The stored Login_ID when the option is on, otherwise "GUEST".
QString LoadUserID();
void SaveUserID(const QString& id);

} // namespace login
