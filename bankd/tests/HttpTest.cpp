// The server over real HTTP on a loopback port, with the client half of the
// secure channel playing the client.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <httplib.h>

#include "AccessLog.h"
#include "BankServer.h"
#include "CodePage949.h"
#include "EnvelopeReader.h"
#include "ResultCodes.h"
#include "TestBank.h"
#include "VersionInfo.h"
#include "velcor/ClientChannel.h"
#include "velcor/Gateway.h"
#include "velcor/GatewayKeys.h"

using namespace bankd;
using namespace bankd::test;

namespace {

// The client's escaping of a cipher text for "q=".
std::string escapeCipher(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case ' ': out += "%20"; break;
        case '%': out += "%25"; break;
        case '&': out += "%26"; break;
        case '+': out += "%2B"; break;
        case '=': out += "%3D"; break;
        case '?': out += "%3F"; break;
        default: out += c;
        }
    }
    return out;
}

class HttpFixture : public ::testing::Test {
protected:
    HttpFixture()
        : bank(limitedConfig()), keys(velcor::generateGatewayKeyPair()), gateway(keys),
          log(bank.dir.str("access.log"), bank.clock)
    {
        std::filesystem::create_directories(bank.dir.str("download"));
        std::ofstream(bank.dir.str("download/TavrinPdaBanking")) << "program bytes";
        writeVersionInfo(bank.dir.str("download/TVPB_Version.info"), {{"TavrinPdaBanking", "1.0.0.2"}},
                         velcor::generateUpdateKeyPair());
        bank.dispatcher.add({"TEST_WHO", true, false, [](RequestContext& ctx) {
                                 return Envelope::ok().free0({ctx.user});
                             }});
        bank.addCustomer("ALICE", "PW1");
        bank.addNotices(3);
        ServerOptions o;
        o.threads = 4;
        o.downloadDir = bank.dir.str("download");
        server = std::make_unique<BankServer>(bank.dispatcher, gateway, log, o);
        server->start();
        http = std::make_unique<httplib::Client>("127.0.0.1", server->port());
    }

    std::unique_ptr<velcor::ClientChannel> channel()
    {
        auto c = std::make_unique<velcor::ClientChannel>(keys.publicKey);
        EXPECT_TRUE(c->valid());
        return c;
    }

    // One encrypted exchange; returns the opened envelope or the raw refusal.
    std::string exchange(velcor::ClientChannel& c, const std::string& request, bool post = false)
    {
        std::string cipher = c.sealRequest(false, request);
        httplib::Result r = post ? http->Post("/servlet/TvPdaMain", "q=" + escapeCipher(cipher),
                                              "application/x-www-form-urlencoded")
                                 : http->Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher));
        if (!r)
            return "no answer";
        auto plain = c.openReply(r->body);
        return plain ? *plain : "RAW:" + r->body;
    }

    // Login-free requests per client address: more than any test here sends,
    // except the one that runs into it.
    static constexpr int kPerAddress = 12;
    static BankConfig limitedConfig()
    {
        BankConfig c;
        c.rateLimits.perAddress = kPerAddress;
        return c;
    }

    TestBank bank;
    velcor::GatewayKeyPair keys;
    velcor::Gateway gateway;
    AccessLog log;
    std::unique_ptr<BankServer> server;
    std::unique_ptr<httplib::Client> http;
};

} // namespace

