// The two halves of the channel together, without Qt: round trips, binding of
// replies, replay protection, end of session and the session table.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <thread>

#include "ClientChannel.h"
#include "Gateway.h"

using namespace velcor;

namespace {

struct Channel {
    GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway{keys};
    ClientChannel client{keys.publicKey};
};

// Round trip of one request; returns the opened request.
OpenedRequest exchange(Gateway& gateway, ClientChannel& client, const std::string& request,
                       const std::string& envelope)
{
    const std::string cipher = client.sealRequest(true, request);
    const OpenResult opened = gateway.open(cipher);
    EXPECT_TRUE(opened.ok) << opened.reason;
    const auto reply = client.openReply(gateway.seal(opened.opened, envelope));
    EXPECT_TRUE(reply.has_value());
    if (reply) {
        EXPECT_EQ(*reply, envelope);
    }
    return opened.opened;
}

} // namespace

TEST(GatewayChannel, RoundTripCarriesRequestPathAndCounter)
{
    Channel c;
    ASSERT_TRUE(c.client.valid());
    EXPECT_EQ(c.client.sessionKey().size(), 44u);

    const std::string request = "encrypt=1&trcode=PDA_A003&UserID=홍길동";
    const std::string cipher = c.client.sealRequest(false, request);
    ASSERT_GT(cipher.size(), 44u);
    EXPECT_EQ(cipher.substr(0, 44), c.client.sessionKey());
    EXPECT_EQ(cipher.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);

    const OpenResult opened = c.gateway.open(cipher);
    ASSERT_TRUE(opened.ok) << opened.reason;
    EXPECT_EQ(opened.opened.request, request);
    EXPECT_FALSE(opened.opened.pathOn);
    EXPECT_EQ(opened.opened.counter, 1u);
    EXPECT_EQ(opened.opened.sessionKey, c.client.sessionKey());
    EXPECT_TRUE(c.gateway.hasSession(c.client.sessionKey()));

    const std::string envelope = "<DataTag><msg>10000;정상처리;</msg></DataTag>";
    const auto reply = c.client.openReply(c.gateway.seal(opened.opened, envelope));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(*reply, envelope);

    const OpenedRequest second = exchange(c.gateway, c.client, "", "빈 요청");
    EXPECT_EQ(second.counter, 2u);
    EXPECT_TRUE(second.pathOn);
    EXPECT_TRUE(second.request.empty());
    EXPECT_EQ(c.gateway.sessionCount(), 1u);
}

TEST(GatewayChannel, ReplayedRequestIsRefusedButLateOnesInsideTheWindowPass)
{
    Channel c;
    const std::string first = c.client.sealRequest(false, "a");
    const std::string second = c.client.sealRequest(false, "b");
    const std::string third = c.client.sealRequest(false, "c");
    ASSERT_TRUE(c.gateway.open(first).ok);
    ASSERT_TRUE(c.gateway.open(third).ok);
    // Arrived late but never seen: accepted once.
    EXPECT_TRUE(c.gateway.open(second).ok);
    for (const std::string* again : {&first, &second, &third}) {
        const OpenResult r = c.gateway.open(*again);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reason, "이미 처리된 요청입니다");
    }
    // A counter that fell out of the 64-wide window is refused even if unseen.
    const std::string old = c.client.sealRequest(false, "old");
    for (int i = 0; i < 70; ++i)
        ASSERT_TRUE(c.gateway.open(c.client.sealRequest(false, "x")).ok);
    EXPECT_FALSE(c.gateway.open(old).ok);
}

