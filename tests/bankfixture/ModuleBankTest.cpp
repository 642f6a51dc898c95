#include "ModuleBankTest.h"

#include <QTabBar>
#include <QTest>
#include <QTimeZone>

#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CQVParser.h"
#include "Demo.h"
#include "Services.h"
#include "TestHome.h"

namespace harness {

QDateTime moduleTestNow()
{
    return QDateTime(QDate(2024, 11, 5), QTime(14, 32, 10));
}

namespace {
// The bank starts at the client's "now", read as Korean time (UTC+9).
ClientBank::Options bankOptions()
{
    ClientBank::Options o;
    const QDateTime now = moduleTestNow();
    o.start = std::chrono::system_clock::from_time_t(
        QDateTime(now.date(), now.time(), QTimeZone(9 * 3600)).toSecsSinceEpoch());
    o.threads = 2;
    return o;
}
} // namespace

ModuleBankTest::ModuleBankTest(const char* gatePrefix) : clientBank(bankOptions()), bank(clientBank.testBank())
{
    static int gates = 0;
    kimCard = bank.addCustomer("KIM", "PW1", "S", "김민준");
    bank.addCustomer("LEE", "PW2", "S", "이서연");
    platform::setClock([] { return moduleTestNow(); });
    CQV::SetEngineForTesting(nullptr);
    session.SetVgateProp(QStringLiteral("%1-%2").arg(QString::fromLatin1(gatePrefix)).arg(++gates), 443u, 8080u);
    session.SetServerProp(1);
    user.SetUserID(QStringLiteral("KIM"));
    user.SetUserName(QStringLiteral("김민준"));
    user.SetSecurityWay(QStringLiteral("S"));
}

ModuleBankTest::~ModuleBankTest()
{
    platform::setRandomSource({});
}

void ModuleBankTest::login(const std::string& userId, const std::string& password)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransData(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=%1&UserPwd=%2")
                                     .arg(QString::fromStdString(userId), QString::fromStdString(password)),
                                 reply, 1, 0))
        << reply.toStdString();
    ASSERT_TRUE(reply.contains(QStringLiteral("<msg>10000;"))) << reply.toStdString();
}

void ModuleBankTest::useDemoBank()
{
    bankd::DemoOptions options;
    options.home = testHome().toStdString();
    options.fastCertificates = true;
    bankd::populateDemo(*bank.store, options);
    bank.clock.set(std::chrono::system_clock::now());
    platform::setClock({});
    login("DEMOS", "1111");
    user.SetUserID(QStringLiteral("DEMOS"));
    user.SetUserName(QStringLiteral("김민준"));
}

void ModuleBankTest::tapCell(CGridCtrl* grid, int row, int col)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->cellRect(row, col).center());
}

void ModuleBankTest::tapTab(CExTabCtrl* tabs, int index)
{
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
}

int ModuleBankTest::typeOnKeypad(QDialog* dialog, const QString& digits)
{
    auto* keypad = qobject_cast<CNumberKbd*>(dialog);
    if (!keypad)
        return QDialog::Rejected;
    keypad->typeDigits(digits);
    return 1;
}

} // namespace harness
