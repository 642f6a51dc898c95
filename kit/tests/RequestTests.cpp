#include <gtest/gtest.h>

#include <QWidget>

#include "CQD.h"
#include "CQV.h"
#include "FakeEngine.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "LoopbackServer.h"
#include "ModalScript.h"
#include "Services.h"

using harness::ModalScript;

namespace {

// Session and download object whose busy flags a test can raise.
class TestCQV : public CQV {
public:
    void setEncoding(bool on) { m_nEncoding = on ? 1 : 0; }
};
class TestCQD : public CQD {
public:
    void setDownloading(bool on) { m_nDownloading = on ? 1 : 0; }
};

class KitRequestCycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        CQV::SetEngineForTesting(&engine);
        session.SetVgateProp(QStringLiteral("127.0.0.1"), 443u, 443u);
        session.SetServerProp(server.mainUrl());
    }
    void TearDown() override { CQV::SetEngineForTesting(nullptr); }

    KitRequest request() { return KitRequest(&window, &session, &download, &next); }

    FakeEngine engine;
    LoopbackServer server;
    TestCQV session;
    TestCQD download;
    QWidget window;
    int next = 3400;
};

} // namespace

TEST_F(KitRequestCycle, OpenBaseReplacesTheServletPart)
{
    EXPECT_EQ(KitRequest::OpenBase(&session),
              QStringLiteral("http://127.0.0.1:%1/servlet/TvPdaNoEnc").arg(server.port()));
    session.SetServerProp(QStringLiteral("http://h/app/TvPdaMain/Tvx"));
    EXPECT_EQ(KitRequest::OpenBase(&session), QStringLiteral("http://h/app/TvPdaNoEnc"));
    // No "/Tv" in the URL: the unencrypted servlet of the deployment.
    session.SetServerProp(QStringLiteral("http://h/other"));
    EXPECT_EQ(KitRequest::OpenBase(&session), CQV::PlainServletUrl());
}

TEST_F(KitRequestCycle, OpenPathSendsUnencryptedAndReadsCodePage949)
{
    const QString envelope = QStringLiteral("<DataTag><msg>10000;정상;</msg><list0>1;똠방 공지;20240105;|</list0></DataTag>");
    server.setReply(envelope);
    ModalScript modals;
    QString reply;
    KitRequest r = request();
    ASSERT_TRUE(r.SendOpen(BuildQueryU003(KitRequest::OpenBase(&session), QStringLiteral("5")), reply));
    EXPECT_EQ(reply, envelope); // 똠 survives the code page
    EXPECT_FALSE(platform::isWaiting());
    const auto hits = server.hits();
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].method, QStringLiteral("GET"));
    EXPECT_EQ(hits[0].path, QStringLiteral("/servlet/TvPdaNoEnc"));
    EXPECT_EQ(hits[0].query, QStringLiteral("trcode=PDA_U003&Num=5"));
    EXPECT_EQ(engine.encryptCalls + engine.decryptCalls, 0);
}

TEST_F(KitRequestCycle, OpenPathRefusalIsShownAndTheCursorRestored)
{
    server.setReply(QStringLiteral("<DataTag><msg>E3400;등록된 공지가 없습니다;</msg></DataTag>"));
    ModalScript modals;
    modals.expectMessage(QStringLiteral("E3400:등록된 공지가 없습니다"), QStringLiteral("오류"));
    QString reply = QStringLiteral("old");
    KitRequest r = request();
    EXPECT_FALSE(r.SendOpen(BuildQueryT003(KitRequest::OpenBase(&session)), reply));
    modals.verify();
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_FALSE(platform::isWaiting());
    EXPECT_EQ(server.hits().at(0).query, QStringLiteral("trcode=PDA_T003"));
}

TEST_F(KitRequestCycle, UnreachableServerShowsTheTransportError)
{
    {
        LoopbackServer gone; // a port that was open and is closed now
        session.SetServerProp(gone.mainUrl());
    }
    ModalScript modals;
    modals.expectMessageContaining(QStringLiteral("Error:"), QStringLiteral("오류"));
    QString reply;
    KitRequest r = request();
    EXPECT_FALSE(r.SendOpen(BuildQueryT003(KitRequest::OpenBase(&session)), reply));
    modals.verify();
    EXPECT_TRUE(modals.seen().at(0).text.startsWith(QStringLiteral("Error:")));
    EXPECT_FALSE(platform::isWaiting());
}

