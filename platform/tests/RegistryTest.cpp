#include "ChildProcess.h"
#include "Registry.h"
#include "Services.h"
#include "TestHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTextStream>

#include <gtest/gtest.h>

#include <memory>

using platform::kNoDefault;
using platform::Registry;
using platform::Root;

namespace {

const QString kSettings = QStringLiteral("SOFTWARE\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100");
const QString kSettingsKit = QStringLiteral("Software\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100");
const QString kCard = QStringLiteral("Software\\Corvane\\TavrinBank_PdaBanking\\TVPB_2400");

} // namespace

// ---- Second process -------------------------------------------------------------
TVPB_CHILD_MODE(regWrite)
{
    // args: name number text
    bool ok = Registry::setNumber(Root::LocalMachine, kSettingsKit, args.value(0), args.value(1).toUInt());
    ok = Registry::setText(Root::LocalMachine, kSettingsKit, args.value(0) + QStringLiteral("_text"), args.value(2)) && ok;
    return ok ? 0 : 1;
}

TVPB_CHILD_MODE(regRead)
{
    // Prints what it reads: number (57072 when missing) and text.
    QTextStream out(stdout);
    out << Registry::readNumber(Root::LocalMachine, kSettings, args.value(0)) << '\n'
        << Registry::readText(Root::LocalMachine, kSettings, args.value(0) + QStringLiteral("_text")) << '\n';
    return 0;
}

TVPB_CHILD_MODE(regWriteMany)
{
    // args: prefix count
    const int count = args.value(1).toInt();
    for (int i = 0; i < count; ++i)
        if (!Registry::setNumber(Root::CurrentUser, QStringLiteral("Comm\\Shared"), args.value(0) + QString::number(i), quint32(i)))
            return 1;
    return 0;
}

// ---- Read-with-default rules ------------------------------------------------------
TEST(RegistryNumbers, MissingNumberWithDefaultIsWrittenAndReturned)
{
    EXPECT_FALSE(Registry::getNumber(Root::LocalMachine, kSettings, "Equal_VUP").has_value());
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Equal_VUP", 1u), 1u);
    ASSERT_TRUE(Registry::getNumber(Root::LocalMachine, kSettings, "Equal_VUP").has_value());
    EXPECT_EQ(*Registry::getNumber(Root::LocalMachine, kSettings, "Equal_VUP"), 1u);
    // Once stored, the value wins over a different default and is not rewritten.
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Equal_VUP", 0u), 1u);
    EXPECT_EQ(*Registry::getNumber(Root::LocalMachine, kSettings, "Equal_VUP"), 1u);
}

TEST(RegistryNumbers, NoDefaultMarkerReadsAsMarkerAndWritesNothing)
{
    EXPECT_EQ(kNoDefault, 57072u);
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Network_Connect_Option"), 57072u);
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Network_Connect_Option", kNoDefault), 57072u);
    EXPECT_FALSE(Registry::getNumber(Root::LocalMachine, kSettings, "Network_Connect_Option").has_value());
}

TEST(RegistryNumbers, FourByteRangeRoundTrips)
{
    for (quint32 v : {0u, 1u, 57072u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, kSettings, "Store_ID_Option", v));
        EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Store_ID_Option"), v);
    }
}

TEST(RegistryTexts, MissingTextWithoutDefaultIsEmptyAndNotWritten)
{
    EXPECT_EQ(Registry::readText(Root::LocalMachine, kSettings, "Connect_Modem"), QString());
    EXPECT_FALSE(Registry::getText(Root::LocalMachine, kSettings, "Connect_Modem").has_value());
}

TEST(RegistryTexts, MissingTextWithDefaultIsWrittenBack)
{
    EXPECT_EQ(Registry::readText(Root::LocalMachine, kCard, "Card_Set", QStringLiteral("0000")), "0000");
    EXPECT_EQ(Registry::getText(Root::LocalMachine, kCard, "Card_Set").value_or("missing"), "0000");
    EXPECT_EQ(Registry::readText(Root::LocalMachine, kCard, "Card_Set", QStringLiteral("1111")), "0000");
}

