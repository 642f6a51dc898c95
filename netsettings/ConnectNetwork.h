#pragma once
// The connect step before a screen's first request: nothing on LAN, a dial of the
// chosen phone-book entry in modem mode.
#include <QString>
#include "NetSettingsExport.h"

class CRasEx;
class QWidget;

namespace netsettings {

// By Network_Connect_Option: 0 (LAN) TRUE; 1 (modem) TRUE when a link is up or
// the dial of Connect_Modem succeeds, else a message and FALSE (an empty modem
// name is asked for without dialling); not set: FALSE without a message. The
// screen is repainted before and after a dial.
NETSETTINGS_EXPORT int ConnectNetwork(QWidget* screen, CRasEx* ras);

// The message of a failed dial by its result: 1 failed, 2 timed out,
// 3 cancelled; empty for any other result.
NETSETTINGS_EXPORT QString DialFailureText(unsigned dialResult);

// After a failed dial: hangs up the half-open link, then shows the failure
// message (caption "메시지", error icon).
NETSETTINGS_EXPORT void ReportDialFailure(QWidget* parent, CRasEx* ras);

} // namespace netsettings
