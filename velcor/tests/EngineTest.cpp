// The Velcor engine as HttpVelcor sees it, against a gateway in the same process.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QRegularExpression>

#include "Gateway.h"
#include "IVelcorEngine.h"
#include "TestSupport.h"

using namespace velcor;
using velcortest::DeployFile;

namespace {

class EngineTest : public testing::Test {
protected:
    GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway{keys};
    DeployFile deploy{QStringLiteral("127.0.0.1:9"), QString::fromStdString(keys.publicKeyBase64())};
    IVelcorEngine* engine = velcor_engine_instance();
    QString gate = velcortest::uniqueGateAddress();

    // One request through the gateway and back; returns the plain reply.
    QString roundTrip(const QString& path, const QString& request, const QString& envelope, OpenedRequest* seen = nullptr)
    {
        const QString cipher = engine->encrypt(gate, path, request, QStringLiteral("GET"));
        EXPECT_FALSE(cipher.isEmpty()) << engine->lastError().toStdString();
        const OpenResult opened = gateway.open(cipher.toStdString());
        EXPECT_TRUE(opened.ok) << opened.reason;
        if (seen)
            *seen = opened.opened;
        return engine->decrypt(gate, QString::fromStdString(gateway.seal(opened.opened, envelope.toStdString())));
    }
};

} // namespace

TEST_F(EngineTest, RoundTripWithTheSessionKeyInFront)
{
    ASSERT_NE(engine, nullptr);
    const QString request = QStringLiteral("encrypt=1&trcode=PDA_T001&UserID=kim&Sender=홍길동&TranMny=10000");
    const QString cipher = engine->encrypt(gate, QStringLiteral("/off"), request, QStringLiteral("GET"));
    ASSERT_GT(cipher.size(), 44);
    static const QRegularExpression base64(QStringLiteral("^[A-Za-z0-9+/=]+$"));
    EXPECT_TRUE(base64.match(cipher).hasMatch());

    const OpenResult opened = gateway.open(cipher.toStdString());
    ASSERT_TRUE(opened.ok) << opened.reason;
    EXPECT_EQ(QString::fromStdString(opened.opened.sessionKey), cipher.left(44));
    EXPECT_EQ(QString::fromUtf8(opened.opened.request), request);
    EXPECT_FALSE(opened.opened.pathOn);

    const QString envelope = QStringLiteral("<DataTag><msg>10000;정상 처리되었습니다;</msg><free0>김철수;</free0></DataTag>");
    EXPECT_EQ(engine->decrypt(gate, QString::fromStdString(gateway.seal(opened.opened, envelope.toStdString()))),
              envelope);

    // The next request of the gate address: same session, next counter, "/on".
    OpenedRequest second;
    EXPECT_EQ(roundTrip(QStringLiteral("/on"), QStringLiteral("x=1"), QStringLiteral("ok"), &second),
              QStringLiteral("ok"));
    EXPECT_EQ(QString::fromStdString(second.sessionKey), cipher.left(44));
    EXPECT_EQ(second.counter, opened.opened.counter + 1);
    EXPECT_TRUE(second.pathOn);

    // Another gate address has its own session.
    const QString other = engine->encrypt(velcortest::uniqueGateAddress(), QStringLiteral("/off"), request,
                                          QStringLiteral("GET"));
    EXPECT_NE(other.left(44), cipher.left(44));
}

