// CQV: gate address, servlet URLs, the engine calls and what CQV keeps of them.
#include <gtest/gtest.h>

#include "CQV.h"
#include "FakeEngine.h"
#include "TestServer.h"

namespace {

using transporttest::DeployFile;
using transporttest::FakeEngine;

// Opens the protected parts of CQV to the tests.
class OpenCQV : public CQV {
public:
    using CQV::ClearData;
    using CQV::Escape_Cipher;
    QString gateAddress() const { return m_strGateAddr; }
    QString gateHost() const { return m_strGateHost; }
    unsigned firstPort() const { return m_nFirstPort; }
    unsigned secondPort() const { return m_nSecondPort; }
    QString enginePath() const { return m_strEnginePath; }
};

class CQVTest : public ::testing::Test {
protected:
    void SetUp() override { CQV::SetEngineForTesting(&engine); }
    void TearDown() override { CQV::SetEngineForTesting(nullptr); }

    // A session configured the way the shell configures it.
    void configure(OpenCQV& qv)
    {
        qv.SetVgateProp(QStringLiteral("gw.test"), 443u, 8080u);
        qv.SetServerProp(1);
    }

    DeployFile deploy{QStringLiteral("bank.test:8080")};
    FakeEngine engine;
};

TEST_F(CQVTest, EscapeCipherEncodesTheSixReservedCharacters)
{
    OpenCQV qv;
    EXPECT_EQ(qv.Escape_Cipher(QStringLiteral("a+b=c?d&e f%")), QStringLiteral("a%2Bb%3Dc%3Fd%26e%20f%25"));
    EXPECT_EQ(qv.Escape_Cipher(QStringLiteral("x/y")), QStringLiteral("x/y"));
    EXPECT_EQ(qv.Escape_Cipher(QString()), QString());
}

TEST_F(CQVTest, NewSessionIsClear)
{
    OpenCQV qv;
    EXPECT_EQ(qv.gateAddress(), QString());
    EXPECT_EQ(qv.GetServerProp(), QString());
    EXPECT_EQ(qv.enginePath(), QStringLiteral("/off"));
    EXPECT_EQ(qv.GetXSessionKey(), QString());
    EXPECT_EQ(qv.GetLastErrorMsg(), QString());
    EXPECT_FALSE(qv.IsInUsing());
}

TEST_F(CQVTest, GateAddressFromNumericPorts)
{
    OpenCQV qv;
    qv.SetVgateProp(QString(), 443u, 8080u);
    EXPECT_EQ(qv.gateHost(), QStringLiteral("bank.test:8080"));
    EXPECT_EQ(qv.gateAddress(), QStringLiteral("bank.test:8080:443:443"));
    EXPECT_EQ(qv.firstPort(), 443u);
    EXPECT_EQ(qv.secondPort(), 8080u);

    qv.SetVgateProp(QStringLiteral("gw.test"), 9443u, 1u);
    EXPECT_EQ(qv.gateAddress(), QStringLiteral("gw.test:9443:9443"));
}

TEST_F(CQVTest, GateAddressFromTextPorts)
{
    OpenCQV qv;
    qv.SetVgateProp(QStringLiteral("gw.test"), QStringLiteral("443x"), QString());
    EXPECT_EQ(qv.firstPort(), 443u);
    EXPECT_EQ(qv.secondPort(), 0u);
    EXPECT_EQ(qv.gateAddress(), QStringLiteral("gw.test:443:443"));

    qv.SetVgateProp(QStringLiteral("gw.test"), QStringLiteral("abc"), QStringLiteral(" 8080"));
    EXPECT_EQ(qv.firstPort(), 0u);
    EXPECT_EQ(qv.secondPort(), 8080u);
    // The text form takes the host as given, even when empty.
    qv.SetVgateProp(QString(), QStringLiteral("443"), QStringLiteral("8080"));
    EXPECT_EQ(qv.gateHost(), QString());
    EXPECT_EQ(qv.gateAddress(), QStringLiteral(":443:443"));
}

TEST_F(CQVTest, ServletUrlsUseTheBanksServerHost)
{
    OpenCQV qv;
    qv.SetServerProp(1);
    EXPECT_EQ(qv.GetServerProp(), QStringLiteral("http://bank.test:8080/servlet/TvPdaMain"));
    qv.SetServerProp(0);
    EXPECT_EQ(qv.GetServerProp(), QStringLiteral("http://bank.test:8080/servlet/TvPdaNoEnc"));
    qv.SetServerProp(QStringLiteral("http://other/x"));
    EXPECT_EQ(qv.GetServerProp(), QStringLiteral("http://other/x"));
}

TEST_F(CQVTest, XEncodeGivesTheGetUrlAndTheSessionKey)
{
    OpenCQV qv;
    configure(qv);
    engine.cipher = QString(44, u'K') + QStringLiteral("ab+/c=d?e&f g%");
    const QString url = qv.XEncode(QStringLiteral("encrypt=1&trcode=PDA_U002&UserID=kim"), 0);
    EXPECT_EQ(url, QStringLiteral("http://bank.test:8080/servlet/TvPdaMain?q=") + QString(44, u'K')
                       + QStringLiteral("ab%2B/c%3Dd%3Fe%26f%20g%25"));
    EXPECT_EQ(qv.GetXSessionKey(), QString(44, u'K'));
    ASSERT_EQ(engine.count(QStringLiteral("encrypt")), 1);
    EXPECT_EQ(engine.calls[0].args,
              (QStringList{QStringLiteral("gw.test:443:443"), QStringLiteral("/off"),
                           QStringLiteral("encrypt=1&trcode=PDA_U002&UserID=kim"), QStringLiteral("GET")}));

    qv.XEncode(QStringLiteral("x"), 1);
    EXPECT_EQ(engine.calls.back().args[1], QStringLiteral("/on"));
    EXPECT_EQ(qv.enginePath(), QStringLiteral("/on"));
}

TEST_F(CQVTest, XEncodeExGivesTheFormBodyAndKeyOfTheUnescapedCipher)
{
    OpenCQV qv;
    configure(qv);
    engine.cipher = QStringLiteral("AB+/=") + QString(50, u'z');
    EXPECT_EQ(qv.XEncodeEx(QStringLiteral("req"), 0), QStringLiteral("q=AB%2B/%3D") + QString(50, u'z'));
    EXPECT_EQ(qv.GetXSessionKey(), (QStringLiteral("AB+/=") + QString(50, u'z')).left(44));
}

TEST_F(CQVTest, ShortCipherBecomesTheSessionKeyWhole)
{
    OpenCQV qv;
    configure(qv);
    engine.cipher = QStringLiteral("short+cipher");
    EXPECT_FALSE(qv.XEncode(QStringLiteral("req"), 0).isEmpty());
    EXPECT_EQ(qv.GetXSessionKey(), QStringLiteral("short+cipher"));
}

TEST_F(CQVTest, FailureKeepsTheEnginesLastErrorUntilTheNextFailure)
{
    OpenCQV qv;
    configure(qv);
    engine.cipher.clear();
    engine.error = QStringLiteral("세션 키를 만들 수 없습니다.");
    EXPECT_EQ(qv.XEncode(QStringLiteral("req"), 0), QString());
    EXPECT_EQ(qv.GetLastErrorMsg(), engine.error);
    EXPECT_EQ(qv.GetXSessionKey(), QString());
    EXPECT_EQ(qv.XEncodeEx(QStringLiteral("req"), 0), QString());

    engine.cipher = QStringLiteral("OK");
    EXPECT_FALSE(qv.XEncode(QStringLiteral("req"), 0).isEmpty());
    EXPECT_EQ(qv.GetLastErrorMsg(), engine.error); // a success does not clear it

    engine.plain.clear();
    engine.error = QStringLiteral("응답을 해독할 수 없습니다.");
    EXPECT_EQ(qv.XDecode(QStringLiteral("reply")), QString());
    EXPECT_EQ(qv.GetLastErrorMsg(), QStringLiteral("응답을 해독할 수 없습니다."));
}

TEST_F(CQVTest, EngineThatThrowsGivesEmptyAndAKoreanError)
{
    OpenCQV qv;
    configure(qv);
    engine.throwOnCall = true;
    EXPECT_EQ(qv.XEncode(QStringLiteral("req"), 0), QString());
    EXPECT_EQ(qv.GetLastErrorMsg(), QStringLiteral("보안모듈 처리 중 오류가 발생했습니다."));
    EXPECT_FALSE(qv.IsInUsing());
    EXPECT_EQ(qv.XDecode(QStringLiteral("c")), QString());
    EXPECT_EQ(qv.XSignData(QStringLiteral("d"), 1, 3), QString());
    EXPECT_FALSE(qv.IsInUsing());
}

TEST_F(CQVTest, XDecodeHandsTheReplyOverUnchanged)
{
    OpenCQV qv;
    configure(qv);
    engine.plain = QStringLiteral("<DataTag><msg>10000;OK;</msg></DataTag>");
    EXPECT_EQ(qv.XDecode(QStringLiteral("a%2Bb+c")), engine.plain);
    EXPECT_EQ(engine.calls.back().args, (QStringList{QStringLiteral("gw.test:443:443"), QStringLiteral("a%2Bb+c")}));
}

TEST_F(CQVTest, BusyFlagsAreSetOnlyDuringTheirOperation)
{
    OpenCQV qv;
    configure(qv);
    int encodeSeen = -1, decodeSeen = -1, anySeen = -1;
    engine.duringCall = [&] {
        encodeSeen = qv.IsInUsing(1);
        decodeSeen = qv.IsInUsing(0);
        anySeen = qv.IsInUsing();
    };
    qv.XEncode(QStringLiteral("r"), 0);
    EXPECT_EQ(encodeSeen, 1);
    EXPECT_EQ(decodeSeen, 0);
    EXPECT_EQ(anySeen, 1);
    qv.XEncodeEx(QStringLiteral("r"), 0);
    EXPECT_EQ(encodeSeen, 1);
    engine.plain = QStringLiteral("p");
    qv.XDecode(QStringLiteral("c"));
    EXPECT_EQ(encodeSeen, 0);
    EXPECT_EQ(decodeSeen, 1);
    qv.XSignData(QStringLiteral("d"), 1, 3);
    EXPECT_EQ(anySeen, 0); // signing sets neither flag
    EXPECT_FALSE(qv.IsInUsing());
}

TEST_F(CQVTest, XSignDataPassesTheCertificateAuthorityList)
{
    OpenCQV qv;
    configure(qv);
    engine.signature = QStringLiteral("V1.0123456789abcdef.1700000000.sig");
    EXPECT_EQ(qv.XSignData(QStringLiteral("1"), 7, 3), engine.signature);
    const FakeEngine::Call& call = engine.calls.back();
    EXPECT_EQ(call.op, QStringLiteral("sign"));
    EXPECT_EQ(call.args[0], QStringLiteral("gw.test:443:443"));
    EXPECT_EQ(call.args[1], QStringLiteral("yessign,테스트 인증기관,aa,yessignCA-TEST,SignGateFTCA,"
                                           "SignKorea Test CA,SignKorea CA,기업은행 인증기관"));
    EXPECT_EQ(call.args[2], QStringLiteral("1"));
    EXPECT_EQ(call.args[3], QString());
    EXPECT_EQ(call.flag, 1);
    EXPECT_EQ(call.option, 3);
    qv.XSignData(QStringLiteral("1"), 0, 3);
    EXPECT_EQ(engine.calls.back().flag, 0);

    engine.signature.clear();
    engine.error = QStringLiteral("인증서 선택이 취소되었습니다.");
    EXPECT_EQ(qv.XSignData(QStringLiteral("1"), 1, 3), QString());
    EXPECT_EQ(qv.GetLastErrorMsg(), engine.error);
}

TEST_F(CQVTest, NothingReachesTheEngineWithoutAGateAddress)
{
    OpenCQV qv;
    qv.SetServerProp(1);
    EXPECT_EQ(qv.XEncode(QStringLiteral("r"), 0), QString());
    EXPECT_EQ(qv.XEncodeEx(QStringLiteral("r"), 0), QString());
    EXPECT_EQ(qv.XDecode(QStringLiteral("c")), QString());
    EXPECT_EQ(qv.XSignData(QStringLiteral("d"), 1, 3), QString());
    EXPECT_TRUE(engine.calls.empty());
    // The engine was never created: closing does nothing.
    EXPECT_EQ(qv.CloseSession(), 0);
    EXPECT_TRUE(engine.calls.empty());
}

TEST_F(CQVTest, CloseSessionBeforeAnyEncryptionKeepsTheSession)
{
    OpenCQV qv;
    configure(qv);
    EXPECT_EQ(qv.CloseSession(), 0);
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_EQ(qv.gateAddress(), QStringLiteral("gw.test:443:443"));
    EXPECT_FALSE(qv.XEncode(QStringLiteral("r"), 0).isEmpty());
}

TEST_F(CQVTest, SuccessfulCloseClearsTheSession)
{
    OpenCQV qv;
    configure(qv);
    engine.cipher = QString(50, u'A');
    ASSERT_FALSE(qv.XEncode(QStringLiteral("r"), 1).isEmpty());
    EXPECT_EQ(qv.CloseSession(), 0);
    EXPECT_EQ(engine.calls.back().op, QStringLiteral("endSession"));
    EXPECT_EQ(engine.calls.back().args, QStringList{QStringLiteral("gw.test:443:443")});
    EXPECT_EQ(qv.gateAddress(), QString());
    EXPECT_EQ(qv.GetServerProp(), QString());
    EXPECT_EQ(qv.GetXSessionKey(), QString());
    EXPECT_EQ(qv.enginePath(), QStringLiteral("/off"));

    const size_t callsBefore = engine.calls.size();
    EXPECT_EQ(qv.XEncode(QStringLiteral("r"), 0), QString());
    EXPECT_EQ(qv.XDecode(QStringLiteral("c")), QString());
    EXPECT_EQ(qv.XSignData(QStringLiteral("d"), 1, 3), QString());
    EXPECT_EQ(engine.calls.size(), callsBefore);

    qv.SetVgateProp(QStringLiteral("gw.test"), 443u, 8080u);
    EXPECT_FALSE(qv.XEncode(QStringLiteral("r"), 0).isEmpty());
}

TEST_F(CQVTest, FailedCloseKeepsTheSession)
{
    OpenCQV qv;
    configure(qv);
    ASSERT_FALSE(qv.XEncode(QStringLiteral("r"), 0).isEmpty());
    engine.endStatus = 7;
    EXPECT_EQ(qv.CloseSession(), 7);
    EXPECT_EQ(qv.gateAddress(), QStringLiteral("gw.test:443:443"));
    EXPECT_EQ(qv.GetXSessionKey(), QStringLiteral("CIPHER"));
}

TEST_F(CQVTest, OneEngineServesEverySession)
{
    OpenCQV a;
    OpenCQV b;
    configure(a);
    b.SetVgateProp(QStringLiteral("other"), 1u, 2u);
    a.XEncode(QStringLiteral("1"), 0);
    ASSERT_EQ(engine.count(QStringLiteral("encrypt")), 1);
    EXPECT_EQ(engine.calls[0].args[0], QStringLiteral("gw.test:443:443"));
    // b never encrypted, but the engine exists in the process: b's close reaches it.
    EXPECT_EQ(b.CloseSession(), 0);
    EXPECT_EQ(engine.calls.back().op, QStringLiteral("endSession"));
    EXPECT_EQ(engine.calls.back().args[0], QStringLiteral("other:1:1"));
    EXPECT_EQ(b.gateAddress(), QString());
    EXPECT_EQ(a.gateAddress(), QStringLiteral("gw.test:443:443"));
}

} // namespace
