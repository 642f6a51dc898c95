// CQD against loopback servers: bodies, code pages, redirects, refusals,
// failures and the status texts.
#include <gtest/gtest.h>

#include <memory>

#include <httplib.h>

#include <QLabel>
#include <QTest>

#include "CQD.h"
#include "TestServer.h"

namespace {

using transporttest::closedPort;
using transporttest::cp949;
using transporttest::Gate;
using transporttest::RawServer;
using transporttest::TestServer;

// A status label that remembers every text it painted and whether its
// download was running at that moment.
class RecordingLabel : public QLabel {
public:
    const CQD* download = nullptr;
    QStringList painted;
    bool busyWhilePainting = true;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        painted << text();
        if (download && !download->IsInDownloading())
            busyWhilePainting = false;
        QLabel::paintEvent(e);
    }
};

void answer(httplib::Response& res, int status, const std::string& body,
            const char* type = "text/plain; charset=euc-kr")
{
    res.status = status;
    res.set_content(body, type);
}

class CQDTest : public ::testing::Test {
protected:
    void TearDown() override { CQD::SetTimeouts(CQD::kDefaultConnectTimeoutMs, CQD::kDefaultTotalTimeoutMs); }
    TestServer server;
};

TEST_F(CQDTest, GetReturnsTheBodyConvertedFromCodePage949)
{
    server.onGet("/servlet/TvPdaNoEnc", [](const httplib::Request&, httplib::Response& res) {
        answer(res, 200, cp949(QStringLiteral("<DataTag><msg>10000;정상 처리되었습니다;</msg></DataTag>")));
    });
    server.start();
    CQD download;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/servlet/TvPdaNoEnc?trcode=PDA_T003"))),
              QStringLiteral("<DataTag><msg>10000;정상 처리되었습니다;</msg></DataTag>"));
    EXPECT_FALSE(download.IsInDownloading());

    const auto seen = server.lastRequest();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.target, "/servlet/TvPdaNoEnc?trcode=PDA_T003");
    EXPECT_EQ(seen.header("Accept"), "text/*");
    EXPECT_EQ(seen.header("User-Agent"), "QV");
}

TEST_F(CQDTest, TenThousandByteBodyComesBackWhole)
{
    std::string body;
    for (int i = 0; body.size() < 10000; ++i)
        body += std::to_string(i) + (i % 20 == 19 ? "\n" : ",");
    body.resize(10000);
    server.onGet("/big", [&](const httplib::Request&, httplib::Response& res) { answer(res, 200, body); });
    server.start();
    CQD download;
    const QString result = download.DownloadData(server.url(QStringLiteral("/big")));
    EXPECT_EQ(result.size(), 10000);
    EXPECT_EQ(result, QString::fromLatin1(body.data(), static_cast<qsizetype>(body.size())));
}

TEST_F(CQDTest, EmptyBodyGivesEmptyText)
{
    server.onGet("/empty", [](const httplib::Request&, httplib::Response& res) { answer(res, 200, ""); });
    server.start();
    CQD download;
    const QString result = download.DownloadData(server.url(QStringLiteral("/empty")));
    EXPECT_TRUE(result.isEmpty());
}

TEST_F(CQDTest, ServerErrorPageIsReturnedAsTheBody)
{
    server.onGet("/fail", [](const httplib::Request&, httplib::Response& res) {
        answer(res, 500, "<html><body>500 Internal Server Error</body></html>", "text/html");
    });
    server.onGet("/none", [](const httplib::Request&, httplib::Response& res) { answer(res, 404, "not here"); });
    server.start();
    CQD download;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/fail"))),
              QStringLiteral("<html><body>500 Internal Server Error</body></html>"));
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/none"))), QStringLiteral("not here"));
}

