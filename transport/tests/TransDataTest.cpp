// CQVParser::TransData / TransDataEx: the exchange through a session, with a
// scripted engine and a loopback bank server.
#include <gtest/gtest.h>

#include <httplib.h>

#include <QApplication>

#include "CQV.h"
#include "CQVParser.h"
#include "FakeEngine.h"
#include "Services.h"
#include "TestServer.h"

namespace {

using transporttest::closedPort;
using transporttest::cp949;
using transporttest::DeployFile;
using transporttest::FakeEngine;
using transporttest::TestServer;

const QString kEnvelope = QStringLiteral("<DataTag><msg>10000;정상;</msg><free0>홍길동;20240131;</free0></DataTag>");

class TransDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CQV::SetEngineForTesting(&engine);
        server.onGet("/servlet/TvPdaMain", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(mainReply, "text/plain");
        });
        server.onPost("/servlet/TvPdaMain", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(mainReply, "text/plain");
        });
        server.onGet("/servlet/TvPdaNoEnc", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(cp949(kEnvelope), "text/plain");
        });
        server.onPost("/servlet/TvPdaNoEnc", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(cp949(kEnvelope), "text/plain");
        });
        server.start();
        deploy = std::make_unique<DeployFile>(server.host());
        session.SetVgateProp(QStringLiteral("gw.test"), 443u, 8080u);
        engine.cipher = QStringLiteral("Q1+/=");
        engine.plain = kEnvelope;
        // The wait cursor is up while the engine works.
        engine.duringCall = [this] { waitingDuringEngine = platform::isWaiting(); };
    }
    void TearDown() override { CQV::SetEngineForTesting(nullptr); }

    // The arrow cursor is back after every exchange.
    void expectArrowCursor()
    {
        EXPECT_FALSE(platform::isWaiting());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    TestServer server;
    std::unique_ptr<DeployFile> deploy;
    FakeEngine engine;
    CQV session;
    std::string mainReply = "REPLY+CIPHER==";
    bool waitingDuringEngine = false;
};

TEST_F(TransDataTest, EncryptedGetRoundTrip)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransData(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=kim&UserPwd=1"), reply, 1, 0));
    EXPECT_EQ(reply, kEnvelope);
    expectArrowCursor();
    EXPECT_TRUE(waitingDuringEngine);

    // The session now points at the encrypted servlet; the cipher went escaped
    // in "q" and the reply body went to the engine exactly as received.
    EXPECT_EQ(session.GetServerProp(), server.url(QStringLiteral("/servlet/TvPdaMain")));
    EXPECT_EQ(server.lastRequest().target, "/servlet/TvPdaMain?q=Q1%2B/%3D");
    ASSERT_EQ(engine.count(QStringLiteral("decrypt")), 1);
    EXPECT_EQ(engine.calls[0].args[2], QStringLiteral("useSess=N&trcode=PDA_U001&UserID=kim&UserPwd=1"));
    EXPECT_EQ(engine.calls[0].args[1], QStringLiteral("/off"));
    EXPECT_EQ(engine.calls[1].args[1], QStringLiteral("REPLY+CIPHER=="));

    QString data, code, msg;
    ASSERT_TRUE(parser.GetDataTag(reply, data));
    EXPECT_TRUE(parser.GetMsgTag(data, code, msg));
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("free0"), 1, 1, QStringLiteral("|")), QStringLiteral("홍길동"));
}

TEST_F(TransDataTest, EncryptedPostRoundTrip)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransDataEx(QStringLiteral("encrypt=1&trcode=PDA_T002"), reply, 1, 1));
    EXPECT_EQ(reply, kEnvelope);
    const auto seen = server.lastRequest();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.target, "/servlet/TvPdaMain");
    EXPECT_EQ(seen.body, "q=Q1%2B/%3D");
    EXPECT_EQ(engine.calls[0].args[1], QStringLiteral("/on"));
    expectArrowCursor();
}

TEST_F(TransDataTest, UnencryptedGetSendsTheRequestAsItIs)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransData(QStringLiteral("trcode=PDA_S004&sdate=20240131"), reply, 0, 1));
    EXPECT_EQ(reply, kEnvelope);
    EXPECT_EQ(server.lastRequest().target, "/servlet/TvPdaNoEnc?trcode=PDA_S004&sdate=20240131");
    EXPECT_EQ(session.GetServerProp(), server.url(QStringLiteral("/servlet/TvPdaNoEnc")));
    EXPECT_TRUE(engine.calls.empty());
    expectArrowCursor();
}

