#include "ModuleBankTest.h"

#include <algorithm>

#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimeZone>

#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CQVParser.h"
#include "Accounts.h"
#include "Demo.h"
#include "PasswordHash.h"
#include "Services.h"
#include "Sqlite.h"
#include "TestHome.h"
#include "velcor/Certificate.h"

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

std::string ModuleBankTest::addAccount(const std::string& owner, const std::string& displayNo, std::int64_t amount,
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

void ModuleBankTest::addCertificate(const std::string& userId, const std::string& name, const QString& password)
{
    const velcor::IssuedCertificate cert =
        velcor::issueCertificate((testHome() + QStringLiteral("/certs")).toStdString(), userId, name,
                                 password.toStdString(), velcor::KdfStrength::Minimum);
    ASSERT_TRUE(cert.ok) << cert.reason;
    bank.store->write([&](bankd::Db& db) {
        bankd::CertificateRecord rec;
        rec.subject = cert.info.id;
        rec.publicKey = cert.info.publicKeyBase64;
        rec.issuedAt = "2024-11-01 09:00:00";
        bankd::customers::addCertificate(db, bankd::customers::find(db, userId)->id, rec);
    });
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

::testing::AssertionResult ModuleBankTest::scrollsToLastColumn(CGridCtrl* grid)
{
    QCoreApplication::processEvents();
    int last = -1;
    for (int c = 0; c < grid->GetColumnCount(); ++c)
        if (grid->GetColumnWidth(c) > 0)
            last = c;
    if (last < 0 || grid->GetRowCount() == 0)
        return ::testing::AssertionFailure() << "an empty grid";
    QScrollBar* bar = grid->horizontalScrollBar();
    if (!bar->isVisible() || bar->maximum() <= 0)
        return ::testing::AssertionFailure() << "no horizontal scroll bar (maximum " << bar->maximum() << ")";
    if (!grid->rect().contains(bar->geometry()))
        return ::testing::AssertionFailure() << "the scroll bar lies outside the grid";
    if (grid->cellRect(0, last).right() < grid->viewport()->width())
        return ::testing::AssertionFailure() << "the last column is in view before scrolling";
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    const QRect cell = grid->cellRect(0, last);
    const QImage img = grid->viewport()->grab().toImage();
    int ink = 0;
    for (int x = std::max(0, cell.left()); x <= std::min(cell.right(), img.width() - 1); ++x)
        for (int y = std::max(0, cell.top()); y <= std::min(cell.bottom(), img.height() - 1); ++y)
            ink += qGray(img.pixel(x, y)) < 100;
    bar->setValue(0);
    QCoreApplication::processEvents();
    if (cell.left() < 0 || cell.right() > grid->viewport()->width() - 1)
        return ::testing::AssertionFailure() << "the last column lies at " << cell.left() << ".." << cell.right()
                                             << " of " << grid->viewport()->width() << " after scrolling";
    if (ink < 10)
        return ::testing::AssertionFailure() << "the last column's heading is not drawn after scrolling";
    return ::testing::AssertionSuccess();
}

} // namespace harness