TEST_F(CQDTest, PostSendsTheFormInCodePage949)
{
    std::string seenBody;
    server.onPost("/servlet/TvPdaNoEnc", [&](const httplib::Request& req, httplib::Response& res) {
        seenBody = req.body;
        answer(res, 200, cp949(QStringLiteral("받음")));
    });
    server.start();
    CQD download;
    EXPECT_EQ(download.DownloadDataEx(server.url(QStringLiteral("/servlet/TvPdaNoEnc")),
                                      QStringLiteral("useSess=N&Name=홍길동&x=1")),
              QStringLiteral("받음"));
    // Two bytes per Hangul syllable: 홍 C8AB, 길 B1E6, 동 B5BF.
    EXPECT_EQ(seenBody, std::string("useSess=N&Name=\xC8\xAB\xB1\xE6\xB5\xBF&x=1"));
    const auto seen = server.lastRequest();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.header("Content-Length"), "25");
    EXPECT_EQ(seen.header("Expect"), "");
    EXPECT_FALSE(download.IsInDownloading());
}

class RedirectTest : public CQDTest, public ::testing::WithParamInterface<int> {};

TEST_P(RedirectTest, OneRedirectIsFollowedWithAGet)
{
    const int status = GetParam();
    server.onGet("/old", [&](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_header("Location", server.url(QStringLiteral("/new?a=1")).toStdString());
    });
    server.onPost("/old", [&](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_header("Location", server.url(QStringLiteral("/new?a=2")).toStdString());
    });
    server.onGet("/new", [](const httplib::Request&, httplib::Response& res) {
        answer(res, 200, cp949(QStringLiteral("새 주소")));
    });
    server.start();

    CQD download;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/old"))), QStringLiteral("새 주소"));
    auto seen = server.lastRequest();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.target, "/new?a=1");
    EXPECT_EQ(seen.header("Accept"), "text/*");
    EXPECT_EQ(seen.header("User-Agent"), "QV");

    // A POST's redirect is a GET without body, carrying the POST's content type.
    EXPECT_EQ(download.DownloadDataEx(server.url(QStringLiteral("/old")), QStringLiteral("q=1")),
              QStringLiteral("새 주소"));
    seen = server.lastRequest();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.target, "/new?a=2");
    EXPECT_EQ(seen.body, "");
    EXPECT_EQ(seen.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(server.requestCount(), 4);
}

INSTANTIATE_TEST_SUITE_P(Statuses, RedirectTest, ::testing::Values(301, 302, 303));

TEST_F(CQDTest, OnlyOneRedirectIsFollowed)
{
    server.onGet("/a", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(server.url(QStringLiteral("/b")).toStdString(), 302);
    });
    server.onGet("/b", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(server.url(QStringLiteral("/c")).toStdString(), 302);
    });
    server.onGet("/c", [](const httplib::Request&, httplib::Response& res) { answer(res, 200, "too far"); });
    server.start();
    CQD download;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/a"))), QString());
    EXPECT_EQ(server.requestCount(), 2);
}

TEST_F(CQDTest, RedirectToAPageThatIsNotFoundGivesEmpty)
{
    server.onGet("/a", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(server.url(QStringLiteral("/missing")).toStdString(), 302);
    });
    server.onGet("/missing", [](const httplib::Request&, httplib::Response& res) { answer(res, 404, "gone"); });
    server.start();
    CQD download;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/a"))), QString());
}

TEST_F(CQDTest, RedirectFailuresHaveTheirOwnTexts)
{
    server.onGet("/noloc", [](const httplib::Request&, httplib::Response& res) { res.status = 302; });
    server.onPost("/noloc", [](const httplib::Request&, httplib::Response& res) { res.status = 302; });
    server.onGet("/ftp", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("ftp://files.example/x", 301);
    });
    server.onGet("/https", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("https://bank.example/x", 303);
    });
    server.onGet("/garbage", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("http://bad host/", 302);
    });
    server.onGet("/relative", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/servlet/x", 302);
    });
    server.start();
    CQD download;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/noloc"))),
              QStringLiteral("Error: 재이동할 사이트 주소가 없습니다."));
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/ftp"))),
              QStringLiteral("Error: 재이동할 사이트의 주소가 'http'서비스를 하지 않습니다."));
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/https"))),
              QStringLiteral("Error: 재이동할 사이트의 주소가 'http'서비스를 하지 않습니다."));
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/garbage"))),
              QStringLiteral("Error: 재이동할 사이트의 주소를 해석할 수 없습니다."));
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/relative"))),
              QStringLiteral("Error: 재이동할 사이트의 주소를 해석할 수 없습니다."));
    EXPECT_EQ(download.DownloadDataEx(server.url(QStringLiteral("/noloc")), QStringLiteral("q=1")),
              QStringLiteral("Error: 재이동할 사이트 주소가 없습니다."));
    EXPECT_FALSE(download.IsInDownloading());
}

