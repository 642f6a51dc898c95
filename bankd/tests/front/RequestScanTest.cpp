// Finding where a request ends before anyone parses it.
#include <gtest/gtest.h>

#include <string>

#include "RequestScan.h"
#include "SimpleRequest.h"

using namespace bankd;

namespace {
constexpr std::size_t kHeaderMax = 256;
constexpr std::size_t kBodyMax = 64;
RequestScan scan(const std::string& s)
{
    return scanRequest(s, kHeaderMax, kBodyMax);
}
} // namespace

TEST(RequestScan, ARequestEndsAfterItsHeadersAndTheBodyItAnnounces)
{
    const std::string get = "GET /a?q=1 HTTP/1.1\r\nHost: b\r\n\r\n";
    for (std::size_t cut = 0; cut < get.size(); ++cut)
        EXPECT_EQ(scan(get.substr(0, cut)).state, RequestScan::Incomplete) << cut;
    RequestScan whole = scan(get + "GET /next");  // pipelined bytes behind it stay out
    EXPECT_EQ(whole.state, RequestScan::Complete);
    EXPECT_EQ(whole.length, get.size());

    const std::string post = "\r\nPOST /p HTTP/1.1\ncontent-length:  5 \n\nq=abc";  // bare LFs, a blank line first
    EXPECT_EQ(scan(post.substr(0, post.size() - 1)).state, RequestScan::Incomplete);
    EXPECT_EQ(scan(post).state, RequestScan::Complete);
    EXPECT_EQ(scan(post + "xx").length, post.size());
}

TEST(RequestScan, OversizeOrUnmeasuredRequestsAreRefusedEarly)
{
    // A request line that has not ended by the header limit: 414; headers: 431.
    EXPECT_EQ(scan("GET /" + std::string(kHeaderMax, 'a')).status, 414);
    EXPECT_EQ(scan("GET / HTTP/1.1\r\nX: " + std::string(kHeaderMax, 'a')).status, 431);
    EXPECT_EQ(scan("GET / HTTP/1.1\r\nX: " + std::string(kHeaderMax, 'a') + "\r\n\r\n").status, 431);
    // A body over the limit is refused on its announcement, before it is sent.
    EXPECT_EQ(scan("POST / HTTP/1.1\r\nContent-Length: 65\r\n\r\n").status, 413);
    EXPECT_EQ(scan("POST / HTTP/1.1\r\nContent-Length: 64\r\n\r\n").state, RequestScan::Incomplete);
    EXPECT_EQ(scan("POST / HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n").status, 400);
    EXPECT_EQ(scan("POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n").status, 400);
    // Two lengths: the parser behind might believe the other one and wait for bytes.
    EXPECT_EQ(scan("POST / HTTP/1.1\r\nContent-Length: 9\r\nContent-length: 0\r\n\r\n").status, 400);
    EXPECT_EQ(scan("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nq=abc\r\n0\r\n\r\n").status, 411);
}

TEST(RequestScan, AClientWaitingForContinueIsNamedUntilItsBodyStarts)
{
    const std::string head = "POST /p HTTP/1.1\r\nHost: b\r\nExpect: 100-continue\r\nContent-Length: 5\r\n\r\n";
    RequestScan waiting = scan(head);
    EXPECT_EQ(waiting.state, RequestScan::Incomplete);
    ASSERT_TRUE(waiting.expectsContinue);
    EXPECT_EQ(head.substr(waiting.expectLine, waiting.expectLength), "Expect: 100-continue\r\n");
    EXPECT_FALSE(scan(head + "q=").expectsContinue);
    EXPECT_FALSE(scan(head + "q=abc").expectsContinue);
    EXPECT_FALSE(scan(head.substr(0, 40)).expectsContinue);  // headers not yet whole
}

TEST(SimpleRequest, OnlyAPlainGetWithHeadersThatChangeNothingTakesTheShortPath)
{
    const std::string line = "GET /servlet/TvPdaMain?q=abc HTTP/1.1\r\n";
    const std::string request = line + "Host: b\r\nuser-agent: x\r\nACCEPT: */*\r\nX-Real-IP: 198.51.100.1\r\n"
                                       "X-Real-IP: 198.51.100.2\r\nConnection: close\r\n\r\n";
    auto g = parseSimpleRequest(request);
    ASSERT_TRUE(g);
    EXPECT_FALSE(g->post);
    EXPECT_EQ(g->path, "/servlet/TvPdaMain");
    EXPECT_EQ(g->query, "q=abc");
    EXPECT_EQ(g->realIp, "198.51.100.1");  // the first, as the general parser reads it
    EXPECT_TRUE(g->close);
    EXPECT_FALSE(parseSimpleRequest(line + "Connection: Close\r\n\r\n")->close);  // not "close": kept alive there too
    // Everything else goes the general way.
    for (const std::string& other :
         {line + "Accept-Encoding: gzip\r\n\r\n", line + "Range: bytes=0-1\r\n\r\n", line + "Content-Length: 0\r\n\r\n",
          line + "Host: b\r\n\r\nGET", line + "Host b\r\n\r\n", line + "Bad Name: x\r\n\r\n", line + "Host: b\n\r\n",
          std::string("GET /servlet/TvPdaMain?q=abc HTTP/1.0\r\n\r\n"), std::string("POST /servlet/TvPdaMain HTTP/1.1\r\n\r\n"),
          std::string("GET /a#b HTTP/1.1\r\n\r\n"), std::string("GET /servlet/TvPdaMain?q=\n HTTP/1.1\r\n\r\n"), std::string("GET  /a HTTP/1.1\r\n\r\n"),
          "GET /?q=" + std::string(5000, 'A') + " HTTP/1.1\r\n\r\n",
          // Values the general parser would percent-decode into another meaning.
          line + "Connection: clos%65\r\n\r\n", line + "X-Real-IP: 198.51.100.%31\r\n\r\n",
          // A value it would cut at its NUL.
          line + std::string("X-Real-IP: 198.51.100.1\0junk\r\n\r\n", 32)})
        EXPECT_FALSE(parseSimpleRequest(other)) << other;
    // A header with no value is dropped there too: the next one is the first.
    const std::string blank = line + "X-Real-IP:\r\nX-Real-IP: 198.51.100.2\r\nConnection: \r\n\r\n";
    auto named = parseSimpleRequest(blank);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->realIp, "198.51.100.2");
    EXPECT_FALSE(named->close);
}

