#pragma once
// The transfer mix of the load generator: concurrent encrypted sessions, each
// logged in as a security-card customer the generator creates in the bank's
// store, doing PDA_T001 + PDA_T002 pairs between the bank's accounts (some to
// other banks, which cost a fee). Reports executed transfers per second and
// latency percentiles, then checks the bank's books in the store: the sum of
// all balances changed only by the fees and the money sent out, and every
// transfer the clients saw executed is recorded exactly once, with the
// amount, account and message number the client was told. A client whose
// connection or session is lost (a restarted bank) logs in again.
#include <array>
#include <string>

namespace bankd::load {

struct TransferLoadOptions {
    std::string host = "127.0.0.1";
    int port = 0;
    std::string dataDir;                      // the served bank's data folder
    std::array<unsigned char, 32> gatewayKey{};
    int clients = 8;
    int seconds = 10;
    int externalEvery = 5;                    // every n-th transfer goes to another bank; 0: never
};

struct TransferLoadResult {
    long executed = 0;     // acknowledged executions
    long errors = 0;       // refusals
    long logins = 0;       // first logins and logins again
    long unanswered = 0;   // requests lost with a connection or session
    double tps = 0;
    bool booksHold = false;
    bool countsMatch = false;
    std::string acknowledgedProblem;  // empty: each acknowledged transfer recorded once, as told
    bool pass = false;
};

// Runs the load, prints the figures and "PASS"/"FAIL".
TransferLoadResult measureTransferLoad(const TransferLoadOptions& options);
// The same; 0 on PASS, 1 otherwise.
int runTransferLoad(const TransferLoadOptions& options);

} // namespace bankd::load
