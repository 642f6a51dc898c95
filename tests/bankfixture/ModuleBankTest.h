#pragma once
// The base of a service module's end-to-end tests: an in-process bank (ClientBank)
// whose clock starts at the client's "now", the customers KIM (security card,
// password "PW1") and LEE ("PW2"), the client's session on a gate address of its
// own, KIM's user record, a widget standing in for the shell window, and the taps
// a user makes on grids, tabs and the keypad.
#include <QDateTime>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "CQV.h"
#include "CUserInfo.h"
#include "ClientBank.h"
#include "SecurityCard.h"
#include "TestBank.h"

class CExTabCtrl;
class CGridCtrl;
class QDialog;

namespace harness {

// The bank's and the client's "now": 2024-11-05 14:32:10 (bank time).
QDateTime moduleTestNow();

class ModuleBankTest : public ::testing::Test {
protected:
    // `gatePrefix` names the test program's gate addresses (one per fixture: the
    // engine keeps one session per address).
    explicit ModuleBankTest(const char* gatePrefix);
    ~ModuleBankTest() override;

    // Logs a customer in through the client's session (PDA_U001, encrypted route).
    void login(const std::string& userId = "KIM", const std::string& password = "PW1");
    // The demo bank instead (bankd init --demo: the customer DEMOS and his data,
    // laid out from the real today, with the bank's and the client's clocks at
    // the real now), with DEMOS logged in and in the user record.
    void useDemoBank();

    // Builds the module screen as the shell does (the shell stand-in as parent,
    // the shared objects handed over) and shows it: its opening requests run.
    template <class Screen>
    Screen* openModule(std::unique_ptr<Screen>& screen)
    {
        if (!shell)
            shell = std::make_unique<QWidget>();
        screen = std::make_unique<Screen>(shell.get());
        screen->SetCommonVar(&session, nullptr, &user);
        screen->show();
        return screen.get();
    }

    // A deposit account of `owner` ("보통예금") with password "1234"; returns its digits.
    std::string addAccount(const std::string& owner, const std::string& displayNo, std::int64_t balance,
                           bool withdrawal = true, bool hidden = false, const std::string& kind = "A04");
    // A certificate for `userId` in the client's store (password `password`),
    // registered at the bank for that customer.
    void addCertificate(const std::string& userId, const std::string& name, const QString& password);

    // A tap at the centre of a grid cell.
    static void tapCell(CGridCtrl* grid, int row, int col);
    // A tap on tab `index` of a module screen's tab control.
    static void tapTab(CExTabCtrl* tabs, int index);
    // A keypad answer: types the digits and presses OK.
    static int typeOnKeypad(QDialog* dialog, const QString& digits);
    // A grid wider than its screen: its horizontal scroll bar shows inside the
    // grid, and moved to its end it brings the last column whole into view with
    // its heading drawn. The bar goes back to the start afterwards.
    static ::testing::AssertionResult scrollsToLastColumn(CGridCtrl* grid);

    ClientBank clientBank;
    bankd::test::TestBank& bank;
    bankd::SecurityCard kimCard;
    CQV session;
    CUserInfo user;
    // Stands for the shell window, the screens' parent.
    std::unique_ptr<QWidget> shell;
};

} // namespace harness