TEST_F(CQDTest, LowerCaseLocationHeaderIsFound)
{
    RawServer raw("HTTP/1.1 302 Found\r\nlocation: http://127.0.0.1:" + std::to_string(closedPort())
                  + "/x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    CQD download;
    // The new address is taken (and then cannot be reached).
    EXPECT_EQ(download.DownloadData(raw.url(QStringLiteral("/"))), QStringLiteral("Error: 서버에 연결할 수 없습니다."));
}

TEST_F(CQDTest, UnauthorizedIsRefused)
{
    server.onGet("/secret", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("WWW-Authenticate", "Basic realm=\"x\"");
        answer(res, 401, "auth needed");
    });
    server.onPost("/secret", [](const httplib::Request&, httplib::Response& res) { answer(res, 401, "auth"); });
    server.start();
    CQD download;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/secret"))),
              QStringLiteral("Error: 'secured http'사이트는 접속할 수 없습니다."));
    EXPECT_EQ(download.DownloadDataEx(server.url(QStringLiteral("/secret")), QStringLiteral("q=1")),
              QStringLiteral("Error: 'secured http'사이트는 접속할 수 없습니다."));
}

TEST_F(CQDTest, AddressesThatAreNotHttpAreRefused)
{
    CQD download;
    const QString mustStart = QStringLiteral("Error: 사이트 주소는 \"http://\"로 시작해야 합니다.");
    EXPECT_EQ(download.DownloadData(QStringLiteral("ftp://127.0.0.1/x")), mustStart);
    EXPECT_EQ(download.DownloadData(QStringLiteral("file:///etc/passwd")), mustStart);
    EXPECT_EQ(download.DownloadData(QStringLiteral("https://127.0.0.1/x")), mustStart);
    EXPECT_EQ(download.DownloadData(QStringLiteral("servlet/TvPdaMain")), mustStart);
    EXPECT_EQ(download.DownloadData(QString()), mustStart);
    EXPECT_EQ(download.DownloadDataEx(QStringLiteral("ftp://127.0.0.1/x"), QStringLiteral("q=1")), mustStart);
    // Recognised as http, but the rest cannot be split.
    EXPECT_EQ(download.DownloadData(QStringLiteral("http://")), QStringLiteral("Error: 알려지지않은(Unknown) 에러입니다."));
    EXPECT_EQ(download.DownloadData(QStringLiteral("http://bad host/x")),
              QStringLiteral("Error: 알려지지않은(Unknown) 에러입니다."));
    EXPECT_EQ(download.DownloadDataEx(QStringLiteral("http://"), QStringLiteral("q=1")),
              QStringLiteral("Error: 알려지지않은(Unknown) 에러입니다."));
}

TEST_F(CQDTest, ConnectionRefusedIsAnError)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/servlet/TvPdaMain").arg(closedPort());
    CQD download;
    EXPECT_EQ(download.DownloadData(url), QStringLiteral("Error: 서버에 연결할 수 없습니다."));
    EXPECT_EQ(download.DownloadDataEx(url, QStringLiteral("q=1")), QStringLiteral("Error: 서버에 연결할 수 없습니다."));
    EXPECT_FALSE(download.IsInDownloading());
}

TEST_F(CQDTest, StalledServerTimesOut)
{
    // The handlers own the gate: one may still be on its way into wait() when
    // the test ends, and the server outlives this body.
    auto gate = std::make_shared<Gate>();
    server.onGet("/stall", [gate](const httplib::Request&, httplib::Response& res) {
        gate->wait();
        answer(res, 200, "late");
    });
    server.onPost("/stall", [gate](const httplib::Request&, httplib::Response& res) {
        gate->wait();
        answer(res, 200, "late");
    });
    server.start();
    CQD::SetTimeouts(1000, 1000);
    CQD download;
    const QString timedOut = QStringLiteral("Error: 서버와의 통신 시간이 초과되었습니다.");
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/stall"))), timedOut);
    EXPECT_EQ(download.DownloadDataEx(server.url(QStringLiteral("/stall")), QStringLiteral("q=1")), timedOut);
    gate->release();
}

