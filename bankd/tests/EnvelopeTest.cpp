#include <gtest/gtest.h>

#include "Envelope.h"
#include "EnvelopeReader.h"

using namespace bankd;
using namespace bankd::test;

TEST(Envelope, WritesTheTagsInTheClientsGrammar)
{
    Envelope e = Envelope::ok("정상");
    e.free0({"8001011234567", "S", "홍길동", "N"});
    e.addRecord({"a1", "a2", "a3"}).addRecord({"b1", "b2", "b3"});
    EXPECT_EQ(e.str(),
              "<DataTag><msg>10000;정상;</msg><free0>8001011234567;S;홍길동;N;</free0>"
              "<list0>a1;a2;a3;|b1;b2;b3;|</list0></DataTag>");
}

TEST(Envelope, ClientReadsBackEveryFieldAndRecord)
{
    Envelope e = Envelope::ok();
    e.free0({"x", "", "z"});
    e.free1({"라벨1", "라벨2"});
    for (int i = 1; i <= 3; ++i)
        e.addRecord({std::to_string(i), "제목 " + std::to_string(i)});
    std::string data = xParse(e.str(), "DataTag");
    EXPECT_EQ(msgCode(e.str()), "10000");
    EXPECT_EQ(tagValue(data, "free0", 1), "x");
    EXPECT_EQ(tagValue(data, "free0", 2), "");
    EXPECT_EQ(tagValue(data, "free0", 3), "z");
    EXPECT_EQ(tagValue(data, "free1", 2), "라벨2");
    EXPECT_EQ(tagValue(data, "list0", 2, 3), "제목 3");
    EXPECT_TRUE(existRecord(data, "list0", 3));
    EXPECT_FALSE(existRecord(data, "list0", 4));
}

TEST(Envelope, RefusalCarriesCodeAndTextOnly)
{
    Envelope e("BIZ06", "다시 로그인하십시오.");
    EXPECT_EQ(e.str(), "<DataTag><msg>BIZ06;다시 로그인하십시오.;</msg></DataTag>");
    EXPECT_EQ(msgText(e.str()), "다시 로그인하십시오.");
    EXPECT_FALSE(e.succeeded());
}

TEST(Envelope, EmptyListIsWrittenWhenAsked)
{
    Envelope e = Envelope::ok();
    e.free0({"1"}).emptyList();
    std::string data = xParse(e.str(), "DataTag");
    EXPECT_NE(e.str().find("<list0></list0>"), std::string::npos);
    EXPECT_FALSE(existRecord(data, "list0", 1));
    EXPECT_EQ(tagValue(data, "free0", 1), "1");
}

TEST(Envelope, SeparatorsAndTagsInsideValuesCannotShiftFields)
{
    Envelope e = Envelope::ok();
    e.addRecord({"a;b", "c|d", "</list0>", "x\r\ny\t가>"}).addRecord({"next"});
    std::string data = xParse(e.str(), "DataTag");
    EXPECT_EQ(tagValue(data, "list0", 1, 2), "next");
    EXPECT_EQ(tagValue(data, "list0", 1, 1), "a；b");
    EXPECT_EQ(tagValue(data, "list0", 2, 1), "c｜d");
    EXPECT_EQ(tagValue(data, "list0", 3, 1), "＜/list0＞");
    EXPECT_EQ(tagValue(data, "list0", 4, 1), "x  y 가＞");
    EXPECT_EQ(msgCode(e.str()), "10000");
}

TEST(Envelope, RawTailKeepsMarkupAndSemicolonsButNotClosingTags)
{
    Envelope e = Envelope::ok();
    e.free0WithRawTail({"제목", "20241105"}, "첫 줄<br>둘째;&nbsp;줄</free0>끝");
    std::string free0 = xParse(xParse(e.str(), "DataTag"), "free0");
    // The client's detail record: title, second field, then the rest less its last character.
    size_t a = free0.find(';');
    size_t b = free0.find(';', a + 1);
    EXPECT_EQ(free0.substr(0, a), "제목");
    EXPECT_EQ(free0.substr(b + 1, free0.size() - b - 2), "첫 줄<br>둘째;&nbsp;줄＜/free0>끝");
    EXPECT_EQ(free0.back(), ';');
}
