#pragma once
// Module 2200's screen on the shared module test base (an in-process bank, KIM
// with his security card, his session), with the accounts and favourites the
// tests need.
#include <cstdint>
#include <memory>
#include <string>

#include "ModuleBankTest.h"

class CTVPB2200;

namespace t2200 {

class TransferScreen : public harness::ModuleBankTest {
protected:
    TransferScreen();
    ~TransferScreen() override;

    void addFavourite(const std::string& bankCode, const std::string& name, const std::string& accountNo);
    std::int64_t balance(const std::string& accountNo);
    CTVPB2200* openScreen();
    // A tap on the screen's tab `index`.
    void tapTab(int index);

    std::unique_ptr<CTVPB2200> screen;
};

} // namespace t2200
