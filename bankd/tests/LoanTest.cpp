// Loans through the dispatcher: the lists and details (only the user's own),
// the interest quote (PDA_L003) and its payment (PDA_L004) with the account
// password, the security value and the money rules.
#include "Accounts.h"
#include "Books.h"
#include "Demo.h"
#include "LoanCodes.h"
#include "Loans.h"
#include "ResultCodes.h"
#include "SecretGuard.h"
#include "Sqlite.h"
#include "TransferCodes.h"
#include "TransferFixture.h"

using namespace bankd;
using namespace bankd::test;

namespace {

// Today in the test bank is 2024-11-05.
class LoanBank : public TransferBank {
protected:
    LoanBank()
    {
        // KIM: a general loan paid to 2024-10-05 (next interest day 11-05), an
        // overdue one (interest day 10-20 unpaid), a credit line. LEE: a general loan.
        kimLoan = addLoan("KIM", "770-01-0012345", 10'000'000, false, 520, "20241005", "20241105");
        kimOverdue = addLoan("KIM", "770-01-0023456", 36'500'000, false, 400, "20240920", "20241020");
        kimCredit = addLoan("KIM", "770-05-0034567", 3'200'000, true, 690, "20241015", "20241115");
        leeLoan = addLoan("LEE", "770-02-0056789", 8'000'000, false, 550, "20241010", "20241110");
    }

    std::string addLoan(const std::string& owner, const std::string& displayNo, std::int64_t balance, bool credit,
                        int rateBp, const std::string& paidTo, const std::string& nextDue)
    {
        std::string no = addAccount(owner, displayNo, balance, false, "A07");
        bank.store->write([&](Db& db) {
            loans::NewLoan l;
            l.accountNo = no;
            l.creditLine = credit;
            l.amount = credit ? 10'000'000 : balance;
            l.rateBp = rateBp;
            l.overdueBp = 300;
            l.startedOn = "20230105";
            l.maturityOn = "20260105";
            l.paidTo = paidTo;
            l.nextDue = nextDue;
            l.autoAccount = "110-234-567890";
            loans::add(db, l);
        });
        return no;
    }

    DispatchOutcome due(const std::string& key, const std::string& user, const std::string& loan,
                        const std::string& date = "20241105")
    {
        return send(key, "encrypt=1&trcode=PDA_L003&UserID=" + user + "&LoanAccNo=" + loan + "&sdate=" + date);
    }
    DispatchOutcome pay(const std::string& key, const std::string& user, const std::string& from,
                        const std::string& pwd, const std::string& loan, const std::string& way,
                        const std::string& cell, const std::string& secPwd, const std::string& signedMsg,
                        const std::string& date = "20241105")
    {
        return send(key, "encrypt=1&trcode=PDA_L004&UserID=" + user + "&OutAccNO=" + from + "&OutAccPWD=" + pwd +
                             "&TryCnt=01&LoanAccNo=" + loan + "&sdate=" + date + "&ScrtyWay=" + way +
                             "&RandomNum=" + cell + "&SecPwd=" + secPwd + "&SignedMsg=" + signedMsg);
    }
    DispatchOutcome kimPays(const std::string& pwd = "1234", const std::string& loan = "")
    {
        return pay(keyKim, "KIM", kimA, pwd, loan.empty() ? kimLoan : loan, "S", "7", kimCard[6], "");
    }
    Loan loan(const std::string& no)
    {
        return bank.store->read([&](Db& db) { return *loans::ownLoan(db, customers::find(db, no == leeLoan ? "LEE" : "KIM")->id, no, "20241105"); });
    }
    int payments()
    {
        return bank.store->read([&](Db& db) {
            auto s = db.prepare("SELECT count(*) FROM loan_payments");
            s.step();
            return static_cast<int>(s.integer(0));
        });
    }
    Books books()
    {
        return bank.store->read([&](Db& db) { return books::read(db); });
    }

    std::string kimLoan, kimOverdue, kimCredit, leeLoan;
};

} // namespace