TEST_F(CQDTest, TimeoutsDefaultAndReset)
{
    EXPECT_EQ(CQD::ConnectTimeoutMs(), 10000);
    EXPECT_EQ(CQD::TotalTimeoutMs(), 60000);
    CQD::SetTimeouts(1500, 0);
    EXPECT_EQ(CQD::ConnectTimeoutMs(), 1500);
    EXPECT_EQ(CQD::TotalTimeoutMs(), 60000);
}

TEST_F(CQDTest, BrokenAnswersAreErrorsNotData)
{
    CQD download;
    {
        RawServer silent("");
        EXPECT_EQ(download.DownloadData(silent.url(QStringLiteral("/"))),
                  QStringLiteral("Error: 서버로부터 응답이 없습니다."));
    }
    {
        // The body stops short of its announced length: nothing half-read is returned.
        RawServer truncated("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n<DataTag><msg>10000;");
        EXPECT_EQ(download.DownloadData(truncated.url(QStringLiteral("/"))),
                  QStringLiteral("Error: 서버와의 연결이 끊어졌습니다."));
    }
    {
        RawServer garbage("SSH-2.0-OpenSSH\r\n\r\n");
        const QString result = download.DownloadData(garbage.url(QStringLiteral("/")));
        EXPECT_TRUE(result.startsWith(QLatin1String("Error: "))) << result.toStdString();
    }
}

TEST_F(CQDTest, OversizedBodyIsRefused)
{
    RawServer huge("HTTP/1.1 200 OK\r\nContent-Length: 40000000\r\n\r\nxxxx");
    CQD download;
    EXPECT_EQ(download.DownloadData(huge.url(QStringLiteral("/"))),
              QStringLiteral("Error: 페이지를 로드할 메모리가 부족합니다."));
}

TEST_F(CQDTest, StatusLabelFollowsTheExchange)
{
    server.onGet("/page", [](const httplib::Request&, httplib::Response& res) { answer(res, 200, "body"); });
    server.start();
    CQD download;
    RecordingLabel label;
    label.download = &download;
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    label.painted.clear();
    label.busyWhilePainting = true;
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/page")), &label, 1001), QStringLiteral("body"));
    EXPECT_EQ(label.text(), QStringLiteral("다운로드 완료"));
    const QStringList& seen = label.painted;
    for (const char* step : {"서버 연결중...", "서버에 정보 요청중...", "응답 대기중...", "응답 수신 완료"})
        EXPECT_TRUE(seen.contains(QString::fromUtf8(step))) << step;
    EXPECT_LT(seen.indexOf(QStringLiteral("서버 연결중...")), seen.indexOf(QStringLiteral("서버에 정보 요청중...")));
    EXPECT_LT(seen.indexOf(QStringLiteral("서버에 정보 요청중...")), seen.indexOf(QStringLiteral("응답 대기중...")));
    EXPECT_EQ(seen.last(), QStringLiteral("다운로드 완료"));
    EXPECT_TRUE(label.busyWhilePainting);
}

TEST_F(CQDTest, StatusLabelShowsTheRedirectAndNoCompletionOnErrors)
{
    server.onGet("/secret", [](const httplib::Request&, httplib::Response& res) { answer(res, 401, ""); });
    server.onGet("/ftp", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("ftp://files.example/x", 302);
    });
    server.start();
    CQD download;
    QLabel label;
    label.setText(QStringLiteral("-"));
    download.DownloadData(server.url(QStringLiteral("/secret")), &label, 1001);
    EXPECT_NE(label.text(), QStringLiteral("다운로드 완료"));

    download.DownloadData(server.url(QStringLiteral("/ftp")), &label, 1001);
    EXPECT_EQ(label.text(), QStringLiteral("참고: ftp://files.example/x 사이트로 재이동중..."));

    // Without a label nothing is reported anywhere and the result is the same.
    EXPECT_EQ(download.DownloadData(server.url(QStringLiteral("/ftp"))),
              QStringLiteral("Error: 재이동할 사이트의 주소가 'http'서비스를 하지 않습니다."));
}

} // namespace