TEST(SimpleRequest, AFormPostOfExactlyItsTypeAndLengthTakesTheShortPath)
{
    const std::string head = "POST /servlet/TvPdaMain HTTP/1.1\r\nHost: b\r\nAccept: */*\r\n";
    const std::string form = "Content-Type: application/x-www-form-urlencoded\r\n";
    auto post = [&](const std::string& headers, const std::string& body) {
        return head + headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    };
    const std::string closing = post(form + "Connection: close\r\nX-Forwarded-For: 203.0.113.9\r\n", "q=a%2Bb+c");
    auto p = parseSimpleRequest(closing);  // (its parts are views into the request)
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->post);
    EXPECT_EQ(p->path, "/servlet/TvPdaMain");
    EXPECT_EQ(p->query, "");
    EXPECT_EQ(p->body, "q=a%2Bb+c");
    EXPECT_EQ(p->forwardedFor, "203.0.113.9");
    EXPECT_TRUE(p->close);
    EXPECT_EQ(soleQueryValue(p->body, "q"), "a+b c");
    const std::string keptAlive = head + "Content-Length: 3\r\nConnection: keep-alive\r\n" + form + "\r\nq=a";
    auto kept = parseSimpleRequest(keptAlive);
    ASSERT_TRUE(kept);
    EXPECT_FALSE(kept->close);
    EXPECT_EQ(kept->body, "q=a");
    // The general parser's largest form is taken; a byte more goes its way (and is refused there).
    const std::string most = "q=" + std::string(kSimpleFormMost - 2, 'A');
    EXPECT_TRUE(parseSimpleRequest(post(form, most)));
    EXPECT_FALSE(parseSimpleRequest(post(form, most + "A")));
    for (const std::string& other :
         {post("Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n", "q=a"),
          post("Content-Type: text/plain\r\n", "q=a"), post("", "q=a"), post(form + form, "q=a"),
          post("Content-Type: application%2Fx-www-form-urlencoded\r\n", "q=a"),
          post(form + "Expect: 100-continue\r\n", "q=a"), post(form + "Transfer-Encoding: chunked\r\n", "q=a"),
          head + form + "Content-Length: 4\r\n\r\nq=a", head + form + "Content-Length: 2\r\n\r\nq=a",
          head + form + "Content-Length: +3\r\n\r\nq=a", head + form + "Content-Length: 3\r\nContent-Length: 3\r\n\r\nq=a",
          head + form + "\r\nq=a",  // no length
          "POST /servlet/TvPdaMain?q=b HTTP/1.1\r\n" + form + "Content-Length: 3\r\n\r\nq=a",
          "POST /servlet/TvPdaMain HTTP/1.0\r\n" + form + "Content-Length: 3\r\n\r\nq=a",
          "GET /servlet/TvPdaMain?q=a HTTP/1.1\r\n" + form + "Content-Length: 3\r\n\r\nq=a",
          std::string("GET /servlet/TvPdaMain?q=a HTTP/1.1\r\n\r\nq=a")})
        EXPECT_FALSE(parseSimpleRequest(other)) << other;
}

TEST(SimpleRequest, TheSoleQueryValueIsDecodedAsAFormValue)
{
    EXPECT_EQ(soleQueryValue("q=a%2Bb+c%3d%3D/", "q"), "a+b c==/");
    EXPECT_EQ(soleQueryValue("q=%4", "q"), "%4");  // a broken escape stays as it is
    EXPECT_EQ(soleQueryValue("q=%zz", "q"), "%zz");
    EXPECT_EQ(soleQueryValue("q=", "q"), "");
    EXPECT_FALSE(soleQueryValue("q=a&q=b", "q"));
    EXPECT_FALSE(soleQueryValue("x=1&q=a", "q"));
    EXPECT_FALSE(soleQueryValue("qq=a", "q"));
    EXPECT_FALSE(soleQueryValue("q", "q"));
    EXPECT_FALSE(soleQueryValue("q=%u0041", "q"));
    // Read otherwise there: "b" a parameter of its own, the text after the
    // last '=', a target with a second '?' refused, blanks trimmed.
    for (const char* other : {"q=a&b", "q=YWJj=", "q=a=b", "q=a?b", "q= a", "q=a\t", "q=a b"})
        EXPECT_FALSE(soleQueryValue(other, "q")) << other;
}
