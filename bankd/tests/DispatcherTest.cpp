#include <gtest/gtest.h>

#include <stdexcept>

#include "EnvelopeReader.h"
#include "ResultCodes.h"
#include "TestBank.h"

using namespace bankd;
using namespace bankd::test;

TEST(Dispatcher, UnknownOrMissingTrcodeIsRefusedWithKoreanText)
{
    TestBank bank;
    auto o = bank.plain("trcode=PDA_X999");
    EXPECT_EQ(o.envelope.code(), result::kUnknownTrcode);
    EXPECT_EQ(o.envelope.text(), "지원하지 않는 거래입니다.");
    EXPECT_EQ(o.trcode, "PDA_X999");
    auto m = bank.plain("Num=1");
    EXPECT_EQ(m.envelope.code(), result::kMalformed);
    EXPECT_EQ(msgText(m.envelope.str()), "요청 형식이 올바르지 않습니다.");
}

TEST(Dispatcher, MalformedQueriesAreRefusedOnBothRoutes)
{
    TestBank bank;
    for (const char* q : {"", "garbage", "trcode=PDA_T003&trcode=PDA_T003", "&&&", "trcode=PDA_T003&a=\x01"}) {
        EXPECT_EQ(bank.plain(q).envelope.code(), result::kMalformed) << q;
        EXPECT_EQ(bank.encrypted(sessionKey(1), q).envelope.code(), result::kMalformed) << q;
    }
}

TEST(Dispatcher, LogFieldsOfHostileCodesAreSanitised)
{
    TestBank bank;
    auto o = bank.plain("trcode=PDA%20X\t<script>");
    EXPECT_EQ(o.envelope.code(), result::kMalformed);  // control character
    auto p = bank.plain("trcode=A B<c>;d");
    EXPECT_EQ(p.envelope.code(), result::kUnknownTrcode);
    EXPECT_EQ(p.trcode, "ABcd");
}

TEST(Dispatcher, SecureTransactionsAreRefusedOnThePlainServlet)
{
    TestBank bank;
    bank.addCustomer("ALICE", "PW1");
    auto o = bank.plain("useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1");
    EXPECT_EQ(o.envelope.code(), result::kWrongRoute);
    // The plain servlet's own transactions go through.
    EXPECT_EQ(bank.plain("trcode=PDA_T003").envelope.code(), result::kOk);
}

TEST(Dispatcher, AHandlerFailureBecomesASystemRefusal)
{
    TestBank bank;
    bank.dispatcher.add({"TEST_FAIL", false, true, [](RequestContext&) -> Envelope {
                             throw std::runtime_error("disk on fire");
                         }});
    auto o = bank.plain("trcode=TEST_FAIL");
    EXPECT_EQ(o.envelope.code(), result::kSystem);
    EXPECT_EQ(o.envelope.text(), result::kSystemText);
}

TEST(Dispatcher, SessionTransactionsNeedALoggedInSessionOfTheNamedUser)
{
    TestBank bank;
    int calls = 0;
    bank.dispatcher.add({"TEST_WHO", true, false, [&](RequestContext& ctx) {
                             ++calls;
                             return Envelope::ok().free0({ctx.user});
                         }});
    bank.addCustomer("ALICE", "PW1");
    // No session, unknown session, not logged in: all BIZ06, handler not run.
    EXPECT_EQ(bank.encrypted("", "encrypt=1&trcode=TEST_WHO&UserID=ALICE").envelope.code(), result::kSession);
    EXPECT_EQ(bank.encrypted(sessionKey(1), "encrypt=1&trcode=TEST_WHO&UserID=ALICE").envelope.code(),
              result::kSession);
    ASSERT_EQ(bank.login(sessionKey(1), "ALICE", "PW1"), result::kOk);
    auto ok = bank.encrypted(sessionKey(1), "encrypt=1&trcode=TEST_WHO&UserID=ALICE");
    EXPECT_EQ(ok.envelope.code(), result::kOk);
    EXPECT_EQ(ok.user, "ALICE");
    // Missing UserID, or the session of another key.
    EXPECT_EQ(bank.encrypted(sessionKey(1), "encrypt=1&trcode=TEST_WHO").envelope.code(), result::kSession);
    EXPECT_EQ(bank.encrypted(sessionKey(2), "encrypt=1&trcode=TEST_WHO&UserID=ALICE").envelope.code(),
              result::kSession);
    // "useSess=N" from the client does not waive the session check.
    EXPECT_EQ(bank.encrypted(sessionKey(2), "useSess=N&trcode=TEST_WHO&UserID=ALICE").envelope.code(),
              result::kSession);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(bank.encrypted(sessionKey(2), "encrypt=1&trcode=TEST_WHO&UserID=ALICE").envelope.text(),
              result::kSessionText);
}
