#include "NoticeDemo.h"

#include <iterator>

#include "Notices.h"

namespace bankd {

namespace {

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

} // namespace

void addDemoNotices(Db& db, Clock::time_point now)
{
    using std::chrono::hours;
    int count = static_cast<int>(std::size(kNotices));
    for (int i = 0; i < count; ++i)
        notices::add(db, bankTime(now - hours(24 * 7 * (count - i))).date, kNotices[i].title, kNotices[i].body);
}

} // namespace bankd