TEST_F(LoanBank, ListsAndDetailsShowOnlyTheUsersOwnLoansWithTheAccountsBalance)
{
    auto general = send(keyKim, "encrypt=1&trcode=PDA_L001&UserID=KIM");
    ASSERT_EQ(code(general), "10000");
    ASSERT_EQ(recordCount(general.envelope.str(), "list0"), 2);
    auto first = recordOf(general.envelope.str(), "list0", 1);
    ASSERT_EQ(first.size(), 7u);
    EXPECT_EQ(first[0], "일반");
    EXPECT_EQ(first[1], "770-01-0012345");
    EXPECT_EQ(first[2], "10000000");
    EXPECT_EQ(first[6], "N");
    EXPECT_EQ(recordOf(general.envelope.str(), "list0", 2)[6], "Y");  // interest day passed unpaid
    // The same number as the account list's row of that account.
    auto accounts = send(keyKim, "encrypt=1&trcode=PDA_U002&UserID=KIM").envelope.str();
    bool seen = false;
    for (int i = 1; i <= recordCount(accounts, "list0"); ++i) {
        auto r = recordOf(accounts, "list0", i);
        if (r[1] == "770-01-0012345") {
            EXPECT_EQ(r[2], first[2]);
            seen = true;
        }
    }
    EXPECT_TRUE(seen);
    auto credit = send(keyKim, "encrypt=1&trcode=PDA_L005&UserID=KIM");
    ASSERT_EQ(recordCount(credit.envelope.str(), "list0"), 1);
    EXPECT_EQ(recordOf(credit.envelope.str(), "list0")[1], "770-05-0034567");
    // LEE's list holds only LEE's loan; KIM's session cannot ask for LEE's.
    EXPECT_EQ(recordCount(send(keyLee, "encrypt=1&trcode=PDA_L001&UserID=LEE").envelope.str(), "list0"), 1);
    EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_L001&UserID=LEE")), result::kSession);

    auto detail = send(keyKim, "encrypt=1&trcode=PDA_L002&UserID=KIM&LoanAccNo=" + kimLoan);
    ASSERT_EQ(code(detail), "10000");
    auto a = recordOf(detail.envelope.str(), "free0");
    auto b = recordOf(detail.envelope.str(), "free1");
    ASSERT_EQ(a.size(), 8u);
    ASSERT_EQ(b.size(), 14u);
    EXPECT_EQ(a[4], "10000000");
    EXPECT_EQ(b[2], "10000000");
    EXPECT_EQ(b[6], "2024.11.05");
    EXPECT_EQ(b[7], "정상");
    EXPECT_EQ(b[8], "2024.10.05");
    EXPECT_EQ(b[11], "44164");  // 10,000,000 x 5.20% x 31 days / 365
    for (const std::string& other : {leeLoan, kimA, std::string("770-01-00123x5"), std::string()})
        EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_L002&UserID=KIM&LoanAccNo=" + other)), result::kLoanAccount)
            << other;
    EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_L006&UserID=KIM&AccNO=" + kimLoan)), result::kLoanAccount);

    auto line = send(keyKim, "encrypt=1&trcode=PDA_L006&UserID=KIM&AccNO=" + kimCredit);
    ASSERT_EQ(code(line), "10000");
    auto labels = recordOf(line.envelope.str(), "free1");
    auto values = recordOf(line.envelope.str(), "free0");
    ASSERT_GE(labels.size(), 12u);
    ASSERT_EQ(values.size(), labels.size());
    EXPECT_EQ(values[3], "10000000");
    EXPECT_EQ(values[4], "3200000");
    EXPECT_EQ(values[10], "N");
    EXPECT_EQ(labels[10], "연체여부");

    // The interest position takes the number as listed, with "-".
    auto position = send(keyKim, "encrypt=1&trcode=PDA_L007&UserID=KIM&LoanAccNo=770-01-0023456");
    ASSERT_EQ(code(position), "10000");
    auto c = recordOf(position.envelope.str(), "free0");
    ASSERT_EQ(c.size(), 10u);
    EXPECT_EQ(c[0], "김민준");
    EXPECT_EQ(c[1], "770-01-0023456");
    EXPECT_EQ(c[2], "36500000");
    EXPECT_EQ(c[8], "연체");
    EXPECT_EQ(c[9], "4.00%");
    EXPECT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_L007&UserID=KIM&LoanAccNo=770-02-0056789")),
              result::kLoanAccount);
}

