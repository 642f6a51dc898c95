// Slow and idle clients against the bank's HTTP front, over real sockets:
// directly against bankd (its connection intake, request deadline and
// per-address limit) and through the nginx front of the serve path.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "AccessLog.h"
#include "Admin.h"
#include "BankServer.h"
#include "DataFolder.h"
#include "Settings.h"
#include "TestBank.h"
#include "velcor/Gateway.h"
#include "velcor/ClientChannel.h"
#include "velcor/GatewayKeys.h"

using namespace bankd;
using namespace bankd::test;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

namespace {

// A normal request must be answered while slow clients hold; this bound only
// tells "answered" from "blocked behind them" (blocked lasts as long as they
// trickle, 20 s here), with room for a loaded 2-core machine.
constexpr auto kAnsweredWithin = 5s;
constexpr auto kTrickleFor = 20s;

// A TCP connection to 127.0.0.1:port from the given loopback source address.
int connectFrom(const char* source, int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source, &from.sin_addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
        close(fd);
        return -1;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const std::string& s)
{
    size_t done = 0;
    while (done < s.size()) {
        ssize_t n = send(fd, s.data() + done, s.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// What the server sent before closing, waiting at most `limit`; `closed` says
// whether it closed within it.
std::string readUntilClosed(int fd, std::chrono::milliseconds limit, bool* closed)
{
    std::string got;
    const auto end = SteadyClock::now() + limit;
    *closed = false;
    while (SteadyClock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - SteadyClock::now());
        if (poll(&p, 1, static_cast<int>(std::max<long>(1, left.count()))) <= 0)
            continue;
        char buf[4096];
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) {
            *closed = true;
            break;
        }
        got.append(buf, static_cast<size_t>(n));
    }
    return got;
}

struct Answer {
    int status = 0;  // 0: no answer
    std::string head;
    std::chrono::microseconds took{0};
};

double millis(std::chrono::microseconds us)
{
    return static_cast<double>(us.count()) / 1000.0;
}

// One GET with "Connection: close" from a loopback source address.
Answer timedGet(int port, const std::string& path, const char* source = "127.0.0.1", const std::string& headers = {})
{
    Answer a;
    const auto start = SteadyClock::now();
    int fd = connectFrom(source, port);
    if (fd < 0)
        return a;
    if (sendAll(fd, "GET " + path + " HTTP/1.1\r\nHost: bank\r\n" + headers + "Connection: close\r\n\r\n")) {
        bool closed = false;
        std::string reply = readUntilClosed(fd, 60s, &closed);
        a.head = reply.substr(0, reply.find("\r\n\r\n"));
        if (reply.rfind("HTTP/1.", 0) == 0 && reply.size() > 12)
            a.status = std::atoi(reply.c_str() + 9);
    }
    close(fd);
    a.took = std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - start);
    return a;
}

// Connections that send a request's headers a byte at a time, never ending
// them (or, with trickle off, send nothing at all after connecting).
class SlowClients {
public:
    SlowClients(int port, int count, const char* source = "127.0.0.1", bool trickle = true)
    {
        for (int i = 0; i < count; ++i) {
            int fd = connectFrom(source, port);
            if (fd < 0)
                continue;
            if (trickle)
                sendAll(fd, "GET /download/compaq/ping.txt HTTP/1.1\r\nHost: bank\r\nX-Slow: ");
            fds_.push_back(fd);
        }
        open_ = std::vector<bool>(fds_.size(), true);
        if (trickle)
            thread_ = std::thread([this] { run(); });
    }
    ~SlowClients()
    {
        stop();
        for (int fd : fds_)
            close(fd);
    }
    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    int connected() const { return static_cast<int>(fds_.size()); }
    // Connections the server has not closed (polled now).
    int stillOpen()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        int n = 0;
        for (size_t i = 0; i < fds_.size(); ++i) {
            if (open_[i] && peerClosed(fds_[i]))
                open_[i] = false;
            n += open_[i] ? 1 : 0;
        }
        return n;
    }

private:
    static bool peerClosed(int fd)
    {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0)
            return false;
        char buf[512];
        ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        return n <= 0 || std::string(buf, static_cast<size_t>(n)).rfind("HTTP/1.1 ", 0) == 0;
    }
    void run()
    {
        const auto end = SteadyClock::now() + kTrickleFor;
        while (!stop_ && SteadyClock::now() < end) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                for (size_t i = 0; i < fds_.size(); ++i)
                    if (open_[i] && !sendAll(fds_[i], "a"))
                        open_[i] = false;
            }
            std::this_thread::sleep_for(250ms);
        }
    }

    std::vector<int> fds_;
    std::vector<bool> open_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

