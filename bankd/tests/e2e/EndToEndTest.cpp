// The client transport (CQV, CQVParser, CQD with the real Velcor engine)
// against an in-process bankd on a loopback port.
#include <gtest/gtest.h>

#include <QString>
#include <cstdlib>

#include "AccessLog.h"
#include "Admin.h"
#include "BankServer.h"
#include "CQD.h"
#include "CQV.h"
#include "CQVParser.h"
#include "DeployIni.h"
#include "Deploy.h"
#include "ResultCodes.h"
#include "TestBank.h"
#include "velcor/ClientChannel.h"
#include "velcor/Gateway.h"
#include "velcor/GatewayKeys.h"

using namespace bankd;
using namespace bankd::test;

namespace {

QString freshGate()
{
    static int n = 0;
    return QStringLiteral("e2e-gate-%1").arg(++n);
}

class EndToEnd : public ::testing::Test {
protected:
    EndToEnd() : keys(velcor::generateGatewayKeyPair()), gateway(keys), log(bank.dir.str("access.log"), bank.clock)
    {
        bank.dispatcher.add({"TEST_WHO", true, false, [](RequestContext& ctx) {
                                 return Envelope::ok().free0({ctx.user});
                             }});
        admin::addCustomer(*bank.store, {"DEMOS", "김민준", "8503151234567", "S", "N"}, "1111");
        bank.addCustomer("OTHER", "2222");
        bank.addNotices(12);
        ServerOptions o;
        o.threads = 4;
        server = std::make_unique<BankServer>(bank.dispatcher, gateway, log, o);
        server->start();
        host = "127.0.0.1:" + std::to_string(server->port());
        writeDeployIni(bank.dir.str("deploy.ini"), {host, keys.publicKeyBase64(), host, {}});
        setenv("TVPB_DEPLOY", bank.dir.str("deploy.ini").c_str(), 1);
        platform::Deploy::reload();
        CQV::SetEngineForTesting(nullptr);
        session.SetVgateProp(freshGate(), 443u, 8080u);
    }
    ~EndToEnd() override { unsetenv("TVPB_DEPLOY"); }

    // The client's calling order: TransData, GetDataTag, GetMsgTag.
    bool trans(const QString& request, QString* data, QString* code, QString* msg)
    {
        CQVParser parser(&session);
        QString reply;
        if (!parser.TransData(request, reply, 1, 0)) {
            *code = reply;
            return false;
        }
        if (!parser.GetDataTag(reply, *data)) {
            *code = QStringLiteral("no DataTag");
            return false;
        }
        return parser.GetMsgTag(*data, *code, *msg);
    }

    TestBank bank;
    velcor::GatewayKeyPair keys;
    velcor::Gateway gateway;
    AccessLog log;
    std::unique_ptr<BankServer> server;
    std::string host;
    CQV session;
};

} // namespace