TEST_F(LoanBank, InterestIsQuotedPerDayWithOverdueInterestAndPaidPeriodsAreRefused)
{
    auto normal = due(keyKim, "KIM", kimLoan);
    ASSERT_EQ(code(normal), "10000") << normal.envelope.text();
    auto d = echoOf(normal);
    ASSERT_EQ(d.size(), 9u);
    EXPECT_EQ(d[0], "770-01-0012345");
    EXPECT_EQ(d[1], "2024.11.05");
    EXPECT_EQ(d[2], "김민준");
    EXPECT_EQ(d[3], "정상");
    EXPECT_EQ(d[5], "44164");
    EXPECT_EQ(d[6], "0");
    EXPECT_EQ(d[7], "10000000");

    // 36,500,000 at 4.00% for 46 days (09-20 to 11-05) is 184,000; 3.00% more
    // for the 16 overdue days (10-20 to 11-05) is 48,000.
    auto overdue = echoOf(due(keyKim, "KIM", "770-01-0023456"));
    ASSERT_EQ(overdue.size(), 9u);
    EXPECT_EQ(overdue[3], "연체");
    EXPECT_EQ(overdue[4], "2024.10.20");
    EXPECT_EQ(overdue[5], "184000");
    EXPECT_EQ(overdue[6], "48000");
    EXPECT_EQ(overdue[8], "2024.11.05");

    EXPECT_EQ(code(due(keyKim, "KIM", kimLoan, "20241005")), result::kLoanPaid);   // the paid-to day itself
    EXPECT_EQ(code(due(keyKim, "KIM", kimLoan, "20241001")), result::kLoanPaid);
    EXPECT_EQ(code(due(keyKim, "KIM", kimLoan, "20241106")), result::kLoanDate);   // after the interest day
    EXPECT_EQ(code(due(keyLee, "LEE", leeLoan, "20241104")), result::kLoanDate);   // before today
    EXPECT_EQ(code(due(keyLee, "LEE", leeLoan, "20241110")), "10000");           // ahead, up to the interest day
    EXPECT_EQ(code(due(keyKim, "KIM", kimLoan, "20241131")), result::kLoanDate);
    EXPECT_EQ(code(due(keyKim, "KIM", kimLoan, "2024-11-05")), result::kLoanDate);
    EXPECT_EQ(code(due(keyKim, "KIM", kimCredit)), result::kLoanCreditLine);
    EXPECT_EQ(code(due(keyKim, "KIM", leeLoan)), result::kLoanAccount);
    EXPECT_EQ(code(due(keyKim, "LEE", leeLoan)), result::kSession);
}

