#pragma once
// An in-process bankd on a loopback port, the client's deploy.ini pointing at
// it, the customer KIM (security card) logged in through the client's session,
// and module 2200's screen on top.
#include <QDateTime>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "CQV.h"
#include "ClientBank.h"
#include "CUserInfo.h"
#include "TestBank.h"

class CGridCtrl;
class CTVPB2200;
class QDialog;

namespace t2200 {

// The bank's and the client's "now": 2024-11-05 14:32:10 (bank time).
QDateTime clientNow();

class TransferScreen : public ::testing::Test {
protected:
    TransferScreen();
    ~TransferScreen() override;

    // An account with password "1234"; returns its digits.
    std::string addAccount(const std::string& owner, const std::string& displayNo, std::int64_t balance,
                           bool withdrawal = true, bool hidden = false, const std::string& kind = "A04");
    void addFavourite(const std::string& bankCode, const std::string& name, const std::string& accountNo);
    std::int64_t balance(const std::string& accountNo);
    void login(const std::string& userId = "KIM", const std::string& password = "PW1");
    CTVPB2200* openScreen();
    static void tapCell(CGridCtrl* grid, int row, int col);
    // A tap on the screen's tab `index`.
    void tapTab(int index);
    // A keypad answer: types the digits and presses OK.
    static int typeOnKeypad(QDialog* dialog, const QString& digits);

    // The bank, its server and the deploy.ini; `bank` is its store, clock and helpers.
    harness::ClientBank clientBank;
    bankd::test::TestBank& bank;
    bankd::SecurityCard kimCard;
    CQV session;
    CUserInfo user;
    std::unique_ptr<QWidget> shell;
    std::unique_ptr<CTVPB2200> screen;
};

} // namespace t2200