TEST(GatewayChannel, ReplyOnlyOpensForItsOwnRequestOnce)
{
    Channel c;
    const OpenResult first = c.gateway.open(c.client.sealRequest(false, "first"));
    ASSERT_TRUE(first.ok);
    const std::string replyToFirst = c.gateway.seal(first.opened, "reply 1");

    // The client moved on to a second request: the old reply is refused.
    const OpenResult second = c.gateway.open(c.client.sealRequest(false, "second"));
    ASSERT_TRUE(second.ok);
    std::string why;
    EXPECT_FALSE(c.client.openReply(replyToFirst, &why).has_value());
    EXPECT_EQ(why, "응답 복호화에 실패했습니다");

    const std::string replyToSecond = c.gateway.seal(second.opened, "reply 2");
    ASSERT_TRUE(c.client.openReply(replyToSecond).has_value());
    // The same reply a second time: nothing is waiting for it.
    EXPECT_FALSE(c.client.openReply(replyToSecond, &why).has_value());
    EXPECT_EQ(why, "응답을 기다리는 요청이 없습니다");

    // A reply sealed for the same counter but another request text does not open.
    const std::string third = c.client.sealRequest(false, "third");
    OpenResult forged = c.gateway.open(third);
    ASSERT_TRUE(forged.ok);
    forged.opened.requestHash[0] ^= 1;
    EXPECT_FALSE(c.client.openReply(c.gateway.seal(forged.opened, "x")).has_value());
}

TEST(GatewayChannel, AnotherSessionsReplyOrKeyIsRefused)
{
    Channel c;
    ClientChannel other(c.keys.publicKey);
    ASSERT_NE(other.sessionKey(), c.client.sessionKey());

    const OpenResult mine = c.gateway.open(c.client.sealRequest(false, "mine"));
    const OpenResult theirs = c.gateway.open(other.sealRequest(false, "theirs"));
    ASSERT_TRUE(mine.ok);
    ASSERT_TRUE(theirs.ok);
    EXPECT_EQ(c.gateway.sessionCount(), 2u);
    // Same counter (1) in both sessions, yet each reply opens only in its own.
    EXPECT_FALSE(c.client.openReply(c.gateway.seal(theirs.opened, "theirs")).has_value());
    EXPECT_FALSE(other.openReply(c.gateway.seal(mine.opened, "mine")).has_value());
    EXPECT_TRUE(c.client.openReply(c.gateway.seal(mine.opened, "mine")).has_value());

    // A request body moved under another session key does not authenticate.
    const std::string a = c.client.sealRequest(false, "a");
    const std::string b = other.sealRequest(false, "b");
    const OpenResult swapped = c.gateway.open(b.substr(0, 44) + a.substr(44));
    EXPECT_FALSE(swapped.ok);
    EXPECT_EQ(swapped.reason, "요청을 복호화할 수 없습니다");

    // A client that pinned another gateway's key cannot talk to this one.
    const GatewayKeyPair stranger = generateGatewayKeyPair();
    ClientChannel misdirected(stranger.publicKey);
    const OpenResult wrongKey = c.gateway.open(misdirected.sealRequest(false, "hello"));
    EXPECT_FALSE(wrongKey.ok);
    EXPECT_EQ(wrongKey.reason, "요청을 복호화할 수 없습니다");
    EXPECT_FALSE(c.gateway.hasSession(misdirected.sessionKey()));
}

TEST(GatewayChannel, EndSessionForgetsTheSessionForGood)
{
    Channel c;
    exchange(c.gateway, c.client, "login", "ok");
    const std::string unsentRequest = c.client.sealRequest(false, "sent after the end");

    const std::string body = c.client.sealEndSession();
    const EndResult ended = c.gateway.endSession(body);
    ASSERT_TRUE(ended.ok) << ended.reason;
    EXPECT_EQ(ended.sessionKey, c.client.sessionKey());
    EXPECT_TRUE(c.client.openEndAck(ended.reply));
    EXPECT_FALSE(c.gateway.hasSession(c.client.sessionKey()));
    EXPECT_EQ(c.gateway.sessionCount(), 0u);

    // Neither a new request of that session nor the end message again is accepted.
    const OpenResult reuse = c.gateway.open(unsentRequest);
    EXPECT_FALSE(reuse.ok);
    EXPECT_EQ(reuse.reason, "종료된 세션입니다");
    EXPECT_FALSE(c.gateway.open(c.client.sealRequest(false, "again")).ok);
    EXPECT_FALSE(c.gateway.endSession(body).ok);
    EXPECT_EQ(c.gateway.sessionCount(), 0u);
}

