// Ending the gateway session over HTTP: the engine's one network call.
#include <gtest/gtest.h>

#include "CodePage949.h"

#include "Gateway.h"
#include "IVelcorEngine.h"
#include "TestSupport.h"

using namespace velcor;
using velcortest::DeployFile;
using velcortest::EndSessionServer;

namespace {

class EngineEndSessionTest : public testing::Test {
protected:
    QString encrypt(const QString& request)
    {
        return engine->encrypt(gate, QStringLiteral("/off"), request, QStringLiteral("GET"));
    }

    GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway{keys};
    EndSessionServer server{gateway};
    DeployFile deploy{server.host(), QString::fromStdString(keys.publicKeyBase64())};
    IVelcorEngine* engine = velcor_engine_instance();
    QString gate = velcortest::uniqueGateAddress();
};

} // namespace

TEST_F(EngineEndSessionTest, EndedSessionIsForgottenOnBothSides)
{
    const QString first = encrypt(QStringLiteral("login"));
    ASSERT_TRUE(gateway.open(first.toStdString()).ok);
    const QString unsent = encrypt(QStringLiteral("made before the end"));
    ASSERT_TRUE(gateway.hasSession(first.left(44).toStdString()));

    EXPECT_EQ(engine->endSession(gate), 0) << engine->lastError().toStdString();
    EXPECT_EQ(server.calls(), 1);
    EXPECT_FALSE(gateway.hasSession(first.left(44).toStdString()));

    // Anything of the old session is refused; the next request starts a new one.
    const OpenResult reuse = gateway.open(unsent.toStdString());
    EXPECT_FALSE(reuse.ok);
    EXPECT_EQ(reuse.reason, "종료된 세션입니다");
    const QString fresh = encrypt(QStringLiteral("again"));
    EXPECT_NE(fresh.left(44), first.left(44));
    EXPECT_TRUE(gateway.open(fresh.toStdString()).ok);
}

TEST_F(EngineEndSessionTest, NothingToEndSendsNothing)
{
    EXPECT_EQ(engine->endSession(gate), 0);
    EXPECT_EQ(server.calls(), 0);
    EXPECT_NE(engine->endSession(QString()), 0);
    EXPECT_EQ(engine->lastError(), QStringLiteral("게이트 주소가 없습니다"));
}

TEST_F(EngineEndSessionTest, RefusedOrUnreachableKeepsTheSession)
{
    const QString first = encrypt(QStringLiteral("login"));
    ASSERT_TRUE(gateway.open(first.toStdString()).ok);

    {
        DeployFile nowhere(QStringLiteral("127.0.0.1:%1").arg(velcortest::closedPort()),
                           QString::fromStdString(keys.publicKeyBase64()));
        EXPECT_NE(engine->endSession(gate), 0);
        EXPECT_EQ(engine->lastError(), QStringLiteral("게이트웨이에 연결할 수 없습니다"));
    }
    {
        EndSessionServer liar([](const std::string&) { return std::pair<int, std::string>{200, "SESSION-ENDED"}; });
        DeployFile toLiar(liar.host(), QString::fromStdString(keys.publicKeyBase64()));
        EXPECT_NE(engine->endSession(gate), 0);
        EXPECT_EQ(liar.calls(), 1);
        EXPECT_EQ(engine->lastError(), QStringLiteral("세션 종료 응답이 올바르지 않습니다"));
    }
    {
        // Another refusal (sent in code page 949, as bankd does): its reason
        // comes through and the session is kept.
        EndSessionServer refusing([](const std::string&) {
            return std::pair<int, std::string>{400, cp949::fromUtf8("Error:요청을 복호화할 수 없습니다")};
        });
        DeployFile toRefusing(refusing.host(), QString::fromStdString(keys.publicKeyBase64()));
        EXPECT_EQ(engine->endSession(gate), 3);
        EXPECT_EQ(engine->lastError(), QStringLiteral("요청을 복호화할 수 없습니다"));
    }
    // Still the same session, still working with the gateway.
    const QString next = encrypt(QStringLiteral("next"));
    EXPECT_EQ(next.left(44), first.left(44));
    EXPECT_TRUE(gateway.open(next.toStdString()).ok);

    // The gateway says the session is over (the bank restarted or ended it):
    // that ends it here too, and the next request opens a new session.
    gateway.forget(first.left(44).toStdString());
    EXPECT_EQ(engine->endSession(gate), 0);
    const QString renewed = encrypt(QStringLiteral("login again"));
    EXPECT_NE(renewed.left(44), first.left(44));
    EXPECT_TRUE(gateway.open(renewed.toStdString()).ok);
    {
        DeployFile noHost(QString(), QString::fromStdString(keys.publicKeyBase64()));
        EXPECT_NE(engine->endSession(gate), 0);
        EXPECT_EQ(engine->lastError(), QStringLiteral("서버 주소가 설정되지 않았습니다"));
    }
}
