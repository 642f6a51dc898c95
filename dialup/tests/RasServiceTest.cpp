// The platform's dial-up service on the simulated phone book.
#include <QCoreApplication>
#include <QTest>

#include "DialTestSupport.h"
#include "RasBook.h"
#include "RasService.h"

using namespace platform;

namespace {

// Collects the notifications of a dial.
class Receiver : public QObject {
public:
    struct Note {
        RasConnState state;
        int error;
    };
    QList<Note> notes;

protected:
    bool event(QEvent* e) override {
        if (e->type() != kRasDialEvent)
            return QObject::event(e);
        auto* ev = static_cast<RasDialEvent*>(e);
        notes.append({ev->state(), ev->error()});
        return true;
    }
};

class RasServiceTest : public dialtest::DialTest {
protected:
    // Advances the clock in steps and delivers what is due.
    void run(qint64 ms, qint64 step = 100) {
        for (qint64 t = 0; t < ms; t += step) {
            ticks += step;
            static_cast<RasBook*>(RasService::backend())->poll();
            QCoreApplication::sendPostedEvents();
        }
    }
};

TEST_F(RasServiceTest, ListsEntriesAndDevicesInBookOrder) {
    writeBook(QStringLiteral("; a comment\n"
                             "[device:AnyCell CDMA]\ntype=modem\n"
                             "[device:Office VPN]\ntype=vpn\n"
                             "[entry: 무선 모뎀 ]\ndevice=AnyCell CDMA\n"
                             "[entry:KTF]\r\ndevice=AnyCell CDMA\r\n"));
    EXPECT_EQ(RasService::entryNames(), (QStringList{QStringLiteral(" 무선 모뎀 "), QStringLiteral("KTF")}));
    EXPECT_TRUE(RasService::entryExists(QStringLiteral("KTF")));
    EXPECT_TRUE(RasService::entryExists(QStringLiteral(" 무선 모뎀 ")));
    EXPECT_FALSE(RasService::entryExists(QStringLiteral("무선 모뎀")));
    const QList<RasDevice> devs = RasService::devices();
    ASSERT_EQ(devs.size(), 2);
    EXPECT_EQ(devs[0].name, QStringLiteral("AnyCell CDMA"));
    EXPECT_EQ(devs[0].type, QStringLiteral("modem"));
    EXPECT_EQ(devs[1].type, QStringLiteral("vpn"));
}

TEST_F(RasServiceTest, MissingBookIsEmpty) {
    EXPECT_TRUE(RasService::entryNames().isEmpty());
    EXPECT_TRUE(RasService::devices().isEmpty());
    RasConn conn = 99;
    Receiver r;
    EXPECT_EQ(RasService::dial({QStringLiteral("x"), {}, {}, {}}, &r, &conn), kRasErrorCannotFindPhonebookEntry);
    EXPECT_EQ(conn, 0u);
}

TEST_F(RasServiceTest, ConnectPassesTheUsualStatesOnTheInjectedClock) {
    writeBook(QStringLiteral("[device:M]\n[entry:E]\ndevice=M\noutcome=connect\ndelay=8000\n"));
    Receiver r;
    RasConn conn = 0;
    ASSERT_EQ(RasService::dial({QStringLiteral("E"), {}, {}, {}}, &r, &conn), 0);
    ASSERT_NE(conn, 0u);
    run(7000);
    RasConnStatus st;
    ASSERT_EQ(RasService::connectionStatus(conn, &st), 0);
    EXPECT_NE(st.state, RasConnState::Connected) << "connected before its delay";
    run(1100);
    ASSERT_EQ(RasService::connectionStatus(conn, &st), 0);
    EXPECT_EQ(st.state, RasConnState::Connected);
    EXPECT_EQ(st.deviceName, QStringLiteral("M"));
    QList<RasConnState> states;
    for (const auto& n : r.notes) {
        EXPECT_EQ(n.error, 0);
        states << n.state;
    }
    EXPECT_EQ(states, (QList<RasConnState>{RasConnState::OpenPort, RasConnState::PortOpened,
                                          RasConnState::ConnectDevice, RasConnState::DeviceConnected,
                                          RasConnState::AllDevicesConnected, RasConnState::Authenticate,
                                          RasConnState::AuthNotify, RasConnState::Authenticated,
                                          RasConnState::Connected}));
    EXPECT_EQ(RasService::hangUp(conn), 0);
    EXPECT_EQ(RasService::connectionStatus(conn, &st), kRasErrorInvalidHandle);
    EXPECT_EQ(RasService::hangUp(conn), kRasErrorInvalidHandle);
}

TEST_F(RasServiceTest, ScriptedFailuresAndNoAnswer) {
    writeBook(QStringLiteral("[device:M1]\n[device:M2]\n[device:M3]\n"
                             "[entry:Busy]\ndevice=M1\noutcome=fail\nerror=676\nat=portopened\ndelay=1000\n"
                             "[entry:Silent]\ndevice=M2\noutcome=noanswer\ndelay=1000\n"
                             "[entry:Ghost]\ndevice=Nowhere\n"
                             "[entry:Drop]\ndevice=M3\noutcome=disconnect\ndelay=1000\n"));
    Receiver busy, silent, ghost, drop;
    RasConn c1 = 0, c2 = 0, c3 = 0, c4 = 0;
    ASSERT_EQ(RasService::dial({QStringLiteral("Busy"), {}, {}, {}}, &busy, &c1), 0);
    ASSERT_EQ(RasService::dial({QStringLiteral("Silent"), {}, {}, {}}, &silent, &c2), 0);
    ASSERT_EQ(RasService::dial({QStringLiteral("Ghost"), {}, {}, {}}, &ghost, &c3), 0);
    ASSERT_EQ(RasService::dial({QStringLiteral("Drop"), {}, {}, {}}, &drop, &c4), 0);
    run(60000, 1000);
    ASSERT_EQ(busy.notes.size(), 2);
    EXPECT_EQ(busy.notes.last().state, RasConnState::PortOpened);
    EXPECT_EQ(busy.notes.last().error, 676);
    ASSERT_EQ(silent.notes.size(), 3);
    EXPECT_EQ(silent.notes.last().state, RasConnState::ConnectDevice);
    EXPECT_EQ(silent.notes.last().error, 0);
    ASSERT_EQ(ghost.notes.size(), 1);
    EXPECT_EQ(ghost.notes.first().error, kRasErrorDeviceDoesNotExist);
    ASSERT_FALSE(drop.notes.isEmpty());
    EXPECT_EQ(drop.notes.last().state, RasConnState::Disconnected);
    EXPECT_EQ(drop.notes.last().error, 0);
    RasConnStatus st;
    ASSERT_EQ(RasService::connectionStatus(c2, &st), 0);
    EXPECT_EQ(st.state, RasConnState::ConnectDevice);
}

TEST_F(RasServiceTest, RequiredCredentialsFailAuthentication) {
    writeBook(QStringLiteral("[device:M]\n[entry:LGT]\ndevice=M\ndelay=900\nuser=0101234567@lgtpda.kr\npassword=4567\n"));
    Receiver wrong, right;
    RasConn c = 0;
    ASSERT_EQ(RasService::dial({QStringLiteral("LGT"), QStringLiteral("0101234567@lgtpda.kr"), QStringLiteral("1234"), {}},
                               &wrong, &c), 0);
    run(2000);
    ASSERT_FALSE(wrong.notes.isEmpty());
    EXPECT_EQ(wrong.notes.last().state, RasConnState::Authenticate);
    EXPECT_EQ(wrong.notes.last().error, kRasErrorAuthenticationFailure);
    EXPECT_EQ(RasService::hangUp(c), 0);
    ASSERT_EQ(RasService::dial({QStringLiteral("LGT"), QStringLiteral("0101234567@lgtpda.kr"), QStringLiteral("4567"), {}},
                               &right, &c), 0);
    run(2000);
    ASSERT_FALSE(right.notes.isEmpty());
    EXPECT_EQ(right.notes.last().state, RasConnState::Connected);
}

TEST_F(RasServiceTest, OnePortOneDialAndLineDrops) {
    writeBook(QStringLiteral("[device:M]\n[entry:A]\ndevice=M\ndelay=100\ndrop=5000\n[entry:B]\ndevice=M\n"));
    Receiver a, b;
    RasConn ca = 0, cb = 0;
    ASSERT_EQ(RasService::dial({QStringLiteral("A"), {}, {}, {}}, &a, &ca), 0);
    EXPECT_EQ(RasService::dial({QStringLiteral("B"), {}, {}, {}}, &b, &cb), kRasErrorPortAlreadyOpen);
    EXPECT_EQ(cb, 0u);
    run(1000);
    RasConnStatus st;
    ASSERT_EQ(RasService::connectionStatus(ca, &st), 0);
    EXPECT_EQ(st.state, RasConnState::Connected);
    run(5000);
    ASSERT_EQ(RasService::connectionStatus(ca, &st), 0);
    EXPECT_EQ(st.state, RasConnState::Disconnected);
    EXPECT_EQ(RasService::hangUp(ca), 0);
    EXPECT_EQ(RasService::dial({QStringLiteral("B"), {}, {}, {}}, &b, &cb), 0) << "the port is free after hang-up";
}

TEST_F(RasServiceTest, NotificationsStopForADeletedReceiver) {
    writeBook(QStringLiteral("[entry:E]\ndelay=500\n"));
    auto* r = new Receiver;
    RasConn c = 0;
    ASSERT_EQ(RasService::dial({QStringLiteral("E"), {}, {}, {}}, r, &c), 0);
    delete r;
    run(1000); // must not post to the deleted receiver
    RasConnStatus st;
    ASSERT_EQ(RasService::connectionStatus(c, &st), 0);
    EXPECT_EQ(st.state, RasConnState::Connected);
    RasService::hangUp(c);
}

// A backend installed in place of the phone book receives every call.
class FakeBackend : public RasBackend {
public:
    QStringList entryNames() override { return {QStringLiteral("fake")}; }
    bool entryExists(const QString& n) override { return n == QLatin1String("fake"); }
    QList<RasDevice> devices() override { return {}; }
    int dial(const RasDialParams&, QObject*, RasConn*) override { return 633; }
    int connectionStatus(RasConn, RasConnStatus*) override { return 0; }
    int hangUp(RasConn) override { return 0; }
};

TEST_F(RasServiceTest, BackendCanBeReplaced) {
    RasService::setBackend(std::make_unique<FakeBackend>());
    EXPECT_EQ(RasService::entryNames(), QStringList{QStringLiteral("fake")});
    RasConn c = 0;
    EXPECT_EQ(RasService::dial({}, nullptr, &c), 633);
    RasService::setBackend(nullptr);
    EXPECT_TRUE(RasService::entryNames().isEmpty());
}

} // namespace