TEST(RegistryTexts, KoreanAndSpecialCharactersSurvive)
{
    const QString text = QStringLiteral("SKT 모뎀 \"접속\" \\ ; | \r\n 똠");
    ASSERT_TRUE(Registry::setText(Root::CurrentUser, "Comm\\RasBook\\SKT 모뎀", "User", text));
    EXPECT_EQ(Registry::readText(Root::CurrentUser, "Comm\\RasBook\\SKT 모뎀", "User"), text);
    ASSERT_TRUE(Registry::setText(Root::CurrentUser, "Comm\\RasBook\\SKT 모뎀", "User", QString()));
    EXPECT_EQ(Registry::getText(Root::CurrentUser, "Comm\\RasBook\\SKT 모뎀", "User").value_or("missing"), QString());
}

TEST(RegistryTypes, ValueOfOtherTypeIsNotOverwrittenByDefault)
{
    ASSERT_TRUE(Registry::setText(Root::LocalMachine, kSettings, "Equal_VUP", "1"));
    EXPECT_FALSE(Registry::getNumber(Root::LocalMachine, kSettings, "Equal_VUP").has_value());
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Equal_VUP"), kNoDefault);
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Equal_VUP", 5u), 5u);
    EXPECT_EQ(Registry::getText(Root::LocalMachine, kSettings, "Equal_VUP").value_or("missing"), "1");
    // A number written under the name replaces the text.
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, kSettings, "Equal_VUP", 0));
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Equal_VUP"), 0u);
    EXPECT_FALSE(Registry::getText(Root::LocalMachine, kSettings, "Equal_VUP").has_value());
}

// ---- Keys -------------------------------------------------------------------------
TEST(RegistryKeys, KeyAndValueNamesIgnoreCase)
{
    ASSERT_TRUE(Registry::setText(Root::LocalMachine, kSettings, "Connect_Modem", "SKT"));
    EXPECT_EQ(Registry::readText(Root::LocalMachine, kSettingsKit, "Connect_Modem"), "SKT");
    EXPECT_EQ(Registry::readText(Root::LocalMachine, "software\\corvane\\tavrinbank_pdabanking\\tvpb_1100", "CONNECT_MODEM"), "SKT");
    EXPECT_EQ(Registry::readText(Root::LocalMachine, "\\SOFTWARE\\\\Corvane\\TavrinBank_PdaBanking\\TVPB_1100\\", "connect_modem"), "SKT");
    ASSERT_TRUE(Registry::setText(Root::LocalMachine, kSettingsKit, "connect_MODEM", "KTF"));
    EXPECT_EQ(Registry::readText(Root::LocalMachine, kSettings, "Connect_Modem"), "KTF");
}

TEST(RegistryKeys, RootsAreSeparate)
{
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, "Software\\X", "V", 1));
    EXPECT_FALSE(Registry::keyExists(Root::CurrentUser, "Software\\X"));
    EXPECT_EQ(Registry::readNumber(Root::CurrentUser, "Software\\X", "V"), kNoDefault);
}

TEST(RegistryKeys, CreateKeyCreatesParentsAndWritingCreatesTheKey)
{
    EXPECT_FALSE(Registry::keyExists(Root::LocalMachine, kCard));
    ASSERT_TRUE(Registry::createKey(Root::LocalMachine, kCard));
    EXPECT_TRUE(Registry::keyExists(Root::LocalMachine, kCard));
    EXPECT_TRUE(Registry::keyExists(Root::LocalMachine, "SOFTWARE\\CORVANE"));
    EXPECT_TRUE(Registry::createKey(Root::LocalMachine, kCard)); // already there
    EXPECT_FALSE(Registry::keyExists(Root::LocalMachine, "Software\\Corvane\\Other"));
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, "Software\\Corvane\\Other", "N", 3));
    EXPECT_TRUE(Registry::keyExists(Root::LocalMachine, "software\\corvane\\other"));
}

