// Two bankd nodes on one database, in-process: the gateway's sessions, the
// logins, the replay records, the locks and the rate limits live in the
// database, so a client carries on at whichever node answers.
#include <gtest/gtest.h>

#include <httplib.h>

#include "AccessLog.h"
#include "BankServer.h"
#include "CodePage949.h"
#include "DbSessionStore.h"
#include "EnvelopeReader.h"
#include "../bench/LoadSupport.h"
#include "Handlers.h"
#include "ResultCodes.h"
#include "TestBank.h"
#include "velcor/ClientChannel.h"
#include "velcor/Gateway.h"
#include "velcor/GatewayKeys.h"

using namespace bankd;
using namespace bankd::test;

namespace {

// One bankd node: its own store connection(s), sessions, dispatcher, gateway
// and HTTP front, all sharing the database.
struct Node {
    Node(Store& store, const Clock& clock, const velcor::GatewayKeyPair& keys, const std::string& logPath,
         BankConfig config)
        : sessions(clock, std::chrono::seconds(600)), dispatcher(store, sessions, clock, config), gateway(keys),
          log(logPath, clock)
    {
        registerAllHandlers(dispatcher);
        store.setServesAlone(false);
        sessions.share(store);
        dispatcher.rateLimiter().share(store);
        gateway.setSessionStore(std::make_shared<DbSessionStore>(store));
        ServerOptions o;
        o.threads = 2;
        server = std::make_unique<BankServer>(dispatcher, gateway, log, o);
        server->start();
        http = std::make_unique<httplib::Client>("127.0.0.1", server->port());
    }

    // One request sealed by the channel; returns the opened envelope, or the raw refusal.
    std::string send(velcor::ClientChannel& c, const std::string& request)
    {
        return sendSealed(c, c.sealRequest(false, request));
    }
    std::string sendSealed(velcor::ClientChannel& c, const std::string& cipher)
    {
        httplib::Result r = http->Get("/servlet/TvPdaMain?q=" + load::escapeCipher(cipher));
        if (!r)
            return "no answer";
        auto plain = c.openReply(r->body);
        return plain ? *plain : "RAW:" + cp949::toUtf8(r->body);
    }

    Sessions sessions;
    Dispatcher dispatcher;
    velcor::Gateway gateway;
    AccessLog log;
    std::unique_ptr<BankServer> server;
    std::unique_ptr<httplib::Client> http;
};

class SharedNodes : public ::testing::Test {
protected:
    static BankConfig config()
    {
        BankConfig c;
        c.rateLimits.perUser = 6;
        return c;
    }
    SharedNodes()
        : bank(config()), keys(velcor::generateGatewayKeyPair()),
          second(Store::open(location(bank.store->path()), HashCost::minimal())),
          a(*bank.store, bank.clock, keys, bank.dir.str("a.log"), config()),
          b(*second, bank.clock, keys, bank.dir.str("b.log"), config())
    {
        bank.dispatcher.add({"TEST_WHO", true, false, [](RequestContext& ctx) {
                                 return Envelope::ok().free0({ctx.user});
                             }});
        for (Node* n : {&a, &b})
            n->dispatcher.add({"TEST_WHO", true, false, [](RequestContext& ctx) {
                                   return Envelope::ok().free0({ctx.user});
                               }});
        bank.addCustomer("ALICE", "PW1");
        bank.addCustomer("BOB", "PW2");
    }

    TestBank bank;
    velcor::GatewayKeyPair keys;
    std::unique_ptr<Store> second;
    Node a;
    Node b;
};

const std::string kLogin = "useSess=N&trcode=PDA_U001&UserID=ALICE&UserPwd=PW1";
const std::string kWho = "encrypt=1&trcode=TEST_WHO&UserID=ALICE";

} // namespace

