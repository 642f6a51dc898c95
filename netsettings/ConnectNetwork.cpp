#include "ConnectNetwork.h"

#include <QWidget>

#include <CRasEx.h>
#include <Modal.h>

#include "NetSettings.h"

namespace netsettings {

QString DialFailureText(unsigned dialResult)
{
    switch (dialResult) {
    case CRasEx::Failed: return QStringLiteral("연결에 실패했습니다.");
    case CRasEx::TimedOut: return QStringLiteral("연결 시간이 초과되었습니다.");
    case CRasEx::Cancelled: return QStringLiteral("연결이 취소되었습니다.");
    default: return QString();
    }
}

void ReportDialFailure(QWidget* parent, CRasEx* ras)
{
    ras->RAS_Disconnect();
    platform::messageBox(parent, DialFailureText(ras->RAS_GetDialResult()), QStringLiteral("메시지"),
                         platform::MB_OK | platform::MB_ICONERROR);
}

int ConnectNetwork(QWidget* screen, CRasEx* ras)
{
    if (screen) screen->repaint();
    const int mode = ReadNetworkConnectOption();
    if (mode == 0) return 1;
    if (mode != 1 || !ras) return 0; // never configured: nothing happens
    if (ras->RAS_IsConnected()) return 1;

    const QString modem = ReadConnectModem();
    if (modem.isEmpty()) {
        platform::messageBox(screen, QStringLiteral("먼저 환경설정에서 연결하고자하는 모뎀을 선택하세요."),
                             QStringLiteral("모뎀 확인"), platform::MB_OK | platform::MB_ICONINFORMATION);
        return 0;
    }
    const bool up = ras->RAS_Connect(modem);
    if (!up) ReportDialFailure(screen, ras);
    if (screen) screen->repaint();
    return up ? 1 : 0;
}

} // namespace netsettings
