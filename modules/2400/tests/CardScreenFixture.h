#pragma once
// Module 2400's screen on the shared module test base (an in-process bank, KIM
// with his security card, his session): KIM's account, seven cards (three
// pages of held cards), approvals over three pages and two bills of his
// first card.
#include <cstdint>
#include <memory>
#include <string>

#include <QString>

#include "ModuleBankTest.h"

class CTVPB2400;
class CBmpButton;

namespace t2400 {

class CardScreen : public harness::ModuleBankTest {
protected:
    CardScreen();
    ~CardScreen() override;

    // Card i of KIM, digits; shown as "9410-1111-2222-333i". Card 0 is the
    // newest (first shown), a credit card with billing day 27.
    static std::string cardNo(int i);
    static QString shownNo(int i);
    void addCards();
    std::int64_t balance();
    std::int64_t cashUsed(int card);
    CTVPB2400* openScreen();
    void tapTab(int index);
    CBmpButton* button(QWidget* in, const char* name);

    std::unique_ptr<CTVPB2400> screen;
    std::string account = "110234567890";
};

} // namespace t2400