TEST_F(SharedNodes, ASessionOpenedAtOneNodeCarriesOnAtTheOther)
{
    velcor::ClientChannel c(keys.publicKey);
    ASSERT_EQ(msgCode(a.send(c, kLogin)), "10000");
    EXPECT_EQ(msgCode(b.send(c, kWho)), "10000");
    EXPECT_EQ(msgCode(a.send(c, kWho)), "10000");
    EXPECT_EQ(b.sessions.userOf(c.sessionKey()), "ALICE");
    EXPECT_TRUE(b.gateway.hasSession(c.sessionKey()));

    // A session attribute set through one node is seen by the other.
    ASSERT_TRUE(a.sessions.setAttribute(c.sessionKey(), "security-checked", "Y"));
    EXPECT_EQ(b.sessions.attribute(c.sessionKey(), "security-checked"), "Y");

    // Ended through B: refused at A as well, login and all.
    std::string why;
    const std::string end = c.sealEndSession(&why);
    httplib::Result ended = b.http->Post("/gateway/end", end, "text/plain");
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->status, 200);
    EXPECT_TRUE(c.openEndAck(ended->body));
    EXPECT_FALSE(a.sessions.userOf(c.sessionKey()));
    EXPECT_FALSE(a.gateway.hasSession(c.sessionKey()));
    const std::string after = a.send(c, kWho);
    EXPECT_NE(after.find("종료된 세션입니다"), std::string::npos) << after;
}

TEST_F(SharedNodes, ARequestAcceptedByOneNodeIsRefusedByTheOther)
{
    velcor::ClientChannel c(keys.publicKey);
    const std::string login = c.sealRequest(false, kLogin);
    ASSERT_EQ(msgCode(a.sendSealed(c, login)), "10000");
    const std::string replay = b.sendSealed(c, login);
    EXPECT_NE(replay.find("이미 처리된 요청입니다"), std::string::npos) << replay;
    // ... and by the node that accepted it, and after either restarts (the
    // record is in the database): a third gateway on the same store.
    EXPECT_NE(a.sendSealed(c, login).find("이미 처리된 요청입니다"), std::string::npos);
    velcor::Gateway restarted(keys);
    restarted.setSessionStore(std::make_shared<DbSessionStore>(*second));
    const velcor::OpenResult again = restarted.open(login);
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.reason, "이미 처리된 요청입니다");
    // The session goes on at both.
    EXPECT_EQ(msgCode(b.send(c, kWho)), "10000");
}

TEST_F(SharedNodes, ALockAndARateLimitReachedThroughOneNodeHoldAtTheOther)
{
    // Wrong passwords through A lock the login; the right one through B is refused.
    for (int i = 0; i < 5; ++i) {
        velcor::ClientChannel c(keys.publicKey);
        EXPECT_NE(msgCode((i % 2 ? b : a).send(c, "useSess=N&trcode=PDA_U001&UserID=BOB&UserPwd=WRONG")), "10000");
    }
    velcor::ClientChannel bob(keys.publicKey);
    EXPECT_EQ(msgCode(b.send(bob, "useSess=N&trcode=PDA_U001&UserID=BOB&UserPwd=PW2")), result::kLocked);
    EXPECT_FALSE(b.sessions.userOf(bob.sessionKey()));

    // Login attempts per user ID: six in the window, counted across both nodes.
    for (int i = 0; i < 6; ++i) {
        velcor::ClientChannel c(keys.publicKey);
        EXPECT_EQ(msgCode((i % 2 ? a : b).send(c, kLogin)), "10000") << i;
    }
    velcor::ClientChannel fifth(keys.publicKey);
    EXPECT_EQ(msgCode(a.send(fifth, kLogin)), result::kTooMany);
    velcor::ClientChannel sixth(keys.publicKey);
    EXPECT_EQ(msgCode(b.send(sixth, kLogin)), result::kTooMany);
    // The window passes for both.
    bank.clock.advance(std::chrono::seconds(61));
    velcor::ClientChannel later(keys.publicKey);
    EXPECT_EQ(msgCode(b.send(later, kLogin)), "10000");
}

TEST_F(SharedNodes, SessionsThatNeverLogInStayBoundedInTheSharedTable)
{
    a.gateway.setAnonymousLimits(100, 10, std::chrono::seconds(120));
    b.gateway.setAnonymousLimits(100, 10, std::chrono::seconds(120));
    velcor::ClientChannel alice(keys.publicKey);
    ASSERT_EQ(msgCode(a.send(alice, kLogin)), "10000");
    for (int i = 0; i < 60; ++i) {
        velcor::ClientChannel flood(keys.publicKey);
        (i % 2 ? a : b).send(flood, kWho);
    }
    EXPECT_LE(a.gateway.anonymousCount(), 10u);
    EXPECT_EQ(msgCode(b.send(alice, kWho)), "10000");
    velcor::ClientChannel again(keys.publicKey);
    EXPECT_EQ(msgCode(b.send(again, kLogin)), "10000");
    EXPECT_EQ(msgCode(a.send(again, kWho)), "10000");
}