TEST_F(EngineTest, RepliesForOtherRequestsOrSessionsAreRefused)
{
    const QString first = engine->encrypt(gate, QStringLiteral("/off"), QStringLiteral("first"), QStringLiteral("GET"));
    const OpenResult firstOpened = gateway.open(first.toStdString());
    ASSERT_TRUE(firstOpened.ok);
    const QString oldReply = QString::fromStdString(gateway.seal(firstOpened.opened, "old"));
    EXPECT_EQ(engine->decrypt(gate, oldReply), QStringLiteral("old"));

    // The same reply again (a replay) and after the next request: refused.
    EXPECT_TRUE(engine->decrypt(gate, oldReply).isEmpty());
    EXPECT_FALSE(engine->lastError().isEmpty());
    const QString second = engine->encrypt(gate, QStringLiteral("/off"), QStringLiteral("second"), QStringLiteral("GET"));
    const OpenResult secondOpened = gateway.open(second.toStdString());
    ASSERT_TRUE(secondOpened.ok);
    EXPECT_TRUE(engine->decrypt(gate, oldReply).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("응답 복호화에 실패했습니다"));

    // A reply meant for another gate address's session.
    const QString otherGate = velcortest::uniqueGateAddress();
    const OpenResult otherOpened = gateway.open(
        engine->encrypt(otherGate, QStringLiteral("/off"), QStringLiteral("second"), QStringLiteral("GET")).toStdString());
    ASSERT_TRUE(otherOpened.ok);
    EXPECT_TRUE(engine->decrypt(gate, QString::fromStdString(gateway.seal(otherOpened.opened, "theirs"))).isEmpty());

    // A tampered reply, a refusal text and rubbish.
    QString tampered = QString::fromStdString(gateway.seal(secondOpened.opened, "mine"));
    tampered[10] = tampered[10] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    EXPECT_TRUE(engine->decrypt(gate, tampered).isEmpty());
    EXPECT_TRUE(engine->decrypt(gate, QStringLiteral("Error:요청을 복호화할 수 없습니다")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("응답 형식이 올바르지 않습니다"));
    EXPECT_TRUE(engine->decrypt(gate, QString()).isEmpty());
    // The genuine reply still opens (trailing line end tolerated).
    EXPECT_EQ(engine->decrypt(gate, QString::fromStdString(gateway.seal(secondOpened.opened, "mine")) + "\r\n"),
              QStringLiteral("mine"));
}

TEST_F(EngineTest, FailuresGiveEmptyResultsAndKoreanErrors)
{
    EXPECT_TRUE(engine->encrypt(QString(), QStringLiteral("/off"), QStringLiteral("x"), QStringLiteral("GET")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("게이트 주소가 없습니다"));
    EXPECT_TRUE(engine->encrypt(gate, QStringLiteral("/maybe"), QStringLiteral("x"), QStringLiteral("GET")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("엔진 경로가 올바르지 않습니다"));
    EXPECT_TRUE(engine->decrypt(velcortest::uniqueGateAddress(), QStringLiteral("AAAA")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("보안 세션이 없습니다"));
    // A request too long for the gateway is refused by the engine already.
    EXPECT_TRUE(engine->encrypt(gate, QStringLiteral("/off"), QString(300 * 1024, QLatin1Char('a')), QStringLiteral("GET"))
                    .isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("요청이 너무 깁니다"));
    {
        DeployFile noKey(QStringLiteral("127.0.0.1:9"), QString());
        EXPECT_TRUE(engine->encrypt(velcortest::uniqueGateAddress(), QStringLiteral("/off"), QStringLiteral("x"),
                                    QStringLiteral("GET"))
                        .isEmpty());
        EXPECT_EQ(engine->lastError(), QStringLiteral("게이트웨이 공개키가 설정되지 않았습니다"));
    }
    {
        DeployFile badKey(QStringLiteral("127.0.0.1:9"), QStringLiteral("bm90IGEga2V5"));
        EXPECT_TRUE(engine->encrypt(velcortest::uniqueGateAddress(), QStringLiteral("/off"), QStringLiteral("x"),
                                    QStringLiteral("GET"))
                        .isEmpty());
        EXPECT_EQ(engine->lastError(), QStringLiteral("게이트웨이 공개키가 올바르지 않습니다"));
    }
    // The failures did not disturb the working session.
    EXPECT_EQ(roundTrip(QStringLiteral("/off"), QStringLiteral("x"), QStringLiteral("y")), QStringLiteral("y"));
}

TEST_F(EngineTest, TransportFindsTheFactoryInTheProgramFolder)
{
    const QByteArray bin = qgetenv("TVPB_BIN");
    ASSERT_FALSE(bin.isEmpty());
    void* lib = dlopen((bin + "/" + kVelcorLibraryName).constData(), RTLD_NOW);
    ASSERT_NE(lib, nullptr) << dlerror();
    using Factory = IVelcorEngine* (*)();
    auto factory = reinterpret_cast<Factory>(dlsym(lib, kVelcorFactorySymbol));
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory(), engine); // one engine per process
    // Nothing but the factory is exported.
    EXPECT_EQ(dlsym(lib, "_ZN6velcor12VelcorEngineC1Ev"), nullptr);
    dlclose(lib);
}

TEST_F(EngineTest, ANewGatewayKeyForTheSameAddressStartsANewSession)
{
    EXPECT_EQ(roundTrip(QStringLiteral("/off"), QStringLiteral("before"), QStringLiteral("one")), QStringLiteral("one"));

    // Another bank on the same address (a restart with a new key, or a port
    // used again): deploy.ini pins its key, and requests go to it readably.
    const GatewayKeyPair newKeys = generateGatewayKeyPair();
    Gateway newGateway{newKeys};
    {
        DeployFile newDeploy{QStringLiteral("127.0.0.1:9"), QString::fromStdString(newKeys.publicKeyBase64())};
        const QString cipher = engine->encrypt(gate, QStringLiteral("/off"), QStringLiteral("after"), QStringLiteral("GET"));
        ASSERT_FALSE(cipher.isEmpty()) << engine->lastError().toStdString();
        const OpenResult opened = newGateway.open(cipher.toStdString());
        ASSERT_TRUE(opened.ok) << opened.reason;
        EXPECT_EQ(QString::fromUtf8(opened.opened.request), QStringLiteral("after"));
        EXPECT_EQ(engine->decrypt(gate, QString::fromStdString(newGateway.seal(opened.opened, "two"))),
                  QStringLiteral("two"));
        EXPECT_FALSE(gateway.open(cipher.toStdString()).ok); // sealed for the new bank only
    }
    // Back on the first key: a session of its own again.
    EXPECT_EQ(roundTrip(QStringLiteral("/off"), QStringLiteral("again"), QStringLiteral("three")),
              QStringLiteral("three"));
}
