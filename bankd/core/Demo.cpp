#include "Demo.h"

#include <chrono>

#include "Accounts.h"
#include "Clock.h"
#include "InquiryDemo.h"
#include "Notices.h"
#include "PasswordHash.h"
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
          {"550-30-0077889", "수익증권", "A00", 5'000'000, false}}},
        {{"DEMOK", "이서연", "9011022345678", "K", "Y"},
         "2222",
         "12345678",
         {{"110-345-678901", "보통예금", "A04", 1'730'500, true},
          {"110-345-678902", "저축예금", "A05", 5'120'000, true},
          {"330-13-0011223", "정기예금", "A06", 10'000'000, false}}},
        {{"DEMOP", "박지훈", "7707071345678", "S", "N"},
         "3333",
         nullptr,
         {{"110-456-789012", "보통예금", "A04", 820'000, true}}},
    };
}

struct DemoNotice {
    const char* title;
    const char* body;
};

const DemoNotice kNotices[] = {
    {"PDA뱅킹 서비스 개시 안내",
     "고객님께 감사드립니다.<br>타브린은행 PDA뱅킹 서비스를 시작합니다.<br><br>&nbsp;&nbsp;- 이용시간: 24시간<br>&nbsp;&nbsp;- 문의: 1588-0000"},
    {"보안카드 사용 안내", "보안카드는 타인에게 보여주지 마십시오.<br>분실 시 즉시 영업점에 신고하십시오."},
    {"공인인증서 갱신 안내", "인증서 유효기간이 지나기 전에<br>갱신하여 주시기 바랍니다."},
    {"설 연휴 서비스 일시 중단 안내", "시스템 점검으로 아래 시간에 서비스가 중단됩니다.<br>&nbsp;일시: 02:00 ~ 06:00"},
    {"이체 수수료 면제 이벤트", "PDA뱅킹으로 이체하시면<br>연말까지 수수료가 면제됩니다."},
    {"무선모뎀 접속 요령", "접속이 원활하지 않을 때는<br>환경설정에서 모뎀을 다시 선택하십시오."},
    {"예약이체 서비스 안내", "원하시는 날짜에 자동으로 이체됩니다.<br>예약은 최대 3개월까지 가능합니다."},
    {"개인정보 보호 안내", "은행은 어떠한 경우에도<br>비밀번호를 묻지 않습니다."},
    {"대출 이자 납입 안내", "대출 이자는 PDA뱅킹에서도<br>납입하실 수 있습니다."},
    {"카드 현금서비스 이용 안내", "현금서비스 이용 한도는<br>카드별로 다릅니다."},
    {"분실신고 서비스 안내", "통장, 현금카드, 신용카드 분실 시<br>PDA뱅킹에서 바로 신고하십시오."},
    {"환율 조회 서비스 추가", "로그인 없이도 오늘의 환율을<br>조회하실 수 있습니다."},
    {"시스템 정기 점검 안내", "매월 셋째 주 일요일 새벽에<br>정기 점검이 있습니다."},
    {"PDA뱅킹 프로그램 업그레이드", "새 버전이 배포되었습니다.<br>프로그램 시작 시 자동으로 업그레이드됩니다."},
};

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
    std::string accountHash = hashPassword(kAccountPassword, store.hashCost());

    for (const DemoCustomer& dc : demoCustomers()) {
        DemoUser u;
        u.userId = dc.customer.userId;
        u.password = dc.password;
        u.name = dc.customer.name;
        u.securityWay = dc.customer.securityWay;
        u.card = admin::addCustomer(store, dc.customer, dc.password);
        store.write([&](Db& db) {
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

    store.write([&](Db& db) {
        int count = static_cast<int>(std::size(kNotices));
        for (int i = 0; i < count; ++i)
            notices::add(db, dateOf(now - hours(24 * 7 * (count - i))), kNotices[i].title, kNotices[i].body);
        addDemoCheques(db, now);
        addTransferDemo(db, now);
    });
    return users;
}

} // namespace bankd
