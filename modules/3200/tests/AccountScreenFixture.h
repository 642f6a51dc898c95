#pragma once
// Module 3200's screen on the shared module test base (an in-process bank,
// KIM with his security card, his session), with the accounts the tests need.
#include <memory>
#include <string>

#include <QString>

#include "ModuleBankTest.h"

class CTVPB3200;

namespace t3200 {

class AccountScreen : public harness::ModuleBankTest {
protected:
    AccountScreen();
    ~AccountScreen() override;

    void addFavourite(const std::string& bankCode, const std::string& name, const std::string& accountNo,
                      const std::string& holder);
    // The account's flags at the bank.
    bool isWithdrawal(const std::string& accountNo);
    bool isHidden(const std::string& accountNo);
    int favouriteCount(const std::string& userId = "KIM");
    // PARK, a certificate user with one account and an issued certificate
    // (password kCertPassword), logged in and in the user record; the bank's
    // and the client's clocks read the same instant, as signatures need.
    std::string useCertificateUser();
    static const QString kCertPassword;
    // Answers the engine's signing prompt with the only certificate and its password.
    static int answerSignPrompt(QDialog* prompt, const QString& password);
    CTVPB3200* openScreen();
    void tapTab(int index);
    // Every security-card cell the screen draws is cell 7.
    void drawCellSeven();
    QString kimCell7() const { return QString::fromStdString(kimCard[6]); }
    QString wrongCell7() const { return kimCard[6] == "0000" ? QStringLiteral("1111") : QStringLiteral("0000"); }

    std::unique_ptr<CTVPB3200> screen;
};

} // namespace t3200
