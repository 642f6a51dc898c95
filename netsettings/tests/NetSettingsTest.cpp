// The network values of the settings key and the connect step built on them.
#include <QTest>
#include <QWidget>

#include "ConnectNetwork.h"
#include "DialTestSupport.h"
#include "ModalScript.h"
#include "NetSettings.h"
#include "Registry.h"
#include "Services.h"

namespace {

using platform::Registry;
using platform::Root;

const QString kBook = QStringLiteral(
    "[device:AnyCell CDMA]\ntype=modem\n"
    "[entry:KTF 모뎀]\ndevice=AnyCell CDMA\ndelay=1000\n"
    "[entry:통화중]\ndevice=AnyCell CDMA\noutcome=fail\nerror=676\nat=connectdevice\ndelay=1000\n"
    "[entry:무응답]\ndevice=AnyCell CDMA\noutcome=noanswer\ndelay=1000\n");

class NetSettingsTest : public dialtest::DialTest {
protected:
    void SetUp() override
    {
        dialtest::DialTest::SetUp();
        writeBook(kBook);
        for (const char* entry : {"KTF 모뎀", "통화중", "무응답"})
            store(QString::fromUtf8(entry), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    }
    static void setNumber(const QString& name, quint32 v)
    {
        Registry::setNumber(Root::LocalMachine, netsettings::kSettingsKey, name, v);
    }
    harness::ModalScript::DialogDriver progress()
    {
        return [this](QDialog* d) { return driveProgress(d); };
    }

    QWidget screen;
    CRasEx ras;
};

TEST_F(NetSettingsTest, OptionsReadAsZeroOneOrNotSet)
{
    // Nothing stored: not set, empty texts, and reading writes nothing back.
    EXPECT_EQ(netsettings::ReadNetworkConnectOption(), -1);
    EXPECT_EQ(netsettings::ReadEqualVUP(), -1);
    EXPECT_EQ(netsettings::ReadConnectModem(), QString());
    EXPECT_EQ(netsettings::ReadVUPModem(), QString());
    EXPECT_FALSE(Registry::getNumber(Root::LocalMachine, netsettings::kSettingsKey, QStringLiteral("Equal_VUP")));

    netsettings::WriteNetworkConnectOption(1);
    netsettings::WriteEqualVUP(0);
    EXPECT_EQ(netsettings::ReadNetworkConnectOption(), 1);
    EXPECT_EQ(netsettings::ReadEqualVUP(), 0);
    // Neither radio chosen is stored as -1's bit pattern and reads as not set; so does any other number.
    netsettings::WriteNetworkConnectOption(-1);
    EXPECT_EQ(*Registry::getNumber(Root::LocalMachine, netsettings::kSettingsKey,
                                   QStringLiteral("Network_Connect_Option")), 0xFFFFFFFFu);
    EXPECT_EQ(netsettings::ReadNetworkConnectOption(), -1);
    setNumber(QStringLiteral("Equal_VUP"), 2);
    EXPECT_EQ(netsettings::ReadEqualVUP(), -1);

    // The kit writes "Software\..." for the same key: key names ignore case.
    Registry::setText(Root::LocalMachine, QStringLiteral("Software\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100"),
                      QStringLiteral("Connect_Modem"), QStringLiteral("KTF 모뎀"));
    EXPECT_EQ(netsettings::ReadConnectModem(), QStringLiteral("KTF 모뎀"));
    netsettings::WriteVUPModem(QStringLiteral("통화중"));
    EXPECT_EQ(netsettings::ReadVUPModem(), QStringLiteral("통화중"));
    EXPECT_EQ(netsettings::ReadConnectModem(), QStringLiteral("KTF 모뎀"));
}

TEST_F(NetSettingsTest, LanOrNotSetNeverDials)
{
    harness::ModalScript modals; // any modal fails the test
    EXPECT_FALSE(netsettings::ConnectNetwork(&screen, &ras)); // never configured: silent
    netsettings::WriteNetworkConnectOption(0);
    netsettings::WriteConnectModem(QStringLiteral("KTF 모뎀"));
    EXPECT_TRUE(netsettings::ConnectNetwork(&screen, &ras));
    EXPECT_FALSE(ras.RAS_IsConnected());
    EXPECT_TRUE(modals.seen().isEmpty());
}

TEST_F(NetSettingsTest, ModemModeDialsOnceAndKeepsTheLinkUp)
{
    netsettings::WriteNetworkConnectOption(1);
    harness::ModalScript modals;
    modals.expectMessage(QStringLiteral("먼저 환경설정에서 연결하고자하는 모뎀을 선택하세요."), QStringLiteral("모뎀 확인"));
    EXPECT_FALSE(netsettings::ConnectNetwork(&screen, &ras));
    modals.verify();

    netsettings::WriteConnectModem(QStringLiteral("KTF 모뎀"));
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    EXPECT_TRUE(netsettings::ConnectNetwork(&screen, &ras));
    EXPECT_TRUE(ras.RAS_IsConnected());
    // A link that is up is used as it is: no second dial.
    EXPECT_TRUE(netsettings::ConnectNetwork(&screen, &ras));
    EXPECT_EQ(modals.seen().size(), 2);
}

TEST_F(NetSettingsTest, FailedDialsNameTheirReasonAndDropTheLink)
{
    netsettings::WriteNetworkConnectOption(1);
    harness::ModalScript modals;
    netsettings::WriteConnectModem(QStringLiteral("통화중"));
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    modals.expectMessage(QStringLiteral("연결에 실패했습니다."), QStringLiteral("메시지"));
    EXPECT_FALSE(netsettings::ConnectNetwork(&screen, &ras));
    EXPECT_EQ(lastStatus, QStringLiteral("Line busy"));

    netsettings::WriteConnectModem(QStringLiteral("무응답"));
    modals.expectDialog(QStringLiteral("CRasProgressDlg"), progress());
    modals.expectMessage(QStringLiteral("연결 시간이 초과되었습니다."), QStringLiteral("메시지"));
    EXPECT_FALSE(netsettings::ConnectNetwork(&screen, &ras));
    EXPECT_FALSE(ras.RAS_IsConnected());

    modals.expectDialog(QStringLiteral("CRasProgressDlg"), [this](QDialog* d) {
        return driveProgress(d, 100, [this] { ras.RAS_ConnectCancel(); });
    });
    modals.expectMessage(QStringLiteral("연결이 취소되었습니다."), QStringLiteral("메시지"));
    EXPECT_FALSE(netsettings::ConnectNetwork(&screen, &ras));
    modals.verify();
    EXPECT_EQ(ras.RAS_GetDialResult(), 3u);
    EXPECT_EQ(netsettings::DialFailureText(0), QString());
    EXPECT_EQ(netsettings::DialFailureText(7), QString());
}

} // namespace