TEST(GatewayChannel, EndSessionNeedsAnAuthenticKnownSession)
{
    Channel c;
    // Unknown session: refused and nothing is created.
    ClientChannel stranger(c.keys.publicKey);
    const EndResult unknown = c.gateway.endSession(stranger.sealEndSession());
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.reason, "세션이 없습니다");
    EXPECT_EQ(c.gateway.sessionCount(), 0u);

    exchange(c.gateway, c.client, "x", "y");
    // A request is not an end message (other associated data).
    EXPECT_FALSE(c.gateway.endSession(c.client.sealRequest(false, "END-SESSION")).ok);
    // A tampered end message is refused and the session stays.
    std::string body = c.client.sealEndSession();
    body[60] = body[60] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(c.gateway.endSession(body).ok);
    EXPECT_TRUE(c.gateway.hasSession(c.client.sessionKey()));
    // An acknowledgement for another end message is not taken.
    ClientChannel second(c.keys.publicKey);
    exchange(c.gateway, second, "x", "y");
    const EndResult secondEnded = c.gateway.endSession(second.sealEndSession());
    ASSERT_TRUE(secondEnded.ok);
    EXPECT_FALSE(c.client.openEndAck(secondEnded.reply));
    // An end message of the session is not a request either.
    EXPECT_FALSE(c.gateway.open(c.client.sealEndSession()).ok);
}

TEST(GatewayChannel, IdleSessionsExpireAndOnlyComeBackWithNewCounters)
{
    Channel c;
    auto now = Gateway::Clock::now();
    c.gateway.setClock([&now] { return now; });
    ClientChannel busy(c.keys.publicKey);

    const std::string firstRequest = c.client.sealRequest(false, "first");
    ASSERT_TRUE(c.gateway.open(firstRequest).ok);
    ASSERT_TRUE(c.gateway.establish(c.client.sessionKey()));
    exchange(c.gateway, busy, "a", "b");
    ASSERT_TRUE(c.gateway.establish(busy.sessionKey()));
    now += std::chrono::minutes(20);
    EXPECT_TRUE(c.gateway.touch(busy.sessionKey()));
    EXPECT_FALSE(c.gateway.touch("no such session"));
    now += std::chrono::minutes(15);

    const auto gone = c.gateway.expireIdle(std::chrono::minutes(30));
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0], c.client.sessionKey());
    EXPECT_FALSE(c.gateway.hasSession(c.client.sessionKey()));
    EXPECT_TRUE(c.gateway.hasSession(busy.sessionKey()));

    // The old request cannot bring the session back; a new one can.
    const OpenResult replay = c.gateway.open(firstRequest);
    EXPECT_FALSE(replay.ok);
    EXPECT_EQ(replay.reason, "이미 처리된 요청입니다");
    EXPECT_FALSE(c.gateway.hasSession(c.client.sessionKey()));
    const OpenedRequest again = exchange(c.gateway, c.client, "after idle", "welcome back");
    EXPECT_EQ(again.counter, 2u);
    EXPECT_TRUE(c.gateway.hasSession(c.client.sessionKey()));
    // Nor can it come back once the session has: its window starts where
    // the old one ended.
    EXPECT_EQ(c.gateway.open(firstRequest).reason, "이미 처리된 요청입니다");
}

TEST(GatewayChannel, RecordedSessionKeysAreRefusedByTheNextGateway)
{
    Channel c;
    std::vector<std::string> recorded;
    c.gateway.setNewSessionHook([&](const std::string& key) {
        recorded.push_back(key);
        return true;
    });
    const std::string captured = c.client.sealRequest(false, "login");
    ASSERT_TRUE(c.gateway.open(captured).ok);
    exchange(c.gateway, c.client, "more", "reply");
    ASSERT_EQ(recorded, std::vector<std::string>{c.client.sessionKey()});  // once, at its start

    // A restarted server: a new gateway told the recorded keys.
    Gateway next(c.keys);
    next.refuseForGood(recorded);
    EXPECT_EQ(next.open(captured).reason, "종료된 세션입니다");
    EXPECT_FALSE(next.hasSession(c.client.sessionKey()));
    ClientChannel fresh(c.keys.publicKey);
    EXPECT_TRUE(next.open(fresh.sealRequest(false, "login again")).ok);

    // A hook that cannot record refuses the new session.
    next.setNewSessionHook([](const std::string&) { return false; });
    ClientChannel unrecorded(c.keys.publicKey);
    EXPECT_FALSE(next.open(unrecorded.sealRequest(false, "x")).ok);
    EXPECT_FALSE(next.hasSession(unrecorded.sessionKey()));
}

