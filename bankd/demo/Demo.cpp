#include "Demo.h"

#include <chrono>

#include "AccountDemo.h"
#include "Accounts.h"
#include "CardDemo.h"
#include "LossDemo.h"
#include "Clock.h"
#include "ChequeDemo.h"
#include "InquiryDemo.h"
#include "LoanDemo.h"
#include "NoticeDemo.h"
#include "PasswordHash.h"
#include "QuickDemo.h"
#include "Store.h"
#include "TransferDemo.h"

namespace bankd {

namespace {

struct DemoAccount {
    const char* displayNo;
    const char* kindName;
    const char* kindCode;
    std::int64_t opening;
    bool withdrawal;
    bool hidden = false;
};

struct DemoCustomer {
    NewCustomer customer;
    const char* password;
    const char* certPassword;  // nullptr: no certificate
    std::vector<DemoAccount> accounts;
};

constexpr const char* kAccountPassword = "1234";

std::vector<DemoCustomer> demoCustomers()
{
    return {
        {{"DEMOS", "김민준", "8503151234567", "S", "N"},
         "1111",
         nullptr,
         {{"110-234-567890", "보통예금", "A04", 3'250'000, true},
          {"110-234-567891", "저축예금", "A05", 12'800'000, true},
          {"220-11-0045678", "정기적금", "A01", 2'400'000, false},
          {"330-12-0098765", "정기예금", "A06", 20'000'000, false},
          {"770-01-0012345", "가계일반대출", "A07", 15'000'000, false},
          {"110-234-567892", "보통예금", "A04", 450'000, true, true},
          {"220-11-0045679", "자유적금", "A01", 600'000, false},
          {"110-234-567893", "기업자유예금", "A05", 7'300'000, true},
          {"440-20-0033445", "주택청약저축", "A02", 3'600'000, false},
          {"550-30-0077889", "수익증권", "A00", 5'000'000, false},
          {"770-01-0023456", "주택담보대출", "A07", 120'000'000, false},
          {"770-05-0034567", "종합통장대출", "A07", 3'200'000, false},
          {"770-01-0045678", "가계일반대출", "A07", 5'000'000, false}}},
        {{"DEMOK", "이서연", "9011022345678", "K", "Y"},
         "2222",
         "12345678",
         {{"110-345-678901", "보통예금", "A04", 1'730'500, true},
          {"110-345-678902", "저축예금", "A05", 5'120'000, true},
          {"330-13-0011223", "정기예금", "A06", 10'000'000, false},
          {"770-02-0056789", "가계일반대출", "A07", 8'000'000, false},
          {"770-02-0067890", "전세자금대출", "A07", 50'000'000, false},
          {"770-06-0078901", "종합통장대출", "A07", 1'500'000, false},
          {"770-02-0089012", "학자금대출", "A07", 2'000'000, false}}},
        {{"DEMOP", "박지훈", "7707071345678", "S", "N"},
         "3333",
         nullptr,
         {{"110-456-789012", "보통예금", "A04", 820'000, true}}},
    };
}

std::string dateOf(Clock::time_point t)
{
    return bankTime(t).date;
}

} // namespace

std::vector<DemoUser> populateDemo(Store& store, const DemoOptions& options)
{
    using namespace std::chrono;
    auto now = system_clock::now();
    std::vector<DemoUser> users;
    std::string accountHash = hashShortSecret(kAccountPassword, store.keys());

    for (const DemoCustomer& dc : demoCustomers()) {
        DemoUser u;
        u.userId = dc.customer.userId;
        u.password = dc.password;
        u.name = dc.customer.name;
        u.securityWay = dc.customer.securityWay;
        u.card = admin::addCustomer(store, dc.customer, dc.password);
        store.write([&](Db& db) {
            // A write may run again (PostgreSQL): the lines are made afresh each run.
            u.accounts.clear();
            auto c = customers::find(db, dc.customer.userId);
            int n = 0;
            for (const DemoAccount& da : dc.accounts) {
                Account a;
                a.accountNo = accounts::digitsOnly(da.displayNo);
                a.customerId = c->id;
                a.displayNo = da.displayNo;
                a.kindName = da.kindName;
                a.kindCode = da.kindCode;
                a.withdrawal = da.withdrawal;
                a.hidden = da.hidden;
                a.openedOn = dateOf(now - hours(24 * (400 - 30 * n)));
                accounts::add(db, a, accountHash);
                // Opening deposit and a few movements over the last weeks.
                auto at = [&](int daysAgo) { return bankTimestamp(now - hours(24 * daysAgo)); };
                accounts::post(db, a.accountNo, da.opening, at(120 - n), "신규", "");
                if (std::string(da.kindCode) == "A04" || std::string(da.kindCode) == "A05") {
                    accounts::post(db, a.accountNo, 2'500'000, at(40), "급여", "타브린상사");
                    accounts::post(db, a.accountNo, -58'000, at(33), "카드대금", "타브린카드");
                    accounts::post(db, a.accountNo, -120'000, at(21), "이체", "홍길동");
                    accounts::post(db, a.accountNo, 35'000, at(12), "입금", "최유리");
                    accounts::post(db, a.accountNo, -42'500, at(2), "공과금", "한국전력");
                }
                addInquiryDemoHistory(db, a, n, now);
                u.accounts.push_back(std::string(da.displayNo) + " (" + da.kindName + ") 비밀번호 " +
                                     kAccountPassword);
                ++n;
            }
        });
        if (dc.certPassword) {
            IssuedCert cert =
                admin::issueCertificate(store, u.userId, options.home, dc.certPassword, options.fastCertificates);
            u.certPassword = dc.certPassword;
            u.certFile = cert.filePath;
        }
        users.push_back(std::move(u));
    }

    std::map<std::string, std::vector<std::string>> cardLines;
    store.write([&](Db& db) {
        addDemoNotices(db, now);
        addDemoCheques(db, now);
        addTransferDemo(db, now);
        addLoanDemo(db, now);
        // Card PINs are the demo account password.
        cardLines = addCardDemo(db, now, accountHash);
        addDemoLossReports(db, now);
        addAccountDemo(db);
        addDemoRates(db, now);
        addDemoEnrolment(db, now, accountHash);
    });
    for (DemoUser& u : users)
        for (const std::string& line : cardLines[u.userId])
            u.accounts.push_back(line);
    return users;
}

} // namespace bankd
