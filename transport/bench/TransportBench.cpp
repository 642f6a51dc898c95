// Speed of the transport: the engine and gateway on 1 KB requests and 4 KB
// replies, the envelope readers on a 500-record list, and one full TransData
// round trip against a loopback gateway.
#include <benchmark/benchmark.h>

#include <httplib.h>

#include <QApplication>
#include <QUrl>

#include "CQV.h"
#include "CQVParser.h"
#include "Gateway.h"
#include "TestServer.h"

namespace {

using transporttest::DeployFile;
using transporttest::TestServer;

QString request1k()
{
    QString r = QStringLiteral("encrypt=1&trcode=PDA_T002&UserID=benchuser&Sender=홍길동&Memo=");
    while (r.size() < 1024)
        r += QStringLiteral("x");
    return r;
}

std::string envelope4k()
{
    QString e = QStringLiteral("<DataTag><msg>10000;정상 처리되었습니다;</msg><list0>");
    for (int i = 0; e.size() < 4000; ++i)
        e += QStringLiteral("20240131;%1;입금;150,000;1,234,567;|").arg(i);
    e += QStringLiteral("</list0></DataTag>");
    return e.toStdString();
}

QString list500()
{
    QString content;
    for (int i = 1; i <= 500; ++i)
        content += QStringLiteral("2024%1;%2;타행이체;%3;%4;|").arg(i % 12 + 1, 2, 10, QLatin1Char('0')).arg(i).arg(i * 1000).arg(i * 7919);
    return QStringLiteral("<DataTag><msg>10000;OK;</msg><list0>%1</list0></DataTag>").arg(content);
}

// A gateway with its keys pinned in a deploy.ini, and a loopback servlet in front of it.
struct Channel {
    velcor::GatewayKeyPair keys = velcor::generateGatewayKeyPair();
    velcor::Gateway gateway{keys};
    std::string reply = envelope4k();
    TestServer server;
    std::unique_ptr<DeployFile> deploy;

    Channel()
    {
        server.onGet("/servlet/TvPdaMain", [this](const httplib::Request& req, httplib::Response& res) {
            const velcor::OpenResult opened = gateway.open(req.get_param_value("q"));
            res.set_content(opened.ok ? gateway.seal(opened.opened, reply) : velcor::errorReply(opened.reason),
                            "text/plain");
        });
        server.start();
        deploy = std::make_unique<DeployFile>(server.host(), QString::fromStdString(keys.publicKeyBase64()));
    }
};

Channel& channel()
{
    static Channel c;
    return c;
}

void BM_EncryptDecrypt_1KRequest_4KReply(benchmark::State& state)
{
    Channel& c = channel();
    CQV session;
    session.SetVgateProp(QStringLiteral("bench-crypto"), 443u, 8080u);
    session.SetServerProp(1);
    const QString request = request1k();
    for (auto _ : state) {
        const QString url = session.XEncode(request, 0);
        const QString q = QUrl::fromPercentEncoding(url.mid(url.indexOf(QStringLiteral("?q=")) + 3).toLatin1());
        const velcor::OpenResult opened = c.gateway.open(q.toStdString());
        if (!opened.ok) {
            state.SkipWithError("gateway refused the request");
            break;
        }
        const QString plain = session.XDecode(QString::fromStdString(c.gateway.seal(opened.opened, c.reply)));
        if (plain.isEmpty()) {
            state.SkipWithError("engine refused the reply");
            break;
        }
        benchmark::DoNotOptimize(plain);
    }
}
BENCHMARK(BM_EncryptDecrypt_1KRequest_4KReply)->Unit(benchmark::kMicrosecond);

void BM_XParse_List500(benchmark::State& state)
{
    const QString data = list500();
    CQV qv;
    for (auto _ : state)
        benchmark::DoNotOptimize(qv.XParse(data, QStringLiteral("list0")));
}
BENCHMARK(BM_XParse_List500)->Unit(benchmark::kMicrosecond);

// The way every screen reads a list: ExistRecord, then GetTagValue per field.
void BM_WalkList500_GetTagValue(benchmark::State& state)
{
    const QString data = list500();
    const QString tag = QStringLiteral("list0");
    const QString bar = QStringLiteral("|");
    CQVParser parser(nullptr);
    for (auto _ : state) {
        int fields = 0;
        for (int i = 1; parser.ExistRecord(data, tag, i, bar); ++i) {
            for (int f = 1; f <= 5; ++f) {
                benchmark::DoNotOptimize(parser.GetTagValue(data, tag, f, i, bar));
                ++fields;
            }
        }
        if (fields != 2500) {
            state.SkipWithError("wrong record count");
            break;
        }
    }
}
BENCHMARK(BM_WalkList500_GetTagValue)->Unit(benchmark::kMillisecond);

void BM_TransData_RoundTrip(benchmark::State& state)
{
    channel();
    CQV session;
    session.SetVgateProp(QStringLiteral("bench-transdata"), 443u, 8080u);
    CQVParser parser(&session);
    const QString request = QStringLiteral("encrypt=1&trcode=PDA_U002&UserID=benchuser");
    QString reply;
    for (auto _ : state) {
        if (!parser.TransData(request, reply, 1, 0)) {
            state.SkipWithError(reply.toStdString().c_str());
            break;
        }
    }
}
BENCHMARK(BM_TransData_RoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