TEST(GatewayChannel, ForgottenSessionsAndTheSessionLimit)
{
    Channel c;
    exchange(c.gateway, c.client, "x", "y");
    EXPECT_TRUE(c.gateway.forget(c.client.sessionKey()));
    EXPECT_FALSE(c.gateway.forget(c.client.sessionKey()));
    EXPECT_EQ(c.gateway.open(c.client.sealRequest(false, "z")).reason, "종료된 세션입니다");

    // A table full of logged-in sessions refuses new ones.
    c.gateway.setMaxSessions(2);
    ClientChannel a(c.keys.publicKey), b(c.keys.publicKey), d(c.keys.publicKey);
    EXPECT_TRUE(c.gateway.open(a.sealRequest(false, "1")).ok);
    EXPECT_TRUE(c.gateway.open(b.sealRequest(false, "1")).ok);
    EXPECT_TRUE(c.gateway.establish(a.sessionKey()));
    EXPECT_TRUE(c.gateway.establish(b.sessionKey()));
    EXPECT_FALSE(c.gateway.establish("no such session"));
    const OpenResult third = c.gateway.open(d.sealRequest(false, "1"));
    EXPECT_FALSE(third.ok);
    EXPECT_EQ(third.reason, "세션이 너무 많습니다");
    // Known sessions keep working at the limit.
    EXPECT_TRUE(c.gateway.open(a.sealRequest(false, "2")).ok);
}

TEST(GatewayChannel, RequestsAreRefusedOutsideTheTimeWindowEvenAfterEveryRecordIsGone)
{
    Channel c;
    std::int64_t wall = ClientChannel::systemTime();
    c.gateway.setWallClock([&wall] { return wall; });
    c.gateway.setRequestWindow(std::chrono::seconds(300));

    const std::string captured = c.client.sealRequest(false, "useSess=N&trcode=PDA_U001");
    ASSERT_TRUE(c.gateway.open(captured).ok);
    // A restart long after: the new gateway has no record of the session at all.
    Gateway later(c.keys);
    later.setWallClock([&wall] { return wall; });
    wall += 301;
    const OpenResult replay = later.open(captured);
    EXPECT_FALSE(replay.ok);
    EXPECT_EQ(replay.reason, "요청 시각이 서버 시각과 맞지 않습니다");
    EXPECT_FALSE(later.hasSession(c.client.sessionKey()));
    wall += 30 * 24 * 3600;
    EXPECT_EQ(later.open(captured).reason, "요청 시각이 서버 시각과 맞지 않습니다");

    // Inside the window either way a request passes; one second beyond, not.
    ClientChannel early(c.keys.publicKey), late(c.keys.publicKey), beyond(c.keys.publicKey);
    wall = ClientChannel::systemTime() + 300;  // the client's clock is 300 s behind
    EXPECT_TRUE(later.open(early.sealRequest(false, "x")).ok);
    wall = ClientChannel::systemTime() - 299;  // 299 s ahead (one second for the test's own run)
    EXPECT_TRUE(later.open(late.sealRequest(false, "x")).ok);
    wall = ClientChannel::systemTime() - 400;
    EXPECT_FALSE(later.open(beyond.sealRequest(false, "x")).ok);
}

TEST(GatewayChannel, AClientWithAWrongClockTakesTheGatewaysTimeFromTheRefusal)
{
    Channel c;
    const std::int64_t ahead = 9 * 3600;  // the gateway is nine hours ahead
    c.gateway.setWallClock([ahead] { return ClientChannel::systemTime() + ahead; });

    const std::string first = c.client.sealRequest(false, "login");
    const OpenResult refused = c.gateway.open(first);
    ASSERT_FALSE(refused.ok);
    EXPECT_EQ(refused.reason, "요청 시각이 서버 시각과 맞지 않습니다");
    ASSERT_FALSE(refused.clockNotice.empty());
    EXPECT_FALSE(c.gateway.hasSession(c.client.sessionKey()));  // refused before anything else

    // Only the request's own client opens the notice, and only as the answer to it.
    ClientChannel other(c.keys.publicKey);
    other.sealRequest(false, "login");
    EXPECT_FALSE(other.openClockNotice(refused.clockNotice));
    std::string tampered = refused.clockNotice;
    tampered[10] = tampered[10] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(c.client.openClockNotice(tampered));
    EXPECT_FALSE(c.client.openReply(refused.clockNotice));
    const auto gatewayTime = c.client.openClockNotice(refused.clockNotice);
    ASSERT_TRUE(gatewayTime);
    EXPECT_NEAR(static_cast<double>(*gatewayTime - ClientChannel::systemTime()), static_cast<double>(ahead), 2.0);

    c.client.setClockOffset(*gatewayTime - ClientChannel::systemTime());
    const OpenedRequest retried = exchange(c.gateway, c.client, "login", "welcome");
    EXPECT_EQ(retried.counter, 2u);
    // The refused request was never counted: it is still refused for its time only.
    EXPECT_EQ(c.gateway.open(first).reason, "요청 시각이 서버 시각과 맞지 않습니다");
}

