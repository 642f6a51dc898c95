// Whatever arrives from the network, the gateway answers with a reason: no
// crash, no exception, no session made from it. Random inputs use fixed seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ClientChannel.h"
#include "Gateway.h"

using namespace velcor;

namespace {

struct Fixture {
    GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway{keys};
    ClientChannel client{keys.publicKey};
};

std::string refusal(Gateway& g, const std::string& text)
{
    const OpenResult r = g.open(text);
    EXPECT_FALSE(r.ok) << "accepted: " << text.substr(0, 80);
    EXPECT_FALSE(r.reason.empty());
    return r.reason;
}

const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

TEST(GatewayHostileInput, MalformedTextsAreRefusedWithAReason)
{
    Fixture f;
    const std::string good = f.client.sealRequest(false, "encrypt=1&trcode=PDA_A003&UserID=kim");
    ASSERT_GT(good.size(), 100u);

    EXPECT_EQ(refusal(f.gateway, ""), "요청이 비어 있습니다");
    EXPECT_EQ(refusal(f.gateway, good.substr(0, 44)), "요청 형식이 올바르지 않습니다");
    EXPECT_EQ(refusal(f.gateway, good.substr(0, 43)), "요청 형식이 올바르지 않습니다");
    // Truncated bodies: too short for nonce and tag, or no longer whole base64.
    EXPECT_EQ(refusal(f.gateway, good.substr(0, 44 + 40)), "요청 형식이 올바르지 않습니다");
    EXPECT_EQ(refusal(f.gateway, good.substr(0, good.size() - 1)), "요청 형식이 올바르지 않습니다");
    // A whole-base64 prefix that lost the tag's end: does not authenticate.
    EXPECT_EQ(refusal(f.gateway, good.substr(0, good.size() - 4)), "요청을 복호화할 수 없습니다");
    // Bad base64: characters outside the alphabet, URL-safe letters, blanks, escapes.
    for (const char* bad : {"!", "-", "_", " ", "%2B", "\n"}) {
        std::string t = good;
        t.replace(60, 1, bad);
        EXPECT_EQ(refusal(f.gateway, t), "요청 형식이 올바르지 않습니다") << bad;
    }
    // A session key that decodes to the wrong length.
    EXPECT_EQ(refusal(f.gateway, "QUJD" + std::string(38, 'A') + "==" + good.substr(44)), "요청 형식이 올바르지 않습니다");
    std::string notPadded = good;
    notPadded[43] = 'A';
    EXPECT_EQ(refusal(f.gateway, notPadded), "요청 형식이 올바르지 않습니다");
    // Oversized: refused before any decoding, even when it is otherwise well formed.
    std::string huge = good.substr(0, 44) + std::string(protocol::kMaxCipherTextLength, 'A');
    EXPECT_EQ(refusal(f.gateway, huge), "요청이 너무 깁니다");
    // Bytes above 127 in place of base64 letters (which libsodium's decoder lets
    // through) must not name the same session under another text: that would
    // start a second replay window for the same keys.
    for (std::size_t at : {std::size_t{5}, std::size_t{60}}) {
        std::string alias = good;
        alias[at] = static_cast<char>(static_cast<unsigned char>(alias[at]) | 0x80);
        EXPECT_EQ(refusal(f.gateway, alias), "요청 형식이 올바르지 않습니다") << at;
    }
    // A degenerate (all-zero) client key gives no session keys.
    const std::string zeroKey = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
    EXPECT_EQ(refusal(f.gateway, zeroKey + good.substr(44)), "세션 키가 올바르지 않습니다");

    EXPECT_EQ(f.gateway.sessionCount(), 0u);
    // The genuine request still goes through after all that.
    EXPECT_TRUE(f.gateway.open(good).ok);
}

TEST(GatewayHostileInput, EveryFlippedByteOfARequestIsRefused)
{
    Fixture f;
    const std::string good = f.client.sealRequest(true, "trcode=PDA_T002&TranMny=10000");
    int checked = 0;
    for (std::size_t i = 0; i < good.size(); ++i) {
        if (good[i] == '=')
            continue;
        std::string t = good;
        t[i] = t[i] == 'A' ? 'B' : 'A';
        const OpenResult r = f.gateway.open(t);
        EXPECT_FALSE(r.ok) << "position " << i;
        ++checked;
    }
    EXPECT_GT(checked, 100);
    EXPECT_EQ(f.gateway.sessionCount(), 0u);
    EXPECT_TRUE(f.gateway.open(good).ok);
}

TEST(GatewayHostileInput, TamperedRepliesAreRefusedByTheClient)
{
    Fixture f;
    const OpenResult opened = f.gateway.open(f.client.sealRequest(false, "q"));
    ASSERT_TRUE(opened.ok);
    const std::string reply = f.gateway.seal(opened.opened, "<DataTag><msg>10000;ok;</msg></DataTag>");
    std::string why;
    for (std::size_t i = 0; i < reply.size(); i += 3) {
        if (reply[i] == '=')
            continue;
        std::string t = reply;
        t[i] = t[i] == 'z' ? 'y' : 'z';
        EXPECT_FALSE(f.client.openReply(t, &why).has_value()) << "position " << i;
    }
    EXPECT_FALSE(f.client.openReply("", &why).has_value());
    EXPECT_EQ(why, "응답 형식이 올바르지 않습니다");
    EXPECT_FALSE(f.client.openReply(reply.substr(0, 20), &why).has_value());
    EXPECT_FALSE(f.client.openReply("Error:세션이 없습니다", &why).has_value());
    EXPECT_EQ(why, "응답 형식이 올바르지 않습니다");
    // The untouched reply still opens: failed attempts do not consume it.
    EXPECT_TRUE(f.client.openReply(reply).has_value());
}

TEST(GatewayHostileInput, ThousandsOfRandomAndMutatedInputsNeverCrash)
{
    Fixture f;
    std::mt19937 rng(20240611);
    std::vector<std::string> seeds;
    for (int i = 0; i < 8; ++i)
        seeds.push_back(f.client.sealRequest(i % 2 == 0, std::string(static_cast<std::size_t>(i * 37), 'x')));
    seeds.push_back(f.client.sealEndSession());
    const std::size_t sessionsBefore = f.gateway.sessionCount();

    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    int accepted = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string t;
        switch (round % 4) {
        case 0: { // random bytes of any kind
            t.resize(pick(300));
            for (char& c : t)
                c = static_cast<char>(pick(256));
            break;
        }
        case 1: { // random base64 behind a real session key
            t = seeds[0].substr(0, 44);
            const std::size_t n = pick(400);
            for (std::size_t i = 0; i < n; ++i)
                t += kAlphabet[pick(kAlphabet.size())];
            break;
        }
        default: { // mutations of genuine messages
            t = seeds[pick(seeds.size())];
            const std::size_t edits = 1 + pick(4);
            for (std::size_t e = 0; e < edits && !t.empty(); ++e) {
                const std::size_t at = pick(t.size());
                switch (pick(4)) {
                case 0: t[at] = kAlphabet[pick(kAlphabet.size())]; break;
                case 1: t.erase(at, 1 + pick(8)); break;
                case 2: t.insert(at, 1, kAlphabet[pick(kAlphabet.size())]); break;
                default: t[at] = static_cast<char>(pick(256)); break;
                }
            }
        }
        }
        const OpenResult r = f.gateway.open(t);
        if (r.ok) {
            // Only an untouched seed can pass (a mutation that happened to restore it).
            ++accepted;
            EXPECT_NE(std::find(seeds.begin(), seeds.end(), t), seeds.end()) << "round " << round;
        } else {
            EXPECT_FALSE(r.reason.empty());
        }
        const EndResult e = f.gateway.endSession(t);
        EXPECT_FALSE(e.ok && e.reply.empty());
        std::string why;
        (void)f.client.openReply(t, &why);
    }
    EXPECT_LE(accepted, 8);
    EXPECT_LE(f.gateway.sessionCount(), sessionsBefore + 1);
}
