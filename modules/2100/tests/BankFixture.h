#pragma once
// An in-process bankd on a loopback port (temporary database, gateway keys),
// the client's deploy.ini pointing at it with the gateway's public key, a
// logged-in session, and module 2100's screen on top.
#include <QDateTime>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "CQV.h"
#include "ClientBank.h"
#include "CUserInfo.h"
#include "TestBank.h"

class CGridCtrl;
class CTVPB2100;
class QWidget;

namespace t2100 {

// The bank's and the client's "now": 2024-11-05 14:32:10 (bank time).
QDateTime clientNow();

class BankFixture : public ::testing::Test {
protected:
    BankFixture();
    ~BankFixture() override;

    // Adds an account of the customer "KIM"; returns its digits.
    std::string addAccount(const std::string& displayNo, const std::string& kindName, const std::string& kind,
                           const std::string& openedOn, bool hidden = false, const std::string& user = "KIM");
    void post(const std::string& displayNo, std::int64_t amount, const std::string& at, const std::string& memo,
              const std::string& counterpart = "");
    // Logs KIM in through the client's session (PDA_U001 on the encrypted route).
    void login();
    // Builds and shows the screen (its opening requests run).
    CTVPB2100* openScreen();
    // A tap at the centre of a grid cell.
    static void tapCell(CGridCtrl* grid, int row, int col);

    // The bank, its server and the deploy.ini; `bank` is its store, clock and helpers.
    harness::ClientBank clientBank;
    bankd::test::TestBank& bank;
    CQV session;
    CUserInfo user;
    // Stands for the shell window, the screen's parent.
    std::unique_ptr<QWidget> shell;
    std::unique_ptr<CTVPB2100> screen;
};

} // namespace t2100