TEST_F(HttpFixture, EncryptedLoginByGetBindsTheSession)
{
    auto c = channel();
    std::string env = exchange(*c, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1");
    EXPECT_EQ(msgCode(env), "10000");
    EXPECT_EQ(tagValue(xParse(env, "DataTag"), "free0", 3), "홍길동");
    EXPECT_EQ(bank.sessions.userOf(c->sessionKey()), "ALICE");
}

TEST_F(HttpFixture, SignedPathByFormPostReachesSessionTransactions)
{
    auto c = channel();
    ASSERT_EQ(msgCode(exchange(*c, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1", true)), "10000");
    std::string env = exchange(*c, "encrypt=1&trcode=TEST_WHO&UserID=ALICE", true);
    EXPECT_EQ(msgCode(env), "10000");
    EXPECT_EQ(tagValue(xParse(env, "DataTag"), "free0", 1), "ALICE");
}

TEST_F(HttpFixture, LoginFreeRequestsAreCountedByTheClientsAddress)
{
    // Each from a fresh session, each about another cheque: only the address
    // they share holds them back.
    for (int i = 0; i < kPerAddress; ++i) {
        auto c = channel();
        std::string env = exchange(*c, "useSess=N&encrypt=1&trcode=PDA_S003&BankCD=20&PublShopNO=0123&CheckNO=" +
                                           std::to_string(70000000 + i) + "&CheckKind=50&CheckMny=1000");
        EXPECT_EQ(msgCode(env), result::kUnknownCheque) << i;
    }
    auto c = channel();
    std::string env = exchange(*c, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1");
    EXPECT_EQ(msgCode(env), result::kTooMany);
    EXPECT_EQ(msgText(env), result::kTooManyText);
    EXPECT_FALSE(bank.sessions.userOf(c->sessionKey()));
}

TEST_F(HttpFixture, AnotherSessionNamingTheUserGetsBiz06)
{
    auto alice = channel();
    ASSERT_EQ(msgCode(exchange(*alice, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1")), "10000");
    auto intruder = channel();
    std::string env = exchange(*intruder, "encrypt=1&trcode=TEST_WHO&UserID=ALICE");
    EXPECT_EQ(msgCode(env), "BIZ06");
    EXPECT_EQ(msgText(env), result::kSessionText);
}

TEST_F(HttpFixture, EndedSessionIsForgottenAndItsKeyRefused)
{
    auto c = channel();
    ASSERT_EQ(msgCode(exchange(*c, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1")), "10000");
    auto r = http->Post("/gateway/end", c->sealEndSession(), "text/plain");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_TRUE(c->openEndAck(r->body));
    EXPECT_FALSE(bank.sessions.userOf(c->sessionKey()));
    std::string after = exchange(*c, "encrypt=1&trcode=TEST_WHO&UserID=ALICE");
    EXPECT_EQ(after.rfind("RAW:Error:", 0), 0u) << after;
}

TEST_F(HttpFixture, AFloodOfSessionsThatNeverLogInStopsNoLoginFromTheSameAddress)
{
    gateway.setMaxSessions(80);
    gateway.setAnonymousLimits(60, 25, std::chrono::seconds(120));
    auto alice = channel();
    ASSERT_EQ(msgCode(exchange(*alice, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1")), "10000");

    // Sessions from this test's own address that never log in, far more than
    // the table holds.
    for (int i = 0; i < 300; ++i) {
        auto flood = channel();
        ASSERT_EQ(msgCode(exchange(*flood, "encrypt=1&trcode=TEST_WHO&UserID=ALICE")), "BIZ06") << i;
    }
    EXPECT_LE(gateway.anonymousCount(), 25u);
    EXPECT_LE(gateway.sessionCount(), 26u);
    // The login made before the flood goes on; a new login from the same
    // address gets its session, and so does its next request.
    EXPECT_EQ(msgCode(exchange(*alice, "encrypt=1&trcode=TEST_WHO&UserID=ALICE")), "10000");
    auto again = channel();
    EXPECT_EQ(msgCode(exchange(*again, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1")), "10000");
    for (int i = 0; i < 100; ++i)
        exchange(*channel(), "encrypt=1&trcode=TEST_WHO&UserID=ALICE");
    EXPECT_EQ(msgCode(exchange(*again, "encrypt=1&trcode=TEST_WHO&UserID=ALICE")), "10000");
    EXPECT_EQ(msgCode(exchange(*alice, "encrypt=1&trcode=TEST_WHO&UserID=ALICE")), "10000");
}

TEST_F(HttpFixture, ARequestWithAWrongTimeIsRefusedWithTheGatewaysSealedTime)
{
    gateway.setWallClock([] { return velcor::ClientChannel::systemTime() - 3600; });  // the client is an hour fast
    auto c = channel();
    std::string cipher = c->sealRequest(false, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1");
    httplib::Result r = http->Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 400);
    const std::string body = cp949::toUtf8(r->body);
    const std::string first = "Error:요청 시각이 서버 시각과 맞지 않습니다\nClock:";
    ASSERT_EQ(body.substr(0, first.size()), first) << body;
    const auto gatewayTime = c->openClockNotice(body.substr(first.size()));
    ASSERT_TRUE(gatewayTime);
    EXPECT_FALSE(bank.sessions.userOf(c->sessionKey()));  // the login did not run

    c->setClockOffset(*gatewayTime - velcor::ClientChannel::systemTime());
    EXPECT_EQ(msgCode(exchange(*c, "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1")), "10000");
    EXPECT_EQ(msgCode(exchange(*c, "encrypt=1&trcode=TEST_WHO&UserID=ALICE")), "10000");
}

TEST_F(HttpFixture, ReplayedAndGarbageRequestsGetAnErrorTextInCodePage949)
{
    auto c = channel();
    std::string cipher = c->sealRequest(false, "trcode=PDA_T003");
    auto first = http->Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher));
    ASSERT_TRUE(first);
    EXPECT_TRUE(c->openReply(first->body));
    auto replay = http->Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher));
    ASSERT_TRUE(replay);
    EXPECT_EQ(replay->body.rfind("Error:", 0), 0u);
    auto garbage = http->Get("/servlet/TvPdaMain?q=%3D%3D%3Dnot-a-cipher");
    ASSERT_TRUE(garbage);
    EXPECT_EQ(garbage->status, 400);
    auto text = cp949::toUtf8Strict(garbage->body);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind("Error:", 0), 0u);
    EXPECT_GT(text->size(), 6u);
    EXPECT_FALSE(cp949::isValidUtf8(garbage->body) && garbage->body != *text);  // Korean went out as CP949
    auto empty = http->Get("/servlet/TvPdaMain");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->body.rfind("Error:", 0), 0u);
}

TEST_F(HttpFixture, UnknownTrcodeIsASealedRefusal)
{
    auto c = channel();
    std::string env = exchange(*c, "encrypt=1&trcode=PDA_Z999&UserID=ALICE");
    EXPECT_EQ(msgCode(env), result::kUnknownTrcode);
}

TEST_F(HttpFixture, PlainServletAnswersInCodePage949)
{
    auto r = http->Get("/servlet/TvPdaNoEnc?trcode=PDA_U003&Num=0");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_NE(r->body.find(cp949::fromUtf8("공지 3")), std::string::npos);
    EXPECT_EQ(r->body.find("공지 3"), std::string::npos);  // not UTF-8
    auto text = cp949::toUtf8Strict(r->body);
    ASSERT_TRUE(text);
    EXPECT_EQ(tagValue(xParse(*text, "DataTag"), "list0", 3, 1), "공지 3");
    auto t = http->Get("/servlet/TvPdaNoEnc?trcode=PDA_T003");
    ASSERT_TRUE(t);
    EXPECT_EQ(xParse(t->body, "free0"), "20241105;143210;");
    auto login = http->Get("/servlet/TvPdaNoEnc?useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1");
    ASSERT_TRUE(login);
    EXPECT_EQ(msgCode(*cp949::toUtf8Strict(login->body)), result::kWrongRoute);
    auto post = http->Post("/servlet/TvPdaNoEnc", "trcode=PDA_U004&Num=2", "application/x-www-form-urlencoded");
    ASSERT_TRUE(post);
    EXPECT_EQ(msgCode(*cp949::toUtf8Strict(post->body)), "10000");
}

TEST_F(HttpFixture, DownloadFolderServesItsFilesAndNothingElse)
{
    auto r = http->Get("/download/compaq/TVPB_Version.info");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    std::ifstream in(bank.dir.str("download/TVPB_Version.info"), std::ios::binary);
    std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(r->body, file);
    EXPECT_NE(r->body.find("TavrinPdaBanking/1.0.0.2\n"), std::string::npos);
    auto missing = http->Get("/download/compaq/nothing.dll");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    auto escape = http->Get("/download/compaq/../bankd.db");
    ASSERT_TRUE(escape);
    EXPECT_NE(escape->status, 200);
    auto escape2 = http->Get("/download/compaq/%2e%2e/bankd.db");
    ASSERT_TRUE(escape2);
    EXPECT_NE(escape2->status, 200);
}

TEST_F(HttpFixture, ATakenPortIsReportedNotIgnored)
{
    ServerOptions o;
    o.port = server->port();
    BankServer second(bank.dispatcher, gateway, log, o);
    EXPECT_THROW(second.start(), PortInUse);
}

TEST_F(HttpFixture, StopFinishesCleanlyAndCanBeRepeated)
{
    auto r = http->Get("/servlet/TvPdaNoEnc?trcode=PDA_T003");
    ASSERT_TRUE(r);
    server->stop();
    server->stop();
    httplib::Client after("127.0.0.1", server->port());
    after.set_connection_timeout(1, 0);
    EXPECT_FALSE(after.Get("/servlet/TvPdaNoEnc?trcode=PDA_T003"));
}

TEST_F(HttpFixture, LoginFreeRequestsCountTheAddressATrustedFrontNamesAndNoOtherPeers)
{
    ServerOptions o;
    o.threads = 2;
    o.trustedFronts = {"127.0.0.1"};
    BankServer fronted(bank.dispatcher, gateway, log, o);
    fronted.start();
    httplib::Client viaFront("127.0.0.1", fronted.port());
    auto cheque = [&](httplib::Client& client, int n, const httplib::Headers& headers) {
        auto c = channel();
        std::string cipher = c->sealRequest(false, "useSess=N&encrypt=1&trcode=PDA_S003&BankCD=20&PublShopNO=0123&CheckNO=" +
                                                       std::to_string(71000000 + n) + "&CheckKind=50&CheckMny=1000");
        httplib::Result r = client.Get("/servlet/TvPdaMain?q=" + escapeCipher(cipher), headers);
        if (!r)
            return std::string("no answer");
        auto plain = c->openReply(r->body);
        return plain ? msgCode(*plain) : "RAW:" + r->body;
    };
    // A client behind the trusted front uses up its own allowance ...
    for (int i = 0; i < kPerAddress; ++i)
        EXPECT_EQ(cheque(viaFront, i, {{"X-Real-IP", "198.51.100.1"}}), result::kUnknownCheque) << i;
    EXPECT_EQ(cheque(viaFront, 100, {{"X-Real-IP", "198.51.100.1"}}), result::kTooMany);
    // ... and holds back no other client of the same front (named by X-Real-IP,
    // or by the entry the front added last to X-Forwarded-For).
    EXPECT_EQ(cheque(viaFront, 101, {{"X-Real-IP", "198.51.100.2"}}), result::kUnknownCheque);
    EXPECT_EQ(cheque(viaFront, 102, {{"X-Forwarded-For", "198.51.100.1, 198.51.100.3"}}), result::kUnknownCheque);
    // The same headers from a peer that is not a trusted front name nobody: its own address is counted.
    for (int i = 0; i < kPerAddress; ++i)
        EXPECT_EQ(cheque(*http, 200 + i, {{"X-Real-IP", "198.51.100." + std::to_string(10 + i)}}),
                  result::kUnknownCheque)
            << i;
    EXPECT_EQ(cheque(*http, 300, {{"X-Real-IP", "198.51.100.99"}}), result::kTooMany);
    fronted.stop();
    std::ifstream in(bank.dir.str("access.log"));
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("addr=198.51.100.2\n"), std::string::npos);
    EXPECT_NE(text.find("addr=198.51.100.3\n"), std::string::npos);
    EXPECT_EQ(text.find("addr=198.51.100.10\n"), std::string::npos);
    EXPECT_NE(text.find("addr=127.0.0.1\n"), std::string::npos);
}
