#include "TopBar.h"

#include "ModuleCodes.h"

namespace kit {

QList<TopBarButton> topBarButtons(TopBarFamily family)
{
    switch (family) {
    case TopBarFamily::Account:
        return {{QStringLiteral("조회"), 42, kModuleAccounts},
                {QStringLiteral("이체"), 42, kModuleTransfers},
                {QStringLiteral("대출"), 42, kModuleLoans},
                {QStringLiteral("카드"), 42, kModuleCards},
                {QStringLiteral("정보관리"), 42, kModuleCustomerInfo},
                {QStringLiteral("exit"), 28, kModuleQuit}};
    case TopBarFamily::Information:
        return {{QStringLiteral("정보변경"), 52, kModuleCustomerInfo},
                {QStringLiteral("계좌관리"), 52, kModuleAccountManagement},
                {QStringLiteral("분실신고"), 52, kModuleLossReports},
                {QStringLiteral("안내"), 52, kModuleNotices},
                {QStringLiteral("홈"), 30, kModuleAccounts}};
    case TopBarFamily::None:
        break;
    }
    return {};
}

QString topBarImage(const TopBarButton& button, bool pressed)
{
    return QStringLiteral("BMP\\%1_%2%3%4.bmp")
        .arg(button.word)
        .arg(button.width, 2, 10, QLatin1Char('0'))
        .arg(kTopBarHeight, 2, 10, QLatin1Char('0'))
        .arg(pressed ? QStringLiteral("_d") : QString());
}

} // namespace kit