TEST(GatewayChannel, AnonymousSessionsAreBoundedAndNeverPushOutALogin)
{
    Channel c;
    auto now = Gateway::Clock::now();
    c.gateway.setClock([&now] { return now; });
    c.gateway.setMaxSessions(60);
    c.gateway.setAnonymousLimits(40, 10, std::chrono::seconds(120));

    // Two customers log in, one of them behind the address the flood comes from.
    ClientChannel kim(c.keys.publicKey), lee(c.keys.publicKey);
    ASSERT_TRUE(c.gateway.open(kim.sealRequest(false, "login"), "10.0.0.1").ok);
    ASSERT_TRUE(c.gateway.establish(kim.sessionKey()));
    ASSERT_TRUE(c.gateway.open(lee.sealRequest(false, "login"), "10.9.9.9").ok);
    ASSERT_TRUE(c.gateway.establish(lee.sessionKey()));

    // A customer who opened a session without logging in yet, then the flood:
    // sessions that never log in, from the same address and from many others.
    ClientChannel waiting(c.keys.publicKey);
    const std::string waitingFirst = waiting.sealRequest(false, "notices");
    ASSERT_TRUE(c.gateway.open(waitingFirst, "10.0.0.1").ok);
    for (int i = 0; i < 500; ++i) {
        ClientChannel flood(c.keys.publicKey);
        const std::string address = i % 2 ? "10.0.0.1" : "172.16." + std::to_string(i % 7) + ".1";
        ASSERT_TRUE(c.gateway.open(flood.sealRequest(false, "x"), address).ok) << i;
        now += std::chrono::milliseconds(1);
    }
    EXPECT_LE(c.gateway.anonymousCount(), 40u);
    EXPECT_LE(c.gateway.sessionCount(), 42u);
    // The logins were not pushed out and keep working.
    EXPECT_TRUE(c.gateway.hasSession(kim.sessionKey()));
    EXPECT_TRUE(c.gateway.hasSession(lee.sessionKey()));
    EXPECT_TRUE(c.gateway.open(kim.sealRequest(false, "inquiry"), "10.0.0.1").ok);
    // A new login from the flooding address gets a session.
    ClientChannel park(c.keys.publicKey);
    ASSERT_TRUE(c.gateway.open(park.sealRequest(false, "login"), "10.0.0.1").ok);
    ASSERT_TRUE(c.gateway.establish(park.sessionKey()));
    // The waiting customer was evicted, but comes back with its next request;
    // its old request does not.
    EXPECT_FALSE(c.gateway.hasSession(waiting.sessionKey()));
    EXPECT_EQ(c.gateway.open(waitingFirst, "10.0.0.1").reason, "이미 처리된 요청입니다");
    EXPECT_TRUE(c.gateway.open(waiting.sealRequest(false, "login"), "10.0.0.1").ok);

    // Sessions that never logged in idle out after two minutes, logins do not.
    now += std::chrono::seconds(121);
    c.gateway.expireIdle(std::chrono::hours(12));
    EXPECT_EQ(c.gateway.anonymousCount(), 0u);
    EXPECT_EQ(c.gateway.sessionCount(), 3u);

    // A table full of logins still lets no anonymous session in, and a flood
    // of anonymous ones never takes a login's place.
    c.gateway.setMaxSessions(3);
    ClientChannel late(c.keys.publicKey);
    EXPECT_EQ(c.gateway.open(late.sealRequest(false, "x"), "10.0.0.2").reason, "세션이 너무 많습니다");
    EXPECT_EQ(c.gateway.sessionCount(), 3u);
}

