#include "TransferScreenFixture.h"

#include <QTimeZone>
#include <QTabBar>
#include <QTest>

#include "Accounts.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CQVParser.h"
#include "CTVPB2200.h"
#include "PasswordHash.h"
#include "Services.h"
#include "Sqlite.h"

namespace t2200 {

namespace {
QString freshGateHost()
{
    static int n = 0;
    return QStringLiteral("gate-2200-%1").arg(++n);
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

TransferScreen::TransferScreen()
    : clientBank(bankOptions()), bank(clientBank.testBank())
{
    kimCard = bank.addCustomer("KIM", "PW1", "S", "김민준");
    bank.addCustomer("LEE", "PW2", "S", "이서연");
    platform::setClock([] { return clientNow(); });
    CQV::SetEngineForTesting(nullptr);
    session.SetVgateProp(freshGateHost(), 443u, 8080u);
    session.SetServerProp(1);
    user.SetUserID(QStringLiteral("KIM"));
    user.SetUserName(QStringLiteral("김민준"));
    user.SetSecurityWay(QStringLiteral("S"));
}

TransferScreen::~TransferScreen()
{
    screen.reset();
    platform::setRandomSource({});
}

std::string TransferScreen::addAccount(const std::string& owner, const std::string& displayNo, std::int64_t amount,
                                       bool withdrawal, bool hidden, const std::string& kind)
{
    std::string digits = bankd::accounts::digitsOnly(displayNo);
    std::string hash = bankd::hashPassword("1234", bankd::HashCost::minimal());
    bank.store->write([&](bankd::Db& db) {
        bankd::Account a;
        a.accountNo = digits;
        a.customerId = bankd::customers::find(db, owner)->id;
        a.displayNo = displayNo;
        a.kindName = "보통예금";
        a.kindCode = kind;
        a.withdrawal = withdrawal;
        a.hidden = hidden;
        a.openedOn = "20240101";
        bankd::accounts::add(db, a, hash);
        if (amount > 0)
            bankd::accounts::post(db, digits, amount, "2024-01-01 09:00:00", "신규", "");
    });
    return digits;
}

void TransferScreen::addFavourite(const std::string& bankCode, const std::string& name, const std::string& accountNo)
{
    bank.store->write([&](bankd::Db& db) {
        auto s = db.prepare(
            "INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, registered_on) "
            "SELECT id, ?1, ?2, ?3, '20241001' FROM customers WHERE user_id = 'KIM'");
        s.bind(1, bankCode).bind(2, name).bind(3, accountNo).run();
    });
}

std::int64_t TransferScreen::balance(const std::string& accountNo)
{
    return bank.store->read([&](bankd::Db& db) { return bankd::accounts::find(db, accountNo)->balance; });
}

void TransferScreen::login(const std::string& userId, const std::string& password)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransData(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=%1&UserPwd=%2")
                                     .arg(QString::fromStdString(userId), QString::fromStdString(password)),
                                 reply, 1, 0))
        << reply.toStdString();
    ASSERT_TRUE(reply.contains(QStringLiteral("<msg>10000;"))) << reply.toStdString();
}

CTVPB2200* TransferScreen::openScreen()
{
    if (!shell)
        shell = std::make_unique<QWidget>();
    screen = std::make_unique<CTVPB2200>(shell.get());
    screen->SetCommonVar(&session, nullptr, &user);
    screen->show();
    return screen.get();
}

void TransferScreen::tapCell(CGridCtrl* grid, int row, int col)
{
    const QRect r = grid->cellRect(row, col);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

void TransferScreen::tapTab(int index)
{
    QTabBar* bar = screen->TabCtrl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
}

int TransferScreen::typeOnKeypad(QDialog* dialog, const QString& digits)
{
    auto* keypad = qobject_cast<CNumberKbd*>(dialog);
    if (!keypad)
        return QDialog::Rejected;
    keypad->typeDigits(digits);
    return 1;
}

} // namespace t2200
