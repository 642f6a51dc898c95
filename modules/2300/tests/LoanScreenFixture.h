#pragma once
// Module 2300's screen on the shared module test base (an in-process bank, KIM
// with his security card, his session), with deposit accounts and loans, and a
// tap on the loan transactions that records what reached the bank.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ModuleBankTest.h"

class CTVPB2300;
class QDialog;

namespace t2300 {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class LoanScreen : public harness::ModuleBankTest {
protected:
    LoanScreen();
    ~LoanScreen() override;

    // A loan account ("A07") with its terms; returns its digits.
    std::string addLoan(const std::string& owner, const std::string& displayNo, std::int64_t balance, bool creditLine,
                        int rateBp, const std::string& paidTo, const std::string& nextDue);
    std::int64_t balance(const std::string& accountNo);
    int payments();

    CTVPB2300* openScreen();
    // The requests of `code` that reached the bank, in order (query pairs).
    std::vector<Pairs> sent(const std::string& code);
    // A value of the last request of `code` ("<absent>" when the key was not sent).
    std::string lastValue(const std::string& code, const std::string& key);

    std::unique_ptr<CTVPB2300> screen;

private:
    std::mutex wireLock_;
    std::map<std::string, std::vector<Pairs>> wire_;
};

} // namespace t2300