TEST_F(EndToEnd, LoginFillsTheUserRecordFieldsAndBindsTheSession)
{
    QString data, code, msg;
    ASSERT_TRUE(trans(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=1111"), &data, &code, &msg))
        << code.toStdString() << " " << msg.toStdString();
    CQVParser p(&session);
    const QString bar = QStringLiteral("|");
    EXPECT_EQ(p.GetTagValue(data, QStringLiteral("free0"), 1, 1, bar), QStringLiteral("8503151234567"));
    EXPECT_EQ(p.GetTagValue(data, QStringLiteral("free0"), 2, 1, bar), QStringLiteral("S"));
    EXPECT_EQ(p.GetTagValue(data, QStringLiteral("free0"), 3, 1, bar), QStringLiteral("김민준"));
    EXPECT_EQ(p.GetTagValue(data, QStringLiteral("free0"), 4, 1, bar), QStringLiteral("N"));
    EXPECT_EQ(bank.sessions.userOf(session.GetXSessionKey().toStdString()), "DEMOS");

    ASSERT_TRUE(trans(QStringLiteral("encrypt=1&trcode=TEST_WHO&UserID=DEMOS"), &data, &code, &msg));
    EXPECT_FALSE(trans(QStringLiteral("encrypt=1&trcode=TEST_WHO&UserID=OTHER"), &data, &code, &msg));
    EXPECT_EQ(code, QStringLiteral("BIZ06"));
    EXPECT_EQ(msg, QString::fromUtf8(result::kSessionText));
}

TEST_F(EndToEnd, RefusedLoginShowsTheBanksCodeAndKoreanText)
{
    QString data, code, msg;
    EXPECT_FALSE(trans(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=9999"), &data, &code, &msg));
    EXPECT_EQ(code, QString::fromUtf8(result::kLoginFailed));
    EXPECT_TRUE(msg.startsWith(QString::fromUtf8(result::kLoginFailedText))) << msg.toStdString();
}

TEST_F(EndToEnd, OpenPathNoticesAndTimeThroughTheDownloadObject)
{
    CQD cqd;
    const QString base = QStringLiteral("http://%1/servlet/TvPdaNoEnc").arg(QString::fromStdString(host));
    QString list = cqd.DownloadData(base + QStringLiteral("?trcode=PDA_U003&Num=0"));
    CQVParser p(&session);
    QString data, code, msg;
    ASSERT_TRUE(p.GetDataTag(list, data)) << list.toStdString();
    ASSERT_TRUE(p.GetMsgTag(data, code, msg));
    const QString bar = QStringLiteral("|");
    EXPECT_EQ(p.GetTagValue(data, QStringLiteral("list0"), 3, 1, bar), QStringLiteral("공지 12"));
    EXPECT_EQ(p.GetTagValue(data, QStringLiteral("free0"), 1, 1, bar), QStringLiteral("0"));
    QString time = cqd.DownloadData(base + QStringLiteral("?trcode=PDA_T003"));
    EXPECT_TRUE(time.contains(QStringLiteral("<free0>20241105;143210;</free0>"))) << time.toStdString();
}

TEST_F(EndToEnd, ClosingTheSessionEndsItAtTheBank)
{
    QString data, code, msg;
    ASSERT_TRUE(trans(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=1111"), &data, &code, &msg));
    const std::string key = session.GetXSessionKey().toStdString();
    EXPECT_EQ(session.CloseSession(), 0);
    EXPECT_FALSE(gateway.hasSession(key));
    EXPECT_FALSE(bank.sessions.userOf(key));
}

TEST_F(EndToEnd, AClientClockNineHoursOffTakesTheGatewaysTimeAndCarriesOn)
{
    // The gateway's clock is nine hours ahead of this machine's: the first
    // request is refused for its time, the engine takes the gateway's time
    // from the refusal and the transport sends a fresh request once.
    gateway.setWallClock([] { return velcor::ClientChannel::systemTime() + 9 * 3600; });
    QString data, code, msg;
    ASSERT_TRUE(trans(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=1111"), &data, &code, &msg))
        << code.toStdString() << " " << msg.toStdString();
    EXPECT_TRUE(trans(QStringLiteral("encrypt=1&trcode=TEST_WHO&UserID=DEMOS"), &data, &code, &msg));
    EXPECT_EQ(gateway.sessionCount(), 1u);
    // Back to this machine's time: corrected again, still the same session.
    gateway.setWallClock({});
    EXPECT_TRUE(trans(QStringLiteral("encrypt=1&trcode=TEST_WHO&UserID=DEMOS"), &data, &code, &msg));
}

TEST_F(EndToEnd, ASessionTheBankNoLongerHasIsReplacedAndTheLoginWorksAgain)
{
    QString data, code, msg;
    ASSERT_TRUE(trans(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=1111"), &data, &code, &msg));
    const std::string before = session.GetXSessionKey().toStdString();
    // What a restart leaves: the key refused, the login gone.
    gateway.refuseForGood({before});
    bank.sessions.forget(before);

    // The next request goes out on a new session, which has no login yet.
    EXPECT_FALSE(trans(QStringLiteral("encrypt=1&trcode=TEST_WHO&UserID=DEMOS"), &data, &code, &msg));
    EXPECT_EQ(code, QStringLiteral("BIZ06"));
    EXPECT_NE(session.GetXSessionKey().toStdString(), before);
    ASSERT_TRUE(trans(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=1111"), &data, &code, &msg));
    EXPECT_TRUE(trans(QStringLiteral("encrypt=1&trcode=TEST_WHO&UserID=DEMOS"), &data, &code, &msg));
}
