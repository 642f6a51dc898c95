// CQV and CQVParser with the real Velcor engine (libVelcor.so) against a
// loopback bank server that opens requests with the gateway half.
#include <gtest/gtest.h>

#include <httplib.h>

#include <mutex>

#include "CQV.h"
#include "CQVParser.h"
#include "Gateway.h"
#include "GatewayProtocol.h"
#include "TestServer.h"

namespace {

using transporttest::cp949;
using transporttest::DeployFile;
using transporttest::TestServer;

const QString kEnvelope =
    QStringLiteral("<DataTag><msg>10000;정상 처리되었습니다;</msg><list0>1;똠방;|2;각하;|</list0></DataTag>");

// The encrypted servlet and the end-session path of bankd, reduced to the gateway:
// every request it can open is answered with kEnvelope, sealed for that request.
class GatewayServer {
public:
    explicit GatewayServer(const velcor::GatewayKeyPair& keys) : gateway(keys)
    {
        server.onGet("/servlet/TvPdaMain", [this](const httplib::Request& req, httplib::Response& res) {
            answer(req.get_param_value("q"), res);
        });
        server.onPost("/servlet/TvPdaMain", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string prefix = "q=";
            const std::string q = req.body.rfind(prefix, 0) == 0 ? req.body.substr(prefix.size()) : std::string();
            answer(httplib::detail::decode_url(q, false), res);
        });
        server.onPost(std::string(velcor::protocol::kEndSessionPath),
                      [this](const httplib::Request& req, httplib::Response& res) {
                          const velcor::EndResult r = gateway.endSession(req.body);
                          res.status = r.ok ? 200 : 403;
                          res.set_content(r.ok ? r.reply : velcor::errorReply(r.reason), "text/plain");
                      });
        server.start();
    }

    void answer(const std::string& cipher, httplib::Response& res)
    {
        const velcor::OpenResult opened = gateway.open(cipher);
        if (!opened.ok) {
            res.set_content(cp949(QString::fromStdString(velcor::errorReply(opened.reason))), "text/plain");
            return;
        }
        std::lock_guard lock(mutex);
        this->opened.push_back(opened.opened);
        std::string sealed = gateway.seal(opened.opened, kEnvelope.toStdString());
        if (tamper && !sealed.empty())
            sealed[sealed.size() / 2] = sealed[sealed.size() / 2] == 'A' ? 'B' : 'A';
        res.set_content(sealed, "text/plain");
    }

    velcor::Gateway gateway;
    TestServer server;
    std::mutex mutex;
    std::vector<velcor::OpenedRequest> opened;
    bool tamper = false;
};

// One gate address per test: the engine keeps one session per gate address for the process.
QString freshGateHost()
{
    static int n = 0;
    return QStringLiteral("it-gate-%1").arg(++n);
}

class IntegrationTest : public ::testing::Test {
protected:
    IntegrationTest()
        : keys(velcor::generateGatewayKeyPair()), gw(keys),
          deploy(gw.server.host(), QString::fromStdString(keys.publicKeyBase64()))
    {
        CQV::SetEngineForTesting(nullptr);
        session.SetVgateProp(freshGateHost(), 443u, 8080u);
    }

    velcor::GatewayKeyPair keys;
    GatewayServer gw;
    DeployFile deploy;
    CQV session;
};

TEST_F(IntegrationTest, TransDataRoundTripThroughTheGateway)
{
    CQVParser parser(&session);
    QString reply;
    const QString request = QStringLiteral("useSess=N&trcode=PDA_U001&UserID=홍길동&UserPwd=a+b=c?d");
    ASSERT_TRUE(parser.TransData(request, reply, 1, 0)) << reply.toStdString();
    EXPECT_EQ(reply, kEnvelope);

    ASSERT_EQ(gw.opened.size(), 1u);
    EXPECT_EQ(QString::fromStdString(gw.opened[0].request), request);
    EXPECT_FALSE(gw.opened[0].pathOn);
    // The session key CQV keeps names the session at the gateway.
    EXPECT_EQ(session.GetXSessionKey().size(), 44);
    EXPECT_EQ(session.GetXSessionKey(), QString::fromStdString(gw.opened[0].sessionKey));

    QString data, code, msg;
    ASSERT_TRUE(parser.GetDataTag(reply, data));
    EXPECT_TRUE(parser.GetMsgTag(data, code, msg));
    EXPECT_EQ(msg, QStringLiteral("정상 처리되었습니다"));
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 2, 1, QStringLiteral("|")), QStringLiteral("똠방"));
    EXPECT_EQ(parser.GetTagValue(data, QStringLiteral("list0"), 2, 2, QStringLiteral("|")), QStringLiteral("각하"));
    EXPECT_FALSE(parser.ExistRecord(data, QStringLiteral("list0"), 3, QStringLiteral("|")));
}

TEST_F(IntegrationTest, PostRoundTripAndRisingCounters)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransDataEx(QStringLiteral("encrypt=1&trcode=PDA_T002&Sender=김"), reply, 1, 1))
        << reply.toStdString();
    EXPECT_EQ(reply, kEnvelope);
    ASSERT_TRUE(parser.TransData(QStringLiteral("encrypt=1&trcode=PDA_U002"), reply, 1, 0)) << reply.toStdString();
    ASSERT_EQ(gw.opened.size(), 2u);
    EXPECT_TRUE(gw.opened[0].pathOn);
    EXPECT_EQ(gw.opened[0].request, QStringLiteral("encrypt=1&trcode=PDA_T002&Sender=김").toStdString());
    EXPECT_LT(gw.opened[0].counter, gw.opened[1].counter);
    EXPECT_EQ(gw.opened[0].sessionKey, gw.opened[1].sessionKey);
}

TEST_F(IntegrationTest, TamperedReplyIsRefusedByTheEngine)
{
    gw.tamper = true;
    CQVParser parser(&session);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("encrypt=1&trcode=PDA_U002"), reply, 1, 0));
    EXPECT_TRUE(reply.startsWith(QStringLiteral("Velcor Error: \r\n")));
    EXPECT_GT(reply.size(), QStringLiteral("Velcor Error: \r\n").size()); // the engine said why
    EXPECT_EQ(reply.mid(16), session.GetLastErrorMsg());
}

TEST_F(IntegrationTest, GatewayRefusalReachesTheCallerAsNetworkError)
{
    // A gateway with other keys than the pinned ones cannot open anything.
    GatewayServer stranger(velcor::generateGatewayKeyPair());
    DeployFile pinnedElsewhere(stranger.server.host(), QString::fromStdString(keys.publicKeyBase64()));
    CQVParser parser(&session);
    QString reply;
    EXPECT_FALSE(parser.TransData(QStringLiteral("encrypt=1&trcode=PDA_U002"), reply, 1, 0));
    EXPECT_TRUE(reply.startsWith(QStringLiteral("Network Error: \r\nError:"))) << reply.toStdString();
    EXPECT_TRUE(stranger.opened.empty());
}

TEST_F(IntegrationTest, CloseSessionEndsTheGatewaySession)
{
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransData(QStringLiteral("encrypt=1&trcode=PDA_U002"), reply, 1, 0)) << reply.toStdString();
    const std::string key = session.GetXSessionKey().toStdString();
    ASSERT_TRUE(gw.gateway.hasSession(key));
    EXPECT_EQ(session.CloseSession(), 0);
    EXPECT_FALSE(gw.gateway.hasSession(key));
    EXPECT_EQ(session.GetXSessionKey(), QString());
    EXPECT_EQ(session.XEncode(QStringLiteral("x"), 0), QString());
}

} // namespace
