#include "BankFixture.h"

#include <QTimeZone>
#include <QTest>

#include "Accounts.h"
#include "CGridCtrl.h"
#include "CQVParser.h"
#include "CTVPB2100.h"
#include "Services.h"
#include "Sqlite.h"

namespace t2100 {

namespace {
// One gate address per fixture: the engine keeps one session per address.
QString freshGateHost()
{
    static int n = 0;
    return QStringLiteral("gate-2100-%1").arg(++n);
}
} // namespace

QDateTime clientNow()
{
    return QDateTime(QDate(2024, 11, 5), QTime(14, 32, 10));
}

namespace {
// The bank starts at the client's "now", read as Korean time (UTC+9).
harness::ClientBank::Options bankOptions()
{
    harness::ClientBank::Options o;
    const QDateTime now = clientNow();
    o.start = std::chrono::system_clock::from_time_t(
        QDateTime(now.date(), now.time(), QTimeZone(9 * 3600)).toSecsSinceEpoch());
    o.threads = 2;
    return o;
}
} // namespace

BankFixture::BankFixture()
    : clientBank(bankOptions()), bank(clientBank.testBank())
{
    bank.addCustomer("KIM", "PW1", "S", "김민준");
    bank.addCustomer("LEE", "PW2", "S", "이서연");
    platform::setClock([] { return clientNow(); });
    CQV::SetEngineForTesting(nullptr);
    session.SetVgateProp(freshGateHost(), 443u, 8080u);
    session.SetServerProp(1);
    user.SetUserID(QStringLiteral("KIM"));
    user.SetUserName(QStringLiteral("김민준"));
    user.SetSecurityWay(QStringLiteral("S"));
}

BankFixture::~BankFixture()
{
    screen.reset();
}

std::string BankFixture::addAccount(const std::string& displayNo, const std::string& kindName, const std::string& kind,
                                    const std::string& openedOn, bool hidden, const std::string& owner)
{
    std::string digits = bankd::accounts::digitsOnly(displayNo);
    bank.store->write([&](bankd::Db& db) {
        bankd::Account a;
        a.accountNo = digits;
        a.customerId = bankd::customers::find(db, owner)->id;
        a.displayNo = displayNo;
        a.kindName = kindName;
        a.kindCode = kind;
        a.openedOn = openedOn;
        a.hidden = hidden;
        bankd::accounts::add(db, a, "x");
    });
    return digits;
}

void BankFixture::post(const std::string& displayNo, std::int64_t amount, const std::string& at,
                       const std::string& memo, const std::string& counterpart)
{
    bank.store->write([&](bankd::Db& db) {
        ASSERT_TRUE(bankd::accounts::post(db, bankd::accounts::digitsOnly(displayNo), amount, at, memo, counterpart));
    });
}

void BankFixture::login()
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransData(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=KIM&UserPwd=PW1"), reply, 1, 0))
        << reply.toStdString();
    ASSERT_TRUE(reply.contains(QStringLiteral("<msg>10000;"))) << reply.toStdString();
}

CTVPB2100* BankFixture::openScreen()
{
    if (!shell)
        shell = std::make_unique<QWidget>();
    screen = std::make_unique<CTVPB2100>(shell.get());
    screen->SetCommonVar(&session, nullptr, &user);
    screen->show();
    return screen.get();
}

void BankFixture::tapCell(CGridCtrl* grid, int row, int col)
{
    const QRect r = grid->cellRect(row, col);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

} // namespace t2100