TEST_F(TransDataTest, UnencryptedPostSendsTheRequestInCodePage949)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransDataEx(QStringLiteral("useSess=N&Name=김"), reply, 0, 0));
    EXPECT_EQ(reply, kEnvelope);
    EXPECT_EQ(server.lastRequest().body, std::string("useSess=N&Name=\xB1\xE8"));
    EXPECT_TRUE(engine.calls.empty());
}

TEST_F(TransDataTest, EncryptionFailureReportsTheEnginesError)
{
    engine.cipher.clear();
    engine.error = QStringLiteral("게이트웨이 키가 없습니다.");
    CQVParser parser(&session);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Velcor Error: \r\n게이트웨이 키가 없습니다."));
    EXPECT_FALSE(parser.TransDataEx(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Velcor Error: \r\n게이트웨이 키가 없습니다."));
    EXPECT_EQ(server.requestCount(), 0);
    expectArrowCursor();
}

TEST_F(TransDataTest, NoGateAddressGivesAnEmptyVelcorError)
{
    CQV fresh;
    CQVParser parser(&fresh);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Velcor Error: \r\n"));
    EXPECT_TRUE(engine.calls.empty());
    expectArrowCursor();
}

TEST_F(TransDataTest, DecryptionFailureReportsTheEnginesError)
{
    engine.plain.clear();
    engine.error = QStringLiteral("응답이 변조되었습니다.");
    CQVParser parser(&session);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Velcor Error: \r\n응답이 변조되었습니다."));
    expectArrowCursor();
}

TEST_F(TransDataTest, EmptyBodyMeansNothingReceived)
{
    mainReply.clear();
    CQVParser parser(&session);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Error:\r\n서버로부터 받은 데이터가 없습니다."));
    EXPECT_EQ(engine.count(QStringLiteral("decrypt")), 0);
    EXPECT_FALSE(parser.TransDataEx(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Error:\r\n서버로부터 받은 데이터가 없습니다."));
    expectArrowCursor();
}

TEST_F(TransDataTest, GatewayRefusalIsShownAsANetworkError)
{
    mainReply = cp949(QStringLiteral("Error: 이미 사용된 요청입니다."));
    CQVParser parser(&session);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Network Error: \r\nError: 이미 사용된 요청입니다."));
    EXPECT_EQ(engine.count(QStringLiteral("decrypt")), 0);
    expectArrowCursor();
}

TEST_F(TransDataTest, DownloadErrorsAreNetworkErrors)
{
    TestServer redirecting;
    redirecting.onGet("/servlet/TvPdaMain", [](const httplib::Request&, httplib::Response& res) { res.status = 302; });
    redirecting.start();
    DeployFile moved(redirecting.host());
    CQVParser parser(&session);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Network Error: \r\nError: 재이동할 사이트 주소가 없습니다."));
    expectArrowCursor();

    DeployFile nobody(QStringLiteral("127.0.0.1:%1").arg(closedPort()));
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 0, 0));
    EXPECT_EQ(reply, QStringLiteral("Network Error: \r\nError: 서버에 연결할 수 없습니다."));
    EXPECT_FALSE(parser.TransDataEx(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Network Error: \r\nError: 서버에 연결할 수 없습니다."));
    expectArrowCursor();
}

TEST_F(TransDataTest, CopiedParsersShareTheSession)
{
    CQVParser a(&session);
    CQVParser b(a);
    CQVParser c(nullptr);
    c = b;
    QString reply;
    ASSERT_TRUE(c.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(engine.calls[0].args[0], QStringLiteral("gw.test:443:443"));
    EXPECT_EQ(session.GetXSessionKey(), QStringLiteral("Q1+/="));
}

TEST_F(TransDataTest, SecondExchangeOnABusySessionFailsAtOnce)
{
    // Re-entered while the session encodes (a nested event loop could do this):
    // the inner exchange must not wait for the outer one, which cannot go on.
    CQVParser outer(&session);
    QString innerReply;
    int innerResult = -1;
    engine.duringCall = [&] {
        if (innerResult != -1)
            return;
        innerResult = 0;
        CQVParser inner(&session);
        innerResult = inner.TransData(QStringLiteral("inner"), innerReply, 1, 0);
    };
    QString reply;
    ASSERT_TRUE(outer.TransData(QStringLiteral("outer"), reply, 1, 0));
    EXPECT_EQ(reply, kEnvelope);
    EXPECT_EQ(innerResult, 0);
    EXPECT_EQ(innerReply, QStringLiteral("Velcor Error: \r\n이전 요청을 처리하고 있습니다."));
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(TransDataTest, ParserWithoutSessionFailsCleanly)
{
    CQVParser parser(nullptr);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("x"), reply, 1, 0));
    EXPECT_EQ(reply, QStringLiteral("Velcor Error: \r\n"));
    expectArrowCursor();
}

} // namespace
