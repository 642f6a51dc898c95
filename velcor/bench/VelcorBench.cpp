// Cost of the secure channel per request: the client's seal, the gateway's open
// and seal, the client's open of the reply (no network).
#include <benchmark/benchmark.h>

#include <vector>

#include "ClientChannel.h"
#include "Gateway.h"

using namespace velcor;

static void BM_RequestCycle(benchmark::State& state)
{
    const GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway(keys);
    ClientChannel client(keys.publicKey);
    const std::string request = "encrypt=1&trcode=PDA_A003&UserID=kim01&Acc=1002345678901&From=20240101&To=20240131";
    const std::string envelope(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state) {
        const OpenResult opened = gateway.open(client.sealRequest(false, request));
        auto reply = client.openReply(gateway.seal(opened.opened, envelope));
        benchmark::DoNotOptimize(reply);
    }
}
BENCHMARK(BM_RequestCycle)->Arg(512)->Arg(8192)->Arg(65536);

// The gateway's own share of a request of a live session: open and seal only
// (requests sealed beforehand, a reply the size of an account list).
static void BM_GatewayOpenSeal(benchmark::State& state)
{
    const GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway(keys);
    ClientChannel client(keys.publicKey);
    const std::string request = "encrypt=1&trcode=PDA_U002&UserID=DEMOS";
    const std::string envelope(1200, 'x');
    gateway.open(client.sealRequest(false, request));
    std::vector<std::string> sealed;
    for (int i = 0; i < 4096; ++i)
        sealed.push_back(client.sealRequest(false, request));
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == sealed.size()) {
            state.PauseTiming();
            sealed.clear();
            for (int i = 0; i < 4096; ++i)
                sealed.push_back(client.sealRequest(false, request));
            next = 0;
            state.ResumeTiming();
        }
        const OpenResult opened = gateway.open(sealed[next++], "127.0.0.1");
        benchmark::DoNotOptimize(gateway.seal(opened.opened, envelope));
    }
}
BENCHMARK(BM_GatewayOpenSeal);

static void BM_NewSession(benchmark::State& state)
{
    const GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway(keys);
    for (auto _ : state) {
        ClientChannel client(keys.publicKey);
        benchmark::DoNotOptimize(gateway.open(client.sealRequest(false, "useSess=N&trcode=PDA_U001")));
    }
}
BENCHMARK(BM_NewSession);

static void BM_RefuseForgery(benchmark::State& state)
{
    const GatewayKeyPair keys = generateGatewayKeyPair();
    Gateway gateway(keys);
    ClientChannel client(keys.publicKey);
    gateway.open(client.sealRequest(false, "x"));
    std::string forged = client.sealRequest(false, std::string(1000, 'y'));
    forged[100] = forged[100] == 'A' ? 'B' : 'A';
    for (auto _ : state)
        benchmark::DoNotOptimize(gateway.open(forged));
}
BENCHMARK(BM_RefuseForgery);

BENCHMARK_MAIN();