class FrontFixture : public ::testing::Test {
protected:
    FrontFixture() : keys(velcor::generateGatewayKeyPair()), gateway(keys), log(bank.dir.str("access.log"), bank.clock)
    {
        std::filesystem::create_directories(bank.dir.str("download"));
        std::ofstream(bank.dir.str("download/ping.txt")) << "pong";
    }

    void startBank(ServerOptions o = {})
    {
        o.downloadDir = bank.dir.str("download");
        server = std::make_unique<BankServer>(bank.dispatcher, gateway, log, o);
        server->start();
    }

    std::string accessLog() const
    {
        std::ifstream in(bank.dir.str("access.log"));
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    TestBank bank;
    velcor::GatewayKeyPair keys;
    velcor::Gateway gateway;
    AccessLog log;
    std::unique_ptr<BankServer> server;
};

} // namespace

TEST_F(FrontFixture, NormalRequestIsAnsweredWhile64ConnectionsSendHeadersSlowly)
{
    startBank();  // eight workers
    SlowClients slow(server->port(), 64);
    ASSERT_EQ(slow.connected(), 64);
    std::this_thread::sleep_for(500ms);  // all of them in, each with a partial request
    Answer a = timedGet(server->port(), "/download/compaq/ping.txt");
    std::printf("[ figure ] bankd direct, 64 slow-header connections: normal request answered in %.1f ms\n",
                millis(a.took));
    EXPECT_EQ(a.status, 200) << a.head;
    EXPECT_LT(a.took, kAnsweredWithin);
    // They were held, not turned away, while the request went past them.
    EXPECT_EQ(slow.stillOpen(), 64);
}

TEST_F(FrontFixture, ARequestNotWholeWithinTheDeadlineGets408AndIsClosed)
{
    ServerOptions o;
    o.requestDeadline = 1500ms;
    startBank(o);
    SlowClients slow(server->port(), 3);                    // trickling headers
    SlowClients silent(server->port(), 3, "127.0.0.1", false);  // connected, nothing sent
    int body = connectFrom("127.0.0.1", server->port());    // headers whole, body never
    ASSERT_TRUE(sendAll(body, "POST /servlet/TvPdaNoEnc HTTP/1.1\r\nHost: bank\r\nContent-Type: "
                              "application/x-www-form-urlencoded\r\nContent-Length: 100\r\n\r\ntrcode="));
    const auto start = SteadyClock::now();
    bool closed = false;
    std::string reply = readUntilClosed(body, 15s, &closed);
    const auto took = SteadyClock::now() - start;
    close(body);
    EXPECT_TRUE(closed);
    EXPECT_EQ(reply.rfind("HTTP/1.1 408 ", 0), 0u) << reply;
    EXPECT_GE(took, 1200ms);  // not before its deadline
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(slow.stillOpen(), 0);
    EXPECT_EQ(silent.stillOpen(), 0);
    // A request that arrives whole in time is answered on the same server.
    EXPECT_EQ(timedGet(server->port(), "/download/compaq/ping.txt").status, 200);
}

