#include "AccountScreenFixture.h"

#include "Accounts.h"
#include "CTVPB3200.h"
#include "Services.h"
#include "Sqlite.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimeZone>

namespace t3200 {

AccountScreen::AccountScreen() : harness::ModuleBankTest("gate-3200") {}

AccountScreen::~AccountScreen()
{
    screen.reset();
}

void AccountScreen::addFavourite(const std::string& bankCode, const std::string& name, const std::string& accountNo,
                                 const std::string& holder)
{
    bank.store->write([&](bankd::Db& db) {
        auto s = db.prepare(
            "INSERT INTO favourite_accounts (customer_id, bank_code, account_name, account_no, registered_on, holder) "
            "SELECT id, ?1, ?2, ?3, '20241001', ?4 FROM customers WHERE user_id = 'KIM'");
        s.bind(1, bankCode).bind(2, name).bind(3, accountNo).bind(4, holder).run();
    });
}

bool AccountScreen::isWithdrawal(const std::string& accountNo)
{
    return bank.store->read([&](bankd::Db& db) { return bankd::accounts::find(db, accountNo)->withdrawal; });
}

bool AccountScreen::isHidden(const std::string& accountNo)
{
    return bank.store->read([&](bankd::Db& db) { return bankd::accounts::find(db, accountNo)->hidden; });
}

int AccountScreen::favouriteCount(const std::string& userId)
{
    return bank.store->read([&](bankd::Db& db) {
        auto s = db.prepare(
            "SELECT count(*) FROM favourite_accounts f JOIN customers c ON c.id = f.customer_id WHERE c.user_id = ?1");
        s.bind(1, userId);
        s.step();
        return static_cast<int>(s.integer(0));
    });
}

const QString AccountScreen::kCertPassword = QStringLiteral("인증서암호7");

std::string AccountScreen::useCertificateUser()
{
    platform::setClock([] { return QDateTime(QDate(2024, 11, 5), QTime(14, 32, 10), QTimeZone(9 * 3600)); });
    bank.addCustomer("PARK", "PW3", "K", "박지훈");
    std::string parkA = addAccount("PARK", "110-456-789012", 800'000);
    addCertificate("PARK", "박지훈", kCertPassword);
    login("PARK", "PW3");
    user.SetUserID(QStringLiteral("PARK"));
    user.SetUserName(QStringLiteral("박지훈"));
    user.SetSecurityWay(QStringLiteral("K"));
    return parkA;
}

int AccountScreen::answerSignPrompt(QDialog* d, const QString& password)
{
    auto* list = d->findChild<QListWidget*>(QStringLiteral("certificateList"));
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
    auto* ok = d->findChild<QPushButton*>(QStringLiteral("okButton"));
    EXPECT_TRUE(list && edit && ok);
    if (!list || !edit || !ok)
        return QDialog::Rejected;
    list->setCurrentRow(0);
    edit->setText(password);
    ok->click();
    return d->result();
}

CTVPB3200* AccountScreen::openScreen()
{
    return openModule(screen);
}

void AccountScreen::tapTab(int index)
{
    ModuleBankTest::tapTab(screen->TabCtrl(), index);
}

void AccountScreen::drawCellSeven()
{
    platform::setRandomSource([](int, int) { return 7; });
}

} // namespace t3200
