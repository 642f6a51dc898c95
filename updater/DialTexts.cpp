#include "DialTexts.h"

#include <RasService.h>

namespace vup {

QHash<int, QString> DialTexts()
{
    using platform::RasConnState;
    return {
        {int(RasConnState::OpenPort), QStringLiteral("모뎀 연결을 준비중입니다...")},
        {int(RasConnState::PortOpened), QStringLiteral("전화를 거는중입니다...")},
        {int(RasConnState::ConnectDevice), QStringLiteral("장치 연결중입니다...")},
        {int(RasConnState::DeviceConnected), QStringLiteral("장치에 연결되었습니다.")},
        {int(RasConnState::Authenticate), QStringLiteral("사용자 인증 준비중입니다...")},
        {int(RasConnState::AuthNotify), QStringLiteral("사용자 인증 작업중입니다...")},
        {int(RasConnState::Authenticated), QStringLiteral("사용자가 인증되었습니다.")},
        {int(RasConnState::PasswordExpired), QStringLiteral("암호 기간이 만료되었습니다.")},
        {int(RasConnState::Connected), QStringLiteral("인터넷에 연결되었습니다.")},
        {int(RasConnState::Disconnected), QStringLiteral("연결이 종료되었습니다.")},
    };
}

} // namespace vup