TEST_F(FrontFixture, OneAddressHoldsAtMostItsConnectionsOthersAreServed)
{
    ServerOptions o;
    o.connectionsPerAddress = 8;
    startBank(o);
    {
        SlowClients hog(server->port(), 20, "127.0.0.2");
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(hog.stillOpen(), 8);
        EXPECT_EQ(server->refusedConnections(), 12u);  // answered 503 and closed
        int ninth = connectFrom("127.0.0.2", server->port());
        bool closed = false;
        std::string refused = readUntilClosed(ninth, 10s, &closed);
        close(ninth);
        EXPECT_TRUE(closed);
        EXPECT_EQ(refused.rfind("HTTP/1.1 503 ", 0), 0u) << refused;
        Answer other = timedGet(server->port(), "/download/compaq/ping.txt", "127.0.0.1");
        EXPECT_EQ(other.status, 200);
        EXPECT_LT(other.took, kAnsweredWithin);
    }
    // Closed connections no longer count against the address.
    Answer after;
    for (int i = 0; i < 50 && after.status != 200; ++i) {
        std::this_thread::sleep_for(50ms);
        after = timedGet(server->port(), "/download/compaq/ping.txt", "127.0.0.2");
    }
    EXPECT_EQ(after.status, 200);
}

TEST_F(FrontFixture, ATrustedFrontIsNotHeldToTheAddressLimitAndNamesTheClient)
{
    ServerOptions o;
    o.connectionsPerAddress = 4;
    o.trustedFronts = {"127.0.0.2"};
    startBank(o);
    SlowClients front(server->port(), 12, "127.0.0.2");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(front.stillOpen(), 12);
    EXPECT_EQ(server->refusedConnections(), 0u);
    // X-Real-IP is taken from the trusted front, and from no one else.
    EXPECT_EQ(timedGet(server->port(), "/download/compaq/ping.txt", "127.0.0.2", "X-Real-IP: 203.0.113.5\r\n").status,
              200);
    EXPECT_EQ(timedGet(server->port(), "/download/compaq/ping.txt", "127.0.0.3", "X-Real-IP: 203.0.113.6\r\n").status,
              200);
    const std::string text = accessLog();
    EXPECT_NE(text.find("addr=203.0.113.5\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("203.0.113.6"), std::string::npos) << text;
    EXPECT_NE(text.find("addr=127.0.0.3\n"), std::string::npos) << text;
}

TEST_F(FrontFixture, ThroughTheNginxFrontANormalRequestIsAnsweredWhile64ConnectionsSendHeadersSlowly)
{
    const char* source = std::getenv("TVPB_SOURCE");
    ASSERT_TRUE(source) << "TVPB_SOURCE names the source folder (set by ctest)";
    ServerOptions o;
    o.trustedFronts = {"127.0.0.1"};
    startBank(o);
    int frontPort = 0;
    {
        int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
        frontPort = ntohs(a.sin_port);
        close(probe);
    }
    const std::string runtime = bank.dir.str("front");
    const std::string script = std::string(source) + "/scripts/nginx-front.sh";
    const std::string start = "bash '" + script + "' start --listen 127.0.0.1:" + std::to_string(frontPort) +
                              " --upstream 127.0.0.1:" + std::to_string(server->port()) + " --runtime '" + runtime +
                              "' >/dev/null";
    ASSERT_EQ(std::system(start.c_str()), 0) << "nginx front did not start (nginx-light is in scripts/deps.sh)";
    struct Stop {
        std::string command;
        ~Stop() { [[maybe_unused]] int rc = std::system(command.c_str()); }
    } stopFront{"bash '" + script + "' stop --runtime '" + runtime + "'"};

    SlowClients slow(frontPort, 64);
    ASSERT_EQ(slow.connected(), 64);
    std::this_thread::sleep_for(500ms);
    // From another loopback address: nginx names it, bankd (trusting nginx) logs it.
    Answer a = timedGet(frontPort, "/download/compaq/ping.txt", "127.0.0.4", "X-Real-IP: 198.51.100.66\r\n");
    std::printf("[ figure ] through nginx, 64 slow-header connections: normal request answered in %.1f ms\n",
                millis(a.took));
    EXPECT_EQ(a.status, 200) << a.head;
    EXPECT_LT(a.took, kAnsweredWithin);
    const std::string text = accessLog();
    EXPECT_NE(text.find("route=download addr=127.0.0.4\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("198.51.100.66"), std::string::npos) << "a client's own X-Real-IP passed the front";
}

// One connection: sends `request`, returns all it got until the server closed it.
std::string exchangeRaw(int port, const std::string& request)
{
    int fd = connectFrom("127.0.0.1", port);
    sendAll(fd, request);
    bool closed = false;
    std::string reply = readUntilClosed(fd, 15s, &closed);
    close(fd);
    return reply;
}

// Appends to `got` what arrives within `ms`; false once the peer has closed.
bool readSome(int fd, std::string& got, int ms)
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0)
        return true;
    char buf[4096];
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0)
        return false;
    got.append(buf, static_cast<size_t>(n));
    return true;
}

// What arrives until `marker` has (or 10 s have passed).
std::string readUntilSeen(int fd, const std::string& marker)
{
    std::string got;
    for (int i = 0; i < 100 && got.find(marker) == std::string::npos; ++i)
        if (!readSome(fd, got, 100))
            break;
    return got;
}

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(FrontFixture, KeptAlivePipelinedAndContinuedRequestsAreAnsweredAndOversizeOnesRefused)
{
    startBank();
    const std::string get = "GET /download/compaq/ping.txt HTTP/1.1\r\nHost: bank\r\n\r\n";
    const std::string getClose = "GET /download/compaq/ping.txt HTTP/1.1\r\nHost: bank\r\nConnection: close\r\n\r\n";
    // Two requests in one packet: two answers, in order.
    std::string both = exchangeRaw(server->port(), get + getClose);
    EXPECT_EQ(count(both, "HTTP/1.1 200 OK"), 2u) << both;
    EXPECT_EQ(count(both, "pong"), 2u) << both;
    // A kept-alive connection waits for its next request.
    {
        int fd = connectFrom("127.0.0.1", server->port());
        ASSERT_TRUE(sendAll(fd, get));
        std::string first = readUntilSeen(fd, "pong");
        EXPECT_EQ(count(first, "HTTP/1.1 200 OK"), 1u) << first;
        std::this_thread::sleep_for(300ms);
        ASSERT_TRUE(sendAll(fd, getClose));
        bool closed = false;
        std::string second = readUntilClosed(fd, 15s, &closed);
        close(fd);
        EXPECT_EQ(count(second, "HTTP/1.1 200 OK"), 1u) << second;
    }
    // A client that waits for "100 Continue" gets it once, then its answer.
    {
        const std::string body = "trcode=PDA_T003";
        int fd = connectFrom("127.0.0.1", server->port());
        ASSERT_TRUE(sendAll(fd, "POST /servlet/TvPdaNoEnc HTTP/1.1\r\nHost: bank\r\nExpect: 100-continue\r\n"
                                "Content-Type: application/x-www-form-urlencoded\r\nConnection: close\r\n"
                                "Content-Length: " +
                                    std::to_string(body.size()) + "\r\n\r\n"));
        std::string interim = readUntilSeen(fd, "\r\n\r\n");
        EXPECT_EQ(interim, "HTTP/1.1 100 Continue\r\n\r\n");
        ASSERT_TRUE(sendAll(fd, body));
        bool closed = false;
        std::string reply = readUntilClosed(fd, 15s, &closed);
        close(fd);
        EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK", 0), 0u) << reply;
        EXPECT_EQ(count(reply, "100 Continue"), 0u) << reply;
        EXPECT_NE(reply.find("free0"), std::string::npos) << reply;
    }
    // bankd's size limits: a request line over 8 KB, a form body over 8 KB, any
    // body over the payload limit, a body of unknown length.
    const std::string longQuery = "GET /servlet/TvPdaMain?q=" + std::string(8200, 'A') + " HTTP/1.1\r\nHost: b\r\n\r\n";
    EXPECT_EQ(exchangeRaw(server->port(), longQuery).rfind("HTTP/1.1 414 ", 0), 0u);
    const std::string form = "q=" + std::string(8200, 'A');
    EXPECT_EQ(exchangeRaw(server->port(), "POST /servlet/TvPdaMain HTTP/1.1\r\nHost: b\r\nContent-Type: "
                                          "application/x-www-form-urlencoded\r\nContent-Length: " +
                                              std::to_string(form.size()) + "\r\n\r\n" + form)
                  .rfind("HTTP/1.1 413 ", 0),
              0u);
    EXPECT_EQ(exchangeRaw(server->port(), "POST /gateway/end HTTP/1.1\r\nHost: b\r\nContent-Length: 300000\r\n\r\n")
                  .rfind("HTTP/1.1 413 ", 0),
              0u);
    EXPECT_EQ(exchangeRaw(server->port(),
                          "POST /servlet/TvPdaNoEnc HTTP/1.1\r\nHost: b\r\nTransfer-Encoding: chunked\r\n\r\n")
                  .rfind("HTTP/1.1 411 ", 0),
              0u);
    // And the server still answers.
    EXPECT_EQ(timedGet(server->port(), "/download/compaq/ping.txt").status, 200);
}

TEST(FrontSettings, ComeFromTheDataFolderAndABadValueIsNamed)
{
    TempDir dir;
    InitOptions o;
    o.dataDir = dir.str("data");
    o.cost = HashCost::minimal();
    initBank(o);
    DataFolder folder(o.dataDir);
    // A new folder holds the defaults, written out: no front trusted.
    Settings defaults = readSettings(folder.settings());
    EXPECT_TRUE(defaults.front.trustedFronts.empty());
    EXPECT_EQ(defaults.front.connectionsPerAddress, FrontSettings{}.connectionsPerAddress);
    EXPECT_EQ(defaults.front.requestSeconds, FrontSettings{}.requestSeconds);
    std::string text;
    {
        std::ifstream in(folder.settings());
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_NE(text.find("[front]\ntrusted_fronts=\n"), std::string::npos) << text;
    auto write = [&](const std::string& front) {
        std::ofstream f(folder.settings());
        f << "[rate_limits]\nper_user=7\n[front]\n" << front;
    };
    write("trusted_fronts = 127.0.0.1, 0:0::1 10.0.0.2\nconnections_per_address=8\nrequest_seconds=3\n");
    Settings s = readSettings(folder.settings());
    EXPECT_EQ(s.front.trustedFronts, (std::set<std::string>{"127.0.0.1", "::1", "10.0.0.2"}));
    EXPECT_EQ(s.front.connectionsPerAddress, 8);
    EXPECT_EQ(s.front.requestSeconds, 3);
    EXPECT_EQ(s.front.maxConnections, FrontSettings{}.maxConnections);
    EXPECT_EQ(s.rateLimits.perUser, 7);
    for (std::string bad : {"trusted_fronts=nginx.local\n", "request_seconds=0\n", "max_connections=x\n"}) {
        write(bad);
        try {
            readSettings(folder.settings());
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const DataFolderError& e) {
            EXPECT_NE(std::string(e.what()).find(bad.substr(0, bad.find('='))), std::string::npos) << e.what();
        }
    }
}

namespace {

// The length of the whole response (head and Content-Length bytes of body)
// at `from` in got; 0 while it is not whole.
size_t wholeResponse(const std::string& got, size_t from)
{
    const size_t headEnd = got.find("\r\n\r\n", from);
    if (headEnd == std::string::npos)
        return 0;
    const size_t at = got.find("Content-Length: ", from);
    const size_t length = at < headEnd ? std::stoul(got.substr(at + 16)) : 0;
    return got.size() >= headEnd + 4 + length ? headEnd + 4 + length - from : 0;
}

// `count` whole responses from fd (fewer when it stops sending).
std::vector<std::string> readResponses(int fd, size_t count)
{
    std::string got;
    std::vector<std::string> responses;
    size_t from = 0;
    for (int i = 0; i < 200 && responses.size() < count; ++i) {
        while (responses.size() < count) {
            const size_t n = wholeResponse(got, from);
            if (n == 0)
                break;
            responses.push_back(got.substr(from, n));
            from += n;
        }
        if (responses.size() == count)
            break;
        if (!readSome(fd, got, 50))
            break;
    }
    return responses;
}

// One whole response from fd.
std::string readResponse(int fd)
{
    auto responses = readResponses(fd, 1);
    return responses.empty() ? std::string() : responses.front();
}

std::string headOf(const std::string& response)
{
    return response.substr(0, response.find("\r\n\r\n") + 4);
}

std::string bodyOf(const std::string& response)
{
    return response.substr(response.find("\r\n\r\n") + 4);
}

// The client's escaping of a cipher text for "?q=".
std::string escaped(const std::string& cipher)
{
    std::string out;
    for (char c : cipher)
        out += c == '+' ? std::string("%2B") : c == '=' ? std::string("%3D") : std::string(1, c);
    return out;
}

} // namespace

// The client's encrypted GET is answered by a short path of its own when its
// headers are the simple ones, and by the general HTTP parser otherwise (here:
// one header more). Both must give the same status line, headers and answer.
TEST_F(FrontFixture, TheEncryptedGetIsAnsweredAlikeByItsShortPathAndByTheGeneralParser)
{
    ServerOptions o;
    o.keepAliveMax = 3;
    o.trustedFronts = {"127.0.0.1"};
    startBank(o);
    velcor::ClientChannel channel(keys.publicKey);
    const std::string request = "encrypt=1&trcode=PDA_U002&UserID=NOBODY";
    auto get = [&](const std::string& q, const std::string& headers) {
        return "GET /servlet/TvPdaMain?q=" + q + " HTTP/1.1\r\nHost: bank\r\nAccept: */*\r\n" + headers + "\r\n";
    };
    // Each connection: two kept-alive requests and the last one it may carry.
    std::vector<std::string> heads[2], answers[2];
    for (int general = 0; general < 2; ++general) {
        int fd = connectFrom("127.0.0.1", server->port());
        for (int i = 0; i < 3; ++i) {
            std::string headers = "X-Real-IP: 198.51.100." + std::to_string(10 * general + i) + "\r\n";
            if (general)
                headers += "Cache-Control: no-cache\r\n";
            ASSERT_TRUE(sendAll(fd, get(escaped(channel.sealRequest(false, request)), headers)));
            std::string response = readResponse(fd);
            heads[general].push_back(headOf(response));
            auto plain = channel.openReply(bodyOf(response));
            ASSERT_TRUE(plain) << response;
            answers[general].push_back(*plain);
        }
        bool closed = false;
        readUntilClosed(fd, 5s, &closed);
        EXPECT_TRUE(closed) << "the connection's last request";
        close(fd);
    }
    EXPECT_EQ(heads[0], heads[1]);
    EXPECT_EQ(answers[0], answers[1]);
    EXPECT_EQ(heads[0][0].rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << heads[0][0];
    EXPECT_NE(heads[0][0].find("Keep-Alive: "), std::string::npos) << heads[0][0];
    EXPECT_NE(heads[0][2].find("Connection: close\r\n"), std::string::npos) << heads[0][2];
    EXPECT_NE(answers[0][0].find("<msg>"), std::string::npos) << answers[0][0];
    // The address the trusted front named, on both paths.
    const std::string log = accessLog();
    for (const char* a : {"addr=198.51.100.1\n", "addr=198.51.100.12\n"})
        EXPECT_NE(log.find(a), std::string::npos) << a << log;
    // A request the gateway refuses, and one that asks to close: the same bytes
    // either way (the refusal's text is not sealed).
    for (const std::string& extra : {std::string(), std::string("Connection: close\r\n")}) {
        std::string answers2[2];
        for (int general = 0; general < 2; ++general)
            answers2[general] =
                exchangeRaw(server->port(), get("bm9ub25zZW5zZQ%3D%3D", extra + (general ? "Cache-Control: x\r\n" : "") +
                                                                            "Connection: close\r\n"));
        EXPECT_EQ(answers2[0], answers2[1]);
        EXPECT_EQ(answers2[0].rfind("HTTP/1.1 400 Bad Request\r\n", 0), 0u) << answers2[0];
    }
    // Two requests in one packet: both answered, in order.
    velcor::ClientChannel second(keys.publicKey);
    int fd = connectFrom("127.0.0.1", server->port());
    ASSERT_TRUE(sendAll(fd, get(escaped(channel.sealRequest(false, request)), "") +
                                get(escaped(second.sealRequest(false, request)), "Connection: close\r\n")));
    bool closed = false;
    std::string both = readUntilClosed(fd, 10s, &closed);
    close(fd);
    EXPECT_EQ(count(both, "HTTP/1.1 200 OK\r\n"), 2u) << both;
    EXPECT_TRUE(second.openReply(bodyOf(both.substr(both.find("HTTP/1.1 200 OK", 1)))));
}

// The client's form POST (the signed path) likewise: answered by the short
// path when it is exactly the client's form, by the general parser otherwise
// (one header more), with the same bytes either way.
TEST_F(FrontFixture, TheEncryptedFormPostIsAnsweredAlikeByItsShortPathAndByTheGeneralParser)
{
    ServerOptions o;
    o.keepAliveMax = 4;
    o.trustedFronts = {"127.0.0.1"};
    startBank(o);
    const std::string request = "encrypt=1&trcode=PDA_T001&UserID=NOBODY&WthrwAccNO=1002003004005";
    auto post = [](const std::string& body, const std::string& headers,
                   const std::string& type = "application/x-www-form-urlencoded") {
        return "POST /servlet/TvPdaMain HTTP/1.1\r\nHost: bank\r\nAccept: */*\r\nContent-Type: " + type + "\r\n" +
               headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    };
    auto general = [](bool on) { return std::string(on ? "Cache-Control: no-cache\r\n" : ""); };
    // Each connection: three kept-alive requests and the last one it may
    // carry, then two in one packet and one that asks to close.
    std::vector<std::string> heads[2], answers[2];
    std::string sessions[2];
    for (int g = 0; g < 2; ++g) {
        velcor::ClientChannel channel(keys.publicKey);
        sessions[g] = channel.sessionKey().substr(0, 8);
        int fd = connectFrom("127.0.0.1", server->port());
        for (int i = 0; i < 4; ++i) {
            const std::string headers = "X-Real-IP: 198.51.100." + std::to_string(30 + 10 * g + i) + "\r\n" + general(g);
            ASSERT_TRUE(sendAll(fd, post("q=" + escaped(channel.sealRequest(true, request)), headers)));
            std::string response = readResponse(fd);
            heads[g].push_back(headOf(response));
            auto plain = channel.openReply(bodyOf(response));
            ASSERT_TRUE(plain) << response;
            answers[g].push_back(*plain);
        }
        bool closed = false;
        readUntilClosed(fd, 5s, &closed);
        EXPECT_TRUE(closed) << "the connection's last request";
        close(fd);

        velcor::ClientChannel second(keys.publicKey);
        fd = connectFrom("127.0.0.1", server->port());
        ASSERT_TRUE(sendAll(fd, post("q=" + escaped(channel.sealRequest(true, request)), general(g)) +
                                    post("q=" + escaped(second.sealRequest(true, request)), general(g))));
        const std::vector<std::string> both = readResponses(fd, 2);
        ASSERT_EQ(both.size(), 2u);
        heads[g].push_back(headOf(both[0]));
        heads[g].push_back(headOf(both[1]));
        auto one = channel.openReply(bodyOf(both[0]));
        auto two = second.openReply(bodyOf(both[1]));
        ASSERT_TRUE(one && two) << both[0] << both[1];
        answers[g].push_back(*one);
        answers[g].push_back(*two);
        ASSERT_TRUE(sendAll(fd, post("q=" + escaped(second.sealRequest(true, request)), "Connection: close\r\n" + general(g))));
        const std::string last = readUntilClosed(fd, 10s, &closed);
        EXPECT_TRUE(closed) << "asked to close";
        close(fd);
        heads[g].push_back(headOf(last));
        auto three = second.openReply(bodyOf(last));
        ASSERT_TRUE(three) << last;
        answers[g].push_back(*three);
    }
    EXPECT_EQ(heads[0], heads[1]);
    EXPECT_EQ(answers[0], answers[1]);
    ASSERT_EQ(heads[0].size(), 7u);
    for (const std::string& head : heads[0])
        EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << head;
    EXPECT_NE(heads[0][0].find("Keep-Alive: timeout=5, max=4\r\n"), std::string::npos) << heads[0][0];
    EXPECT_NE(heads[0][3].find("Connection: close\r\n"), std::string::npos) << heads[0][3];
    EXPECT_NE(heads[0][6].find("Connection: close\r\n"), std::string::npos) << heads[0][6];
    EXPECT_NE(answers[0][0].find("<msg>"), std::string::npos) << answers[0][0];
    // The access log: the address the trusted front named, and the same line
    // on both paths but for the times and the session.
    const std::string log = accessLog();
    auto lineOf = [&](const std::string& addr) {
        const size_t end = log.find("addr=" + addr + "\n");
        if (end == std::string::npos)
            return std::string("none for " + addr);
        const size_t start = log.rfind('\n', end) + 1;
        std::string line = log.substr(start, end - start);
        line.erase(0, line.find(' '));  // the time
        for (const char* field : {" us=", " sess="}) {
            const size_t at = line.find(field);
            line.erase(at, line.find(' ', at + 1) - at);
        }
        return line;
    };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(lineOf("198.51.100." + std::to_string(30 + i)), lineOf("198.51.100." + std::to_string(40 + i)));
    for (const std::string& session : sessions)
        EXPECT_NE(log.find(" sess=" + session + " "), std::string::npos) << session << log;
    EXPECT_NE(lineOf("198.51.100.30").find("PDA_T001"), std::string::npos) << log;

    // Refused by the gateway (a garbled cipher, an empty one), kept alive or
    // asked to close: the same bytes either way (the refusal is not sealed).
    for (const std::string& body : {std::string("q=bm9ub25zZW5zZQ%3D%3D"), std::string("q=")}) {
        for (const std::string& closing : {std::string(), std::string("Connection: close\r\n")}) {
            std::string replies[2];
            for (int g = 0; g < 2; ++g) {
                int fd = connectFrom("127.0.0.1", server->port());
                ASSERT_TRUE(sendAll(fd, post(body, closing + general(g))));
                replies[g] = readResponse(fd);
                close(fd);
            }
            EXPECT_EQ(replies[0], replies[1]) << body << closing;
            EXPECT_EQ(replies[0].rfind("HTTP/1.1 400 Bad Request\r\n", 0), 0u) << replies[0];
        }
    }
    // Not the client's exact form - more parameters, another type, "Expect" -
    // goes the general way, which still finds the cipher.
    velcor::ClientChannel other(keys.publicKey);
    for (int i = 0; i < 4; ++i) {
        const std::string q = "q=" + escaped(other.sealRequest(true, request));
        std::string reply;
        if (i == 3) {
            // A client that waits for "100 Continue" before its body.
            int fd = connectFrom("127.0.0.1", server->port());
            const std::string whole = post(q, "Expect: 100-continue\r\nConnection: close\r\n");
            ASSERT_TRUE(sendAll(fd, whole.substr(0, whole.size() - q.size())));
            EXPECT_EQ(readUntilSeen(fd, "\r\n\r\n"), "HTTP/1.1 100 Continue\r\n\r\n");
            ASSERT_TRUE(sendAll(fd, q));
            bool closed = false;
            reply = readUntilClosed(fd, 10s, &closed);
            close(fd);
        } else {
            reply = exchangeRaw(server->port(), i == 0   ? post(q + "&y", "Connection: close\r\n")
                                                : i == 1 ? post("x=1&" + q, "Connection: close\r\n")
                                                         : post(q, "Connection: close\r\n", "text/plain"));
        }
        EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << i << reply;
        EXPECT_TRUE(other.openReply(bodyOf(reply))) << i << reply;
    }
}