TEST_F(KitRequestCycle, PlainPathEncryptsGetsAndDecodes)
{
    const QString envelope = QStringLiteral("<DataTag><msg>10000;ok;</msg><list0>5005;일반대출;|</list0></DataTag>");
    server.setReply(envelope);
    ModalScript modals;
    QString reply;
    KitRequest r = request();
    ASSERT_TRUE(r.SendPlain(BuildQueryL001(QStringLiteral("KIM01")), reply));
    EXPECT_EQ(reply, envelope);
    const auto hits = server.hits();
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].method, QStringLiteral("GET"));
    EXPECT_EQ(hits[0].path, QStringLiteral("/servlet/TvPdaMain"));
    EXPECT_EQ(hits[0].query, QStringLiteral("encrypt=1&trcode=PDA_L001&UserID=KIM01"));
    EXPECT_EQ(engine.encryptCalls, 1);
    EXPECT_EQ(engine.decryptCalls, 1);
    EXPECT_FALSE(platform::isWaiting());
}

TEST_F(KitRequestCycle, SignedPathPostsTheFormAndShowsTheBanksConfirmation)
{
    server.setReply(QStringLiteral("<DataTag><msg>10000;이자납입이 완료되었습니다;</msg><free0>1;</free0></DataTag>"));
    ModalScript modals;
    modals.expectMessage(QStringLiteral("이자납입이 완료되었습니다"), QStringLiteral("확인"));
    const QString query = BuildQueryL004(QStringLiteral("KIM01"), QStringLiteral("1002"), QStringLiteral("1234"),
                                         QStringLiteral("01"), QStringLiteral("5005"), QStringLiteral("20240105"),
                                         QStringLiteral("S"), QStringLiteral("7"), QStringLiteral("3902"), QString());
    QString reply;
    KitRequest r = request();
    ASSERT_TRUE(r.SendSigned(query, reply, true));
    modals.verify();
    const auto hits = server.hits();
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].method, QStringLiteral("POST"));
    EXPECT_TRUE(hits[0].rawBody.startsWith(QStringLiteral("q=")));
    EXPECT_EQ(hits[0].query, query);
    EXPECT_FALSE(platform::isWaiting());
}

TEST_F(KitRequestCycle, BusySessionOrDownloadSendsNothing)
{
    ModalScript modals;
    QString reply;
    KitRequest r = request();
    session.setEncoding(true);
    EXPECT_FALSE(r.SendPlain(BuildQueryR001(QStringLiteral("KIM01")), reply));
    EXPECT_TRUE(r.WasBusy());
    session.setEncoding(false);
    download.setDownloading(true);
    EXPECT_FALSE(r.SendOpen(BuildQueryT003(KitRequest::OpenBase(&session)), reply));
    EXPECT_TRUE(r.WasBusy());
    EXPECT_FALSE(platform::isWaiting());
    EXPECT_TRUE(server.hits().isEmpty());
    EXPECT_EQ(engine.encryptCalls, 0);

    // A request made while a page initialises does not test.
    server.setReply(QStringLiteral("<DataTag><msg>10000;ok;</msg></DataTag>"));
    r.SetCheckBusy(false);
    EXPECT_TRUE(r.SendOpen(BuildQueryT003(KitRequest::OpenBase(&session)), reply));
    EXPECT_FALSE(r.WasBusy());
    EXPECT_EQ(server.hits().size(), 1);
}

TEST_F(KitRequestCycle, EncryptionFailureIsShownAndNothingIsSent)
{
    engine.failEncrypt = true;
    ModalScript modals;
    modals.expectMessage(QStringLiteral("Velcor Error: \r\n엔진 오류"), QStringLiteral("오류"));
    QString reply;
    KitRequest r = request();
    EXPECT_FALSE(r.SendPlain(BuildQueryR003(QStringLiteral("KIM01")), reply));
    modals.verify();
    EXPECT_TRUE(server.hits().isEmpty());
    EXPECT_FALSE(platform::isWaiting());
}

TEST_F(KitRequestCycle, UndecodableReplyIsANullReply)
{
    server.setRawBody(QStringLiteral("@@ not a cipher text @@"));
    ModalScript modals;
    modals.expectMessage(QStringLiteral("수신 자료에 오류(Null)가 검출되었습니다"), QStringLiteral("오류"));
    QString reply;
    KitRequest r = request();
    EXPECT_FALSE(r.SendPlain(BuildQueryR003(QStringLiteral("KIM01")), reply));
    modals.verify();
    EXPECT_EQ(server.hits().size(), 1);
    EXPECT_FALSE(platform::isWaiting());
}

TEST_F(KitRequestCycle, SessionWithoutGateSendsNothing)
{
    TestCQV closed; // never given a gate address (or closed): nothing can be encrypted
    closed.SetServerProp(server.mainUrl());
    ModalScript modals;
    modals.expectMessageContaining(QStringLiteral("Velcor Error: \r\n"), QStringLiteral("오류"));
    QString reply;
    KitRequest r(&window, &closed, &download, &next);
    EXPECT_FALSE(r.SendSigned(BuildQueryR003(QStringLiteral("KIM01")), reply));
    modals.verify();
    EXPECT_TRUE(server.hits().isEmpty());
    EXPECT_EQ(engine.encryptCalls, 0);
    EXPECT_FALSE(platform::isWaiting());
}
