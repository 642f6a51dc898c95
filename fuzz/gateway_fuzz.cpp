// The gateway's open and end-session on hostile messages, in sequences: raw
// texts, and plain bytes sealed by known clients so that what lies behind the
// authentication is reached too. Whatever arrives, no accepted request (nor
// its counter) is accepted twice, an ended session stays ended, and a reply
// opens at its client.
#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "FuzzInput.h"
#include "Gateway.h"
#include "GatewayFixture.h"

namespace {

enum Op : std::uint8_t {
    OpenRaw,      // chunk: request cipher text
    EndRaw,       // chunk: end-session body
    OpenSealed,   // byte: client, chunk: plain request bytes
    EndSealed,    // byte: client, chunk: plain end-session bytes
    Idle,         // byte: time step in 10 s; idle sessions expire
    Forget,       // byte: client
    Reply,        // chunk: envelope sealed for the last opened request
    Replay,       // byte: which accepted text comes again
    Wall,         // byte: signed step of the wall clock in minutes
    Establish,    // byte: client whose session logs in
    OpCount
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using Clock = velcor::Gateway::Clock;
    Clock::time_point now{};
    std::int64_t wall = fuzz::kFuzzWallTime;
    velcor::Gateway gateway(fuzz::gatewayKeys());
    gateway.setClock([&now] { return now; });
    gateway.setWallClock([&wall] { return wall; });
    gateway.setMaxSessions(4);
    gateway.setAnonymousLimits(3, 2, std::chrono::seconds(120));
    gateway.setTombstoneLifetime(std::chrono::hours(24 * 365));

    std::vector<std::string> accepted;  // every text open() accepted
    std::set<std::pair<std::string, std::uint64_t>> counters;  // (session, counter) accepted
    std::set<std::string> ended;        // session keys ended or forgotten
    std::optional<velcor::OpenedRequest> last;

    auto open = [&](const std::string& text, std::string_view address) {
        const velcor::OpenResult r = gateway.open(text, address);
        if (!r.ok) {
            fuzz::check(!r.reason.empty(), "a refusal without a reason");
            return;
        }
        fuzz::check(r.clockNotice.empty(), "a clock notice with an accepted request");
        for (const std::string& before : accepted)
            fuzz::check(before != text, "a request was accepted twice");
        fuzz::check(text.compare(0, r.opened.sessionKey.size(), r.opened.sessionKey) == 0 &&
                        r.opened.sessionKey.size() == velcor::protocol::kSessionKeyLength,
                    "the session key is not the start of the text");
        fuzz::check(!ended.count(r.opened.sessionKey), "an ended session took a request");
        // Not even with a new nonce, nor after the session idled out and came back.
        fuzz::check(counters.emplace(r.opened.sessionKey, r.opened.counter).second, "a counter was accepted twice");
        fuzz::check(gateway.hasSession(r.opened.sessionKey), "an accepted request has no session");
        accepted.push_back(text);
        last = r.opened;
    };
    auto end = [&](const std::string& body) {
        const velcor::EndResult r = gateway.endSession(body);
        if (!r.ok) {
            fuzz::check(!r.reason.empty(), "a refusal without a reason");
            return;
        }
        fuzz::check(!ended.count(r.sessionKey), "a session ended twice");
        fuzz::check(!gateway.hasSession(r.sessionKey), "an ended session is still there");
        ended.insert(r.sessionKey);
    };

    fuzz::Reader in(data, size);
    for (int step = 0; step < 64 && !in.empty(); ++step) {
        switch (in.byte() % OpCount) {
        case OpenRaw:
            open(std::string(in.chunk()), "10.0.0.1");
            break;
        case EndRaw:
            end(std::string(in.chunk()));
            break;
        case OpenSealed: {
            const unsigned c = in.byte();
            open(fuzz::client(c).seal(in.chunk(), false), (c & 4) ? "10.0.0.2" : "10.0.0.1");
            break;
        }
        case EndSealed: {
            const unsigned c = in.byte();
            end(fuzz::client(c).seal(in.chunk(), true));
            break;
        }
        case Idle:
            now += std::chrono::seconds(10) * (in.byte() + 1);
            gateway.expireIdle(std::chrono::seconds(600));
            break;
        case Forget: {
            const std::string& key = fuzz::client(in.byte()).sessionKey;
            if (gateway.forget(key))
                ended.insert(key);
            break;
        }
        case Reply: {
            const std::string_view envelope = in.chunk();
            if (!last)
                break;
            const std::string reply = gateway.seal(*last, envelope);
            fuzz::check(!reply.empty(), "no reply sealed");
            for (unsigned c = 0; c < fuzz::kClients; ++c) {
                const fuzz::FuzzClient& cl = fuzz::client(c);
                if (cl.sessionKey != last->sessionKey)
                    continue;
                velcor::codec::Bytes box, plain;
                fuzz::check(velcor::codec::fromBase64(reply, box), "a reply that is not base64");
                const auto ad = velcor::codec::replyAd(cl.pk.data(), last->counter, last->requestHash);
                fuzz::check(velcor::codec::open(cl.rx.data(), ad, box.data(), box.size(), plain) &&
                                std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size()) == envelope,
                            "a reply its client cannot open");
            }
            break;
        }
        case Replay: {
            const unsigned k = in.byte();
            if (!accepted.empty()) {
                const std::string text = accepted[k % accepted.size()];
                fuzz::check(!gateway.open(text, "10.0.0.1").ok, "a replayed request was accepted");
            }
            break;
        }
        case Wall:
            wall += 60 * static_cast<std::int8_t>(in.byte());
            break;
        case Establish:
            gateway.establish(fuzz::client(in.byte()).sessionKey);
            break;
        }
        fuzz::check(gateway.sessionCount() <= 4, "more sessions than the limit");
    }
    return 0;
}