TEST(GatewayChannel, SessionsInUseAreDueForRecordingAgain)
{
    Channel c;
    auto now = Gateway::Clock::now();
    c.gateway.setClock([&now] { return now; });
    ClientChannel idle(c.keys.publicKey);
    exchange(c.gateway, c.client, "a", "b");
    exchange(c.gateway, idle, "a", "b");
    EXPECT_TRUE(c.gateway.dueForRecord(std::chrono::seconds(300)).empty());  // recorded when they started
    now += std::chrono::seconds(301);
    exchange(c.gateway, c.client, "c", "d");
    EXPECT_EQ(c.gateway.dueForRecord(std::chrono::seconds(300)), std::vector<std::string>{c.client.sessionKey()});
    EXPECT_TRUE(c.gateway.dueForRecord(std::chrono::seconds(300)).empty());
}

TEST(GatewayChannel, ManyThreadsOpenAndSealAtOnce)
{
    const GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway(keys);
    constexpr int kThreads = 4;
    constexpr int kRequests = 200;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    // Each thread has its own session, plus one session all threads send the
    // same requests to: every request of that one must be accepted exactly once.
    ClientChannel shared(keys.publicKey);
    std::vector<std::string> sharedRequests;
    for (int i = 0; i < kRequests; ++i)
        sharedRequests.push_back(shared.sealRequest(false, "shared " + std::to_string(i)));
    std::atomic<int> sharedAccepted{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ClientChannel client(keys.publicKey);
            for (int i = 0; i < kRequests; ++i) {
                const std::string body = "thread " + std::to_string(t) + " request " + std::to_string(i);
                const OpenResult r = gateway.open(client.sealRequest(i % 2 == 0, body));
                const auto reply = r.ok ? client.openReply(gateway.seal(r.opened, body)) : std::nullopt;
                if (!reply || *reply != body)
                    ++failures;
                if (gateway.open(sharedRequests[static_cast<std::size_t>(i)]).ok)
                    ++sharedAccepted;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(sharedAccepted.load(), kRequests);
    EXPECT_EQ(gateway.sessionCount(), static_cast<std::size_t>(kThreads + 1));
}

TEST(GatewayKeys, SaveLoadAndRefuseBrokenFiles)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("gateway.key").toStdString();
    const GatewayKeyPair keys = generateGatewayKeyPair();
    EXPECT_EQ(keys.publicKeyBase64().size(), 44u);
    std::string why;
    ASSERT_TRUE(saveGatewayKeyPair(path, keys, &why)) << why;
    EXPECT_EQ(QFile::permissions(QString::fromStdString(path)) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);

    const auto loaded = loadGatewayKeyPair(path, &why);
    ASSERT_TRUE(loaded.has_value()) << why;
    EXPECT_EQ(loaded->publicKey, keys.publicKey);
    EXPECT_EQ(loaded->secretKey, keys.secretKey);
    // A gateway made from the loaded keys opens what clients of the old key send.
    Gateway gateway(*loaded);
    ClientChannel client(keys.publicKey);
    EXPECT_TRUE(gateway.open(client.sealRequest(false, "x")).ok);

    EXPECT_FALSE(loadGatewayKeyPair(dir.filePath("missing").toStdString(), &why).has_value());
    EXPECT_FALSE(why.empty());

    // A public key that does not belong to the secret key.
    const GatewayKeyPair other = generateGatewayKeyPair();
    GatewayKeyPair mixed = keys;
    mixed.publicKey = other.publicKey;
    ASSERT_TRUE(saveGatewayKeyPair(path, mixed));
    EXPECT_FALSE(loadGatewayKeyPair(path, &why).has_value());

    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("public_key=short\nsecret_key=???\n");
    f.close();
    EXPECT_FALSE(loadGatewayKeyPair(path).has_value());

    EXPECT_TRUE(decodeKey32(keys.publicKeyBase64()).has_value());
    EXPECT_FALSE(decodeKey32(keys.publicKeyBase64().substr(0, 43)).has_value());
    EXPECT_FALSE(decodeKey32("").has_value());
}