TEST_F(LoanBank, PaymentDebitsTheInterestOnceAdvancesTheLoanAndKeepsTheBooks)
{
    const Books before = books();
    ASSERT_EQ(code(due(keyKim, "KIM", "770-01-0023456")), "10000");
    // Without a quote for this loan and date nothing can be paid.
    EXPECT_EQ(code(kimPays()), result::kLoanNoQuote);
    // Wrong account password, empty password, wrong cell, another means: nothing moves.
    EXPECT_EQ(code(kimPays("9999", kimOverdue)), result::kTrfPassword);
    EXPECT_EQ(code(kimPays("", kimOverdue)), result::kTrfPassword);
    EXPECT_EQ(bank.store->read([&](Db& db) { return guard::failures(db, Secret::AccountPassword, kimA); }), 2);
    EXPECT_EQ(code(pay(keyKim, "KIM", kimA, "1234", kimOverdue, "S", "7", "0000", "")), result::kTrfCard);
    EXPECT_EQ(code(pay(keyKim, "KIM", kimA, "1234", kimOverdue, "K", "7", "", "x")), result::kTrfSecurityWay);
    // Not KIM's own withdrawal account, or a loan as the source.
    EXPECT_EQ(code(pay(keyKim, "KIM", leeA, "1234", kimOverdue, "S", "7", kimCard[6], "")), result::kTrfAccount);
    EXPECT_EQ(code(pay(keyKim, "KIM", kimLoan, "1234", kimOverdue, "S", "7", kimCard[6], "")), result::kTrfAccount);
    // The quote is bound to the session that asked for it.
    EXPECT_EQ(code(pay(keyLee, "KIM", kimA, "1234", kimOverdue, "S", "7", kimCard[6], "")), result::kSession);
    EXPECT_EQ(balance(kimA), 1'000'000);
    EXPECT_EQ(payments(), 0);

    auto paid = kimPays("1234", "770-01-0023456");
    ASSERT_EQ(code(paid), "10000") << paid.envelope.text();
    auto e = echoOf(paid);
    ASSERT_EQ(e.size(), 9u);
    EXPECT_EQ(e[0], "110-234-567890");
    EXPECT_EQ(e[1], "김민준");
    EXPECT_EQ(e[2], "770-01-0023456");
    EXPECT_EQ(e[3], "2024.09.21");
    EXPECT_EQ(e[4], "2024.11.05");
    EXPECT_EQ(e[5], "184000");
    EXPECT_EQ(e[6], "2024.10.20");
    EXPECT_EQ(e[7], "48000");
    EXPECT_EQ(e[8], "768000");
    EXPECT_EQ(balance(kimA), 768'000);
    EXPECT_EQ(balance(kimOverdue), 36'500'000);  // interest does not repay the loan
    Loan after = loan(kimOverdue);
    EXPECT_EQ(after.paidTo, "20241105");
    EXPECT_EQ(after.nextDue, "20241205");
    EXPECT_EQ(after.overdueSince, "");
    EXPECT_EQ(after.payments, 1);
    // The password count started again after the right password.
    EXPECT_EQ(bank.store->read([&](Db& db) { return guard::failures(db, Secret::AccountPassword, kimA); }), 0);

    // The same payment again is told so; the period is paid.
    EXPECT_EQ(code(kimPays("1234", kimOverdue)), result::kLoanDone);
    EXPECT_EQ(code(due(keyKim, "KIM", kimOverdue)), result::kLoanPaid);
    EXPECT_EQ(payments(), 1);
    EXPECT_EQ(balance(kimA), 768'000);

    const Books now = books();
    EXPECT_EQ(books::check(before, now), "");
    EXPECT_EQ(now.term("loan interest received") - before.term("loan interest received"), 232'000);
    EXPECT_EQ(now.balances - before.balances, -232'000);
}

TEST_F(LoanBank, SixPaymentsOfOneQuoteAtOncePayOnce)
{
    const Books before = books();
    ASSERT_EQ(code(due(keyKim, "KIM", kimLoan)), "10000");
    auto codes = burst(6, [&](int) { return code(kimPays()); });
    EXPECT_EQ(countOf(codes, "10000"), 1);
    EXPECT_EQ(countOf(codes, result::kLoanDone) + countOf(codes, result::kTrfAccountLocked), 5);
    EXPECT_EQ(balance(kimA), 1'000'000 - 44'164);
    EXPECT_EQ(payments(), 1);
    EXPECT_EQ(books::check(before, books()), "");
}

TEST_F(LoanBank, QuoteNoLongerMatchingOrUnaffordableOrExpiredPaysNothing)
{
    ASSERT_EQ(code(due(keyKim, "KIM", kimLoan)), "10000");
    // The balance changed after the quote: the amount due is no longer the quoted one.
    bank.store->write([&](Db& db) { accounts::post(db, kimLoan, 1'000'000, "2024-11-05 14:40:00", "대출실행", ""); });
    EXPECT_EQ(code(kimPays()), result::kLoanChanged);
    EXPECT_EQ(balance(kimA), 1'000'000);

    // Not enough money in the paying account.
    ASSERT_EQ(code(due(keyKim, "KIM", kimLoan)), "10000");
    EXPECT_EQ(code(pay(keyKim, "KIM", kimB, "1234", kimLoan, "S", "8", kimCard[7], "")), "10000");
    ASSERT_EQ(code(due(keyKim, "KIM", kimOverdue)), "10000");
    EXPECT_EQ(code(pay(keyKim, "KIM", kimB, "1234", kimOverdue, "S", "9", kimCard[8], "")), result::kTrfFunds);
    EXPECT_EQ(loan(kimOverdue).paidTo, "20240920");

    // A quote left too long expires (the session is kept alive meanwhile).
    bank.clock.advance(std::chrono::seconds(400));
    ASSERT_EQ(code(send(keyKim, "encrypt=1&trcode=PDA_L001&UserID=KIM")), "10000");
    bank.clock.advance(std::chrono::seconds(201));
    EXPECT_EQ(code(kimPays("1234", kimOverdue)), result::kLoanNoQuote);
    EXPECT_EQ(balance(kimA), 1'000'000);
}

TEST_F(LoanBank, CertificateUserPaysWithASignatureUsedOnce)
{
    auto d = due(keyLee, "LEE", leeLoan);
    ASSERT_EQ(code(d), "10000");
    // 8,000,000 x 5.50% x 26 days / 365 = 31,342.46
    EXPECT_EQ(echoOf(d)[5], "31342");
    EXPECT_EQ(code(pay(keyLee, "LEE", leeA, "1234", leeLoan, "K", "12", "", "garbage")), result::kTrfSignature);
    std::string sig = sign(keyLee);
    auto paid = pay(keyLee, "LEE", leeA, "1234", leeLoan, "K", "12", "", sig);
    ASSERT_EQ(code(paid), "10000") << paid.envelope.text();
    EXPECT_EQ(balance(leeA), 300'000 - 31'342);
    // The signature is spent with the payment.
    ASSERT_EQ(code(due(keyLee, "LEE", leeLoan, "20241110")), "10000");
    EXPECT_EQ(code(pay(keyLee, "LEE", leeA, "1234", leeLoan, "K", "12", "", sig, "20241110")),
              result::kTrfSignature);
}

TEST_F(LoanBank, FiveWrongAccountPasswordsLockTheAccountForPayments)
{
    ASSERT_EQ(code(due(keyKim, "KIM", kimLoan)), "10000");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(code(kimPays(i % 2 ? "" : "0000")), result::kTrfPassword);
    EXPECT_EQ(code(kimPays("0000")), result::kTrfAccountLocked);
    EXPECT_EQ(code(kimPays("1234")), result::kTrfAccountLocked);
    EXPECT_EQ(balance(kimA), 1'000'000);
    EXPECT_EQ(payments(), 0);
}

TEST(LoanDemo, BothDemoCustomersHaveGeneralLoansOneOverdueACreditLineInUseAndAPaidUpLoan)
{
    TestBank bank;
    bank.clock.set(std::chrono::system_clock::now());
    DemoOptions options;
    options.home = bank.dir.str("home");
    options.fastCertificates = true;
    populateDemo(*bank.store, options);
    const std::string today = bankTime(bank.clock.now()).date;
    for (const char* user : {"DEMOS", "DEMOK"}) {
        SCOPED_TRACE(user);
        bank.store->read([&](Db& db) {
            auto c = customers::find(db, user);
            auto general = loans::ofCustomer(db, c->id, false, today);
            auto credit = loans::ofCustomer(db, c->id, true, today);
            ASSERT_GE(general.size(), 3u);
            ASSERT_EQ(credit.size(), 1u);
            EXPECT_GT(credit[0].balance, 0);
            EXPECT_LT(credit[0].balance, credit[0].amount);
            int overdue = 0, paidUp = 0, payable = 0;
            for (const Loan& l : general) {
                overdue += !l.overdueSince.empty();
                paidUp += l.paidTo == today;
                payable += l.paidTo < today && l.overdueSince.empty();
                EXPECT_EQ(l.balance, accounts::find(db, l.accountNo)->balance);
            }
            EXPECT_EQ(overdue, 1);
            EXPECT_EQ(paidUp, 1);
            EXPECT_GE(payable, 1);
        });
    }
}
