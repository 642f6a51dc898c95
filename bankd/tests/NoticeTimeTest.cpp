#include <gtest/gtest.h>

#include "EnvelopeReader.h"
#include "Notices.h"
#include "ResultCodes.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

namespace {
struct Page {
    std::string endFlag;
    std::vector<std::string> numbers;
    std::vector<std::string> titles;
};

// Reads a list page the way the notice screen does.
Page readPage(const std::string& reply)
{
    Page p;
    std::string data = xParse(reply, "DataTag");
    p.endFlag = tagValue(data, "free0", 1);
    for (unsigned i = 1; existRecord(data, "list0", i); ++i) {
        p.numbers.push_back(tagValue(data, "list0", 1, i));
        p.titles.push_back(tagValue(data, "list0", 3, i));
    }
    return p;
}
} // namespace

TEST(Notices, PagingByListPositionReachesTheLastPage)
{
    BankConfig config;
    config.noticePageSize = 4;
    TestBank bank(config);
    bank.addNotices(10);
    std::string position = "0";
    std::vector<std::string> seen;
    std::vector<std::string> flags;
    for (int guard = 0; guard < 10; ++guard) {
        auto o = bank.plain("trcode=PDA_U003&Num=" + position);
        ASSERT_EQ(o.envelope.code(), result::kOk);
        Page p = readPage(o.envelope.str());
        flags.push_back(p.endFlag);
        seen.insert(seen.end(), p.numbers.begin(), p.numbers.end());
        if (p.endFlag == "1")
            break;
        ASSERT_FALSE(p.numbers.empty());
        position = p.numbers.back();  // the number of the page's last notice
    }
    EXPECT_EQ(flags, (std::vector<std::string>{"0", "0", "1"}));
    EXPECT_EQ(seen, (std::vector<std::string>{"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}));
}

TEST(Notices, AnExactlyFullLastPageSaysItIsTheLast)
{
    BankConfig config;
    config.noticePageSize = 5;
    TestBank bank(config);
    bank.addNotices(5);
    Page p = readPage(bank.plain("trcode=PDA_U003&Num=0").envelope.str());
    EXPECT_EQ(p.endFlag, "1");
    EXPECT_EQ(p.numbers.size(), 5u);
    EXPECT_EQ(p.titles.front(), "공지 5");
}

TEST(Notices, EmptyBoardIsOneLastEmptyPage)
{
    TestBank bank;
    Page p = readPage(bank.plain("trcode=PDA_U003&Num=0").envelope.str());
    EXPECT_EQ(p.endFlag, "1");
    EXPECT_TRUE(p.numbers.empty());
}

TEST(Notices, DetailKeepsLineBreaksAndBlanksForTheDetailWindow)
{
    TestBank bank;
    bank.store->write([](Db& db) {
        notices::add(db, "20241105", "점검 안내", "첫째 줄<br>둘째 줄<br>&nbsp;&nbsp;들여쓴 줄; 끝");
    });
    auto o = bank.plain("trcode=PDA_U004&Num=1");
    ASSERT_EQ(o.envelope.code(), result::kOk);
    std::string free0 = xParse(xParse(o.envelope.str(), "DataTag"), "free0");
    size_t a = free0.find(';');
    size_t b = free0.find(';', a + 1);
    EXPECT_EQ(free0.substr(0, a), "점검 안내");
    EXPECT_EQ(free0.substr(a + 1, b - a - 1), "20241105");
    EXPECT_EQ(free0.substr(b + 1, free0.size() - b - 2), "첫째 줄<br>둘째 줄<br>&nbsp;&nbsp;들여쓴 줄; 끝");
}

TEST(Notices, BadOrMissingNumbersAreRefused)
{
    TestBank bank;
    bank.addNotices(1);
    EXPECT_EQ(bank.plain("trcode=PDA_U004&Num=99").envelope.code(), result::kNoNotice);
    EXPECT_EQ(bank.plain("trcode=PDA_U004&Num=1 OR 1=1").envelope.code(), result::kBadValue);
    EXPECT_EQ(bank.plain("trcode=PDA_U004").envelope.code(), result::kBadValue);
    EXPECT_EQ(bank.plain("trcode=PDA_U003&Num=-1").envelope.code(), result::kBadValue);
    EXPECT_EQ(bank.plain("trcode=PDA_U003&Num=99999999999999999999").envelope.code(), result::kBadValue);
}

TEST(ServerTime, DateAndTimeAreTwoFieldsInBankTime)
{
    TestBank bank;  // its clock stands at 2024-11-05 14:32:10 KST
    auto o = bank.plain("trcode=PDA_T003");
    ASSERT_EQ(o.envelope.code(), result::kOk);
    std::string free0 = xParse(xParse(o.envelope.str(), "DataTag"), "free0");
    EXPECT_EQ(free0, "20241105;143210;");
    // The notice screen's label: characters 5-6 "/" 7-8 " " 10-11 ":" 12-13.
    EXPECT_EQ(free0.substr(4, 2) + "/" + free0.substr(6, 2) + " " + free0.substr(9, 2) + ":" + free0.substr(11, 2),
              "11/05 14:32");
    bank.clock.advance(std::chrono::hours(10));
    EXPECT_EQ(xParse(bank.plain("trcode=PDA_T003").envelope.str(), "free0"), "20241106;003210;");
}