TEST(RegistryKeys, DeleteValueRemovesOnlyThatValue)
{
    ASSERT_TRUE(Registry::setText(Root::LocalMachine, kCard, "Card_Temp", "1234"));
    ASSERT_TRUE(Registry::setText(Root::LocalMachine, kCard, "Card_Set", "5678"));
    EXPECT_TRUE(Registry::deleteValue(Root::LocalMachine, "SOFTWARE\\corvane\\TavrinBank_PdaBanking\\TVPB_2400", "card_temp"));
    EXPECT_FALSE(Registry::getText(Root::LocalMachine, kCard, "Card_Temp").has_value());
    EXPECT_EQ(Registry::readText(Root::LocalMachine, kCard, "Card_Set"), "5678");
    EXPECT_TRUE(Registry::keyExists(Root::LocalMachine, kCard));
    EXPECT_FALSE(Registry::deleteValue(Root::LocalMachine, kCard, "Card_Temp"));
    EXPECT_FALSE(Registry::deleteValue(Root::LocalMachine, "Software\\Nowhere", "Card_Temp"));
}

// ---- Storage ----------------------------------------------------------------------
TEST(RegistryStorage, LivesUnderTheHomeFolderWithoutLeftovers)
{
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, kSettings, "Store_ID_Option", 1));
    const QDir dir(harness::testHome() + "/registry");
    ASSERT_TRUE(dir.exists());
    const QStringList files = dir.entryList(QDir::Files);
    EXPECT_TRUE(files.contains("local_machine.json")) << files.join(",").toStdString();
    for (const QString& f : files)
        EXPECT_FALSE(f.contains(".tmp")) << f.toStdString();
}

TEST(RegistryStorage, UnreadableFileReadsAsEmptyAndIsKeptAside)
{
    QDir().mkpath(harness::testHome() + "/registry");
    QFile f(harness::testHome() + "/registry/local_machine.json");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{ not json");
    f.close();
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Store_ID_Option"), kNoDefault);
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, kSettings, "Store_ID_Option", 1));
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "Store_ID_Option"), 1u);
    EXPECT_TRUE(QFile::exists(harness::testHome() + "/registry/local_machine.json.corrupt"));
}

// ---- Two programs share one registry -------------------------------------------------
TEST(RegistrySharing, SecondProcessSeesWritesBothWays)
{
    // The other program writes; this one reads (with the modules' key spelling).
    ASSERT_EQ(harness::runChild("regWrite", {"VUP_Option", "1", "KTF 모뎀"}), 0);
    EXPECT_EQ(Registry::readNumber(Root::LocalMachine, kSettings, "VUP_Option"), 1u);
    EXPECT_EQ(Registry::readText(Root::LocalMachine, kSettings, "VUP_Option_text"), QStringLiteral("KTF 모뎀"));

    // This one writes over it; the other program reads the new values.
    ASSERT_TRUE(Registry::setNumber(Root::LocalMachine, kSettings, "VUP_Option", 0));
    ASSERT_TRUE(Registry::setText(Root::LocalMachine, kSettings, "VUP_Option_text", QStringLiteral("LGT")));
    QString out;
    ASSERT_EQ(harness::runChild("regRead", {"VUP_Option"}, &out), 0);
    EXPECT_EQ(out.split('\n').value(0), "0");
    EXPECT_EQ(out.split('\n').value(1), "LGT");

    // And sees a value deleted here as missing.
    ASSERT_TRUE(Registry::deleteValue(Root::LocalMachine, kSettings, "VUP_Option"));
    ASSERT_EQ(harness::runChild("regRead", {"VUP_Option"}, &out), 0);
    EXPECT_EQ(out.split('\n').value(0), "57072");
}

TEST(RegistrySharing, SimultaneousWritersLoseNothing)
{
    const int count = 60;
    std::unique_ptr<QProcess> child(harness::startChild("regWriteMany", {"child", QString::number(count)}));
    ASSERT_NE(child, nullptr);
    // Start once the other program is writing, so that the writes interleave.
    for (int tries = 0; tries < 3000 && !Registry::getNumber(Root::CurrentUser, "Comm\\Shared", "child0"); ++tries)
        QThread::msleep(10);
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(Registry::setNumber(Root::CurrentUser, "Comm\\Shared", "parent" + QString::number(i), quint32(i)));
    ASSERT_TRUE(child->waitForFinished(60000));
    ASSERT_EQ(child->exitCode(), 0);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(Registry::readNumber(Root::CurrentUser, "comm\\shared", "parent" + QString::number(i)), quint32(i));
        EXPECT_EQ(Registry::readNumber(Root::CurrentUser, "comm\\shared", "child" + QString::number(i)), quint32(i));
    }
}
