#pragma once
// Module 2100's screen on the shared module test base (an in-process bank, KIM's
// session), with KIM's accounts and postings as the tests need them.
#include <cstdint>
#include <memory>
#include <string>

#include "ModuleBankTest.h"

class CTVPB2100;

namespace t2100 {

class BankFixture : public harness::ModuleBankTest {
protected:
    BankFixture();
    ~BankFixture() override;

    // Adds an account of the customer "KIM"; returns its digits.
    std::string addAccount(const std::string& displayNo, const std::string& kindName, const std::string& kind,
                           const std::string& openedOn, bool hidden = false, const std::string& user = "KIM");
    void post(const std::string& displayNo, std::int64_t amount, const std::string& at, const std::string& memo,
              const std::string& counterpart = "");
    // Builds and shows the screen (its opening requests run).
    CTVPB2100* openScreen();

    std::unique_ptr<CTVPB2100> screen;
};

} // namespace t2100
