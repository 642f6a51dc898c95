#include "AccountDemo.h"

#include "CustomerInfo.h"
#include "Customers.h"

namespace bankd {

void addAccountDemo(Db& db)
{
    struct DemoProfile {
        const char* userId;
        Profile profile;
    };
    const DemoProfile profiles[] = {
        {"DEMOS",
         {"06236", "서울 강남구 테헤란로 152", "타브린타워 1203호", "02-555-1234", "010-2345-6789",
          "minjun.kim@example.kr", "1", "19850315", "20120526", "1100", "타브린상사", "02-3456-7890", "과장"}},
        {"DEMOK",
         {"48058", "부산 해운대구 센텀중앙로 79", "101동 502호", "051-744-5678", "010-9876-5432",
          "seoyeon.lee@example.kr", "2", "19901102", "00000000", "1800", "해운대법률사무소", "051-711-2233", "변호사"}},
        {"DEMOP",
         {"61452", "광주 동구 금남로 245", "", "062-222-3344", "010-5555-7777", "", "1", "19770707", "00000000",
          "3200", "", "", ""}},
    };
    for (const DemoProfile& d : profiles) {
        auto c = customers::find(db, d.userId);
        if (c)
            customerinfo::setProfile(db, c->id, d.profile);
    }
}

} // namespace bankd
