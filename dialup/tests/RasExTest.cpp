// CRasEx operations that do not dial: names, errors, account derivation, settings.
#include "DialTestSupport.h"

#include "ModalScript.h"
#include "Services.h"

using dialtest::TestRasEx;

namespace {

class RasExTest : public dialtest::DialTest {};

TEST_F(RasExTest, ErrorTextsAndUnknownCodes) {
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(601), QStringLiteral("Invalid port handle"));
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(635), QStringLiteral("Unknown error"));
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(678), QStringLiteral("No answer"));
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(691), QStringLiteral("Authentication failure"));
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(749), QStringLiteral("Bad phone number"));
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(999), QStringLiteral("Unknown error - #999"));
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(600), QStringLiteral("Unknown error - #600"));
    EXPECT_EQ(CRasEx::RAS_GetLastErrorString(-3), QStringLiteral("Unknown error - #-3"));
}

TEST_F(RasExTest, EntryNamesAreTrimmedFilteredAndCapped) {
    QString book = QStringLiteral("[entry:  SKT 모뎀  ]\n[entry:`hidden]\n[entry:]\n[entry:   ]\n[entry: `also hidden]\n"
                                  "[entry:back`quote inside]\n");
    for (int i = 0; i < 12; ++i)
        book += QStringLiteral("[entry:extra %1]\n").arg(i);
    writeBook(book);
    CRasEx ras;
    QString names[CRasEx::kMaxNames];
    int count = -1;
    EXPECT_TRUE(ras.RAS_GetEntryNames(&count, names));
    ASSERT_EQ(count, 10);
    EXPECT_EQ(names[0], QStringLiteral("SKT 모뎀"));
    EXPECT_EQ(names[1], QStringLiteral("back`quote inside"));
    EXPECT_EQ(names[2], QStringLiteral("extra 0"));
    EXPECT_EQ(names[9], QStringLiteral("extra 7"));
}

TEST_F(RasExTest, EntryNamesOfAnEmptyBook) {
    writeBook(QStringLiteral("[entry:`only hidden]\n"));
    CRasEx ras;
    QString names[CRasEx::kMaxNames];
    int count = 5;
    EXPECT_FALSE(ras.RAS_GetEntryNames(&count, names));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(ras.RAS_GetEntryNames(nullptr, names));
}

TEST_F(RasExTest, DeviceNamesAreModemsOnly) {
    QString book = QStringLiteral("[device:Generic IrDA modem]\ntype=modem\n[device:Hayes Compatible on COM1:]\ntype=modem\n"
                                  "[device:Office VPN]\ntype=vpn\n[device:Serial Cable on COM1:]\ntype=direct\n"
                                  "[device:AnyCell CDMA]\ntype=MODEM\n");
    for (int i = 0; i < 11; ++i)
        book += QStringLiteral("[device:Card %1]\ntype=modem\n").arg(i);
    writeBook(book);
    CRasEx ras;
    QString names[CRasEx::kMaxNames];
    int count = 0;
    EXPECT_TRUE(ras.RAS_GetDeviceNames(&count, names));
    ASSERT_EQ(count, 10);
    EXPECT_EQ(names[0], QStringLiteral("AnyCell CDMA"));
    EXPECT_EQ(names[1], QStringLiteral("Card 0"));
    EXPECT_EQ(names[9], QStringLiteral("Card 8"));

    writeBook(QStringLiteral("[device:Generic IrDA modem]\ntype=modem\n[device:Office VPN]\ntype=vpn\n"));
    EXPECT_FALSE(ras.RAS_GetDeviceNames(&count, names));
    EXPECT_EQ(count, 0);
}

TEST_F(RasExTest, PasswordFollowsTheRealm) {
    TestRasEx ras;
    EXPECT_EQ(ras.GetUserPasswd(QStringLiteral("0101234567@lgtpda.kr")), QStringLiteral("4567"));
    EXPECT_EQ(ras.GetUserPasswd(QStringLiteral("  0167778888@lgtpda.kr ")), QStringLiteral("8888"));
    EXPECT_EQ(ras.GetUserPasswd(QStringLiteral("12@lgtpda.kr")), QStringLiteral("12"));
    EXPECT_EQ(ras.GetUserPasswd(dialtest::kSktAccount), QStringLiteral("plumb472"));
    EXPECT_EQ(ras.GetUserPasswd(QStringLiteral("other@skt.tavrin.kr")), QStringLiteral("plumb472"));
    EXPECT_EQ(ras.GetUserPasswd(QStringLiteral("0101234567@ktfpda.kr")), QString());
    EXPECT_EQ(ras.GetUserPasswd(QString()), QString());
    EXPECT_EQ(ras.GetUserPasswd(QStringLiteral("   ")), QString());
}

TEST_F(RasExTest, SaveSettingWritesOnlyWithTheFlag) {
    TestRasEx ras;
    ras.SaveSetting(0, QStringLiteral("E"), QStringLiteral("LGT"), QStringLiteral("x@lgtpda.kr"));
    EXPECT_EQ(stored(QStringLiteral("E"), QStringLiteral("TELECOM")), QString());
    EXPECT_EQ(stored(QStringLiteral("E"), QStringLiteral("User")), QString());
    ras.SaveSetting(1, QStringLiteral("E"), QStringLiteral("LGT"), QStringLiteral("x@lgtpda.kr"));
    EXPECT_EQ(stored(QStringLiteral("E"), QStringLiteral("TELECOM")), QStringLiteral("LGT"));
    EXPECT_EQ(stored(QStringLiteral("E"), QStringLiteral("User")), QStringLiteral("x@lgtpda.kr"));
    EXPECT_EQ(ras.GetUserID(QStringLiteral("E")), QStringLiteral("x@lgtpda.kr"));
}

TEST_F(RasExTest, StoredValuesDecideTheCredentials) {
    TestRasEx ras;
    harness::ModalScript modals; // no dialog may come
    store(QStringLiteral("S"), QStringLiteral("User"), dialtest::kSktAccount);
    QString user, pw;
    ras.GetUserInfo(QStringLiteral("S"), user, pw);
    EXPECT_EQ(user, dialtest::kSktAccount);
    EXPECT_EQ(pw, QStringLiteral("plumb472"));

    store(QStringLiteral("K"), QStringLiteral("TELECOM"), QStringLiteral("KTF"));
    ras.GetUserInfo(QStringLiteral("K"), user, pw);
    EXPECT_EQ(user, QString());
    EXPECT_EQ(pw, QString());
    EXPECT_TRUE(modals.seen().isEmpty());
}

TEST_F(RasExTest, ExistConnectionAsksThePhoneBook) {
    writeBook(QStringLiteral("[entry:있음]\n"));
    TestRasEx ras;
    EXPECT_TRUE(ras.RAS_ExistConnection(QStringLiteral("있음")));
    EXPECT_TRUE(ras.CheckEntryName(QStringLiteral("있음")));
    EXPECT_FALSE(ras.RAS_ExistConnection(QStringLiteral("없음")));
    EXPECT_FALSE(ras.CheckEntryName(QStringLiteral("없음")));
}

TEST_F(RasExTest, DisconnectWithoutLinkFailsItsHangUp) {
    CRasEx ras;
    platform::clearSoundsPlayed();
    EXPECT_TRUE(ras.RAS_Disconnect());
    EXPECT_EQ(platform::soundsPlayed(), QStringList{QStringLiteral("Ding")});
    EXPECT_FALSE(ras.RAS_IsConnected());
}

} // namespace
