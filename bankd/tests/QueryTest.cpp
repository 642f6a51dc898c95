#include <gtest/gtest.h>

#include "Query.h"

using namespace bankd;

TEST(Query, SplitsPairsAndKeepsValuesVerbatim)
{
    auto q = Query::parse("encrypt=1&trcode=PDA_T001&UserID=ABC&Sender=홍 길동+=;x&Empty=");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->value("trcode"), "PDA_T001");
    EXPECT_EQ(q->value("Sender"), "홍 길동+=;x");
    EXPECT_TRUE(q->has("Empty"));
    EXPECT_EQ(q->value("Empty"), "");
    EXPECT_FALSE(q->has("Missing"));
    EXPECT_EQ(q->value("Missing"), "");
    EXPECT_EQ(q->pairs().size(), 5u);
}

TEST(Query, DecodesTheClientsPercentAndAmpersandEscapes)
{
    auto q = Query::parse("trcode=X&Sender=A%26B&Memo=100%25&Lit=%2526&Other=%41%2");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->value("Sender"), "A&B");
    EXPECT_EQ(q->value("Memo"), "100%");
    EXPECT_EQ(q->value("Lit"), "%26");   // an escaped "%" followed by "26"
    EXPECT_EQ(q->value("Other"), "%41%2");  // nothing else is an escape
    EXPECT_EQ(decodeValue("%25%26%"), "%&%");
}

TEST(Query, MalformedInputIsRefusedNotGuessed)
{
    std::string why;
    EXPECT_FALSE(Query::parse("", &why));
    EXPECT_FALSE(Query::parse("trcode", &why));
    EXPECT_EQ(why, "pair without '='");
    EXPECT_FALSE(Query::parse("trcode=A&&x=1"));
    EXPECT_FALSE(Query::parse("=value"));
    EXPECT_FALSE(Query::parse("tr code=A"));
    EXPECT_FALSE(Query::parse("trcode=A&trcode=B", &why));
    EXPECT_EQ(why, "key given twice");
    EXPECT_FALSE(Query::parse("trcode=A&x=a\nb"));
    EXPECT_FALSE(Query::parse(std::string("trcode=A&x=\xC3\x28")));  // broken UTF-8
    EXPECT_FALSE(Query::parse("trcode=" + std::string(Query::kMaxLength, 'A')));
    EXPECT_TRUE(Query::parse("trcode=A&"));  // a trailing "&" is harmless
}
