// Module switch, file versions, folders, clock and random injection, sounds,
// input panel, deploy.ini and program start.
#include "ChildProcess.h"
#include "Deploy.h"
#include "ModuleSwitch.h"
#include "Services.h"
#include "TestHome.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

class SwitchReceiver : public QObject {
public:
    std::vector<std::pair<int, QString>> got;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == kModuleSwitchEvent) {
            auto* s = static_cast<ModuleSwitchEvent*>(e);
            got.emplace_back(s->code(), s->text());
            return true;
        }
        return QObject::event(e);
    }
};

QString writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = harness::testHome() + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(bytes);
    return path;
}

// Built at run time: a whole marker text in this program would read as its version.
QByteArray marker()
{
    return QByteArray("TVPB-FILE-") + QByteArray("VERSION:");
}

} // namespace

TVPB_CHILD_MODE(touch)
{
    QFile f(args.value(0));
    return f.open(QIODevice::WriteOnly) && f.write(programFolder().toUtf8()) > 0 ? 0 : 1;
}

// ---- Module switch -------------------------------------------------------------------
TEST(ModuleSwitch, PostedSwitchArrivesLaterWithCodeAndCopiedText)
{
    SwitchReceiver shell;
    QString id = QStringLiteral("newuser01");
    postModuleSwitch(&shell, 1100, id);
    postModuleSwitch(&shell, 9999);
    id[0] = QLatin1Char('X'); // the poster's text may change at once
    EXPECT_TRUE(shell.got.empty()) << "posted, not sent";
    QCoreApplication::processEvents();
    ASSERT_EQ(shell.got.size(), 2u);
    EXPECT_EQ(shell.got[0].first, 1100);
    EXPECT_EQ(shell.got[0].second, "newuser01");
    EXPECT_EQ(shell.got[1].first, 9999);
    EXPECT_TRUE(shell.got[1].second.isEmpty());
    EXPECT_EQ(kModuleSwitchEvent, QEvent::Type(QEvent::User + 3015));
    postModuleSwitch(nullptr, 2100); // no receiver: nothing happens
}

// ---- File versions ------------------------------------------------------------------
TEST(FileVersion, BuiltLibraryCarriesTheBuildVersion)
{
    const QString bin = qEnvironmentVariable("TVPB_BIN");
    ASSERT_FALSE(bin.isEmpty()) << "TVPB_BIN is set by the test registration";
    const QString lib = bin + "/libplatform.so";
    ASSERT_TRUE(QFileInfo::exists(lib)) << lib.toStdString();
    EXPECT_EQ(fileVersion(lib), QStringLiteral(TVPB_EXPECTED_FILE_VERSION));
    // Test programs are built without one: a real binary without a version reads empty.
    EXPECT_EQ(fileVersion(QCoreApplication::applicationFilePath()), QString());
}

TEST(FileVersion, FilesWithoutAVersionReadEmpty)
{
    EXPECT_EQ(fileVersion(writeFile("plain.bin", QByteArray(4096, 'x'))), QString());
    EXPECT_EQ(fileVersion(writeFile("empty.bin", {})), QString());
    EXPECT_EQ(fileVersion(harness::testHome() + "/missing.dll"), QString());
    // The marker alone, with nothing or rubbish after it, is no version.
    const QByteArray zero(1, '\0');
    EXPECT_EQ(fileVersion(writeFile("bare.bin", "abc" + zero + marker() + zero + "def")), QString());
    EXPECT_EQ(fileVersion(writeFile("cut.bin", marker() + "1.2")), QString());
    EXPECT_EQ(fileVersion(writeFile("junk.bin", marker() + "1 2" + zero)), QString());
}

TEST(FileVersion, FirstWellFormedVersionIsTaken)
{
    const QByteArray zero(1, '\0');
    const QByteArray bytes = "\x7f" "ELF...." + marker() + zero + "...." + marker() + "2.0.1.7" + zero + "tail";
    EXPECT_EQ(fileVersion(writeFile("lib.so", bytes)), "2.0.1.7");
}

// ---- Folders and programs -------------------------------------------------------------
// Clears the test programs' program-folder override for one test.
// (A program started meanwhile must not get it from the harness either.)
struct NoProgramDirOverride {
    QByteArray saved = qgetenv("TVPB_PROGRAM_DIR");
    QByteArray savedBin = qgetenv("TVPB_BIN");
    NoProgramDirOverride()
    {
        qunsetenv("TVPB_PROGRAM_DIR");
        qunsetenv("TVPB_BIN");
    }
    ~NoProgramDirOverride()
    {
        restore("TVPB_PROGRAM_DIR", saved);
        restore("TVPB_BIN", savedBin);
    }
    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isEmpty()) qunsetenv(name);
        else qputenv(name, value);
    }
};

TEST(Folders, ProgramFolderIsTheExecutablesFolder)
{
    NoProgramDirOverride noOverride;
    EXPECT_EQ(programFolder(), QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
    EXPECT_EQ(programFile("BMP\\조회_4226.bmp"), programFolder() + "/BMP/조회_4226.bmp");
    EXPECT_EQ(programFile("deploy.ini"), programFolder() + "/deploy.ini");
    EXPECT_EQ(programFile("/etc/hosts"), "/etc/hosts");
}

TEST(Folders, TestProgramsNameTheProgramFolder)
{
    NoProgramDirOverride noOverride;
    qputenv("TVPB_PROGRAM_DIR", "/opt/tvpb/bin");
    EXPECT_EQ(programFolder(), "/opt/tvpb/bin");
    EXPECT_EQ(programFile("BMP\\x.bmp"), "/opt/tvpb/bin/BMP/x.bmp");
}

TEST(Folders, HomeFolderIsCreatedOnDemand)
{
    const QString home = harness::testHome() + "/nested/home";
    const QByteArray saved = qgetenv("TVPB_HOME");
    qputenv("TVPB_HOME", home.toLocal8Bit());
    EXPECT_EQ(homeFolder(), home);
    EXPECT_TRUE(QDir(home).exists());
    qputenv("TVPB_HOME", saved);
}

TEST(Programs, StartsAProgramOfTheProgramFolderDetached)
{
    NoProgramDirOverride noOverride;
    const QString marker = harness::testHome() + "/started.txt";
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    ASSERT_TRUE(startProgram(self, {"--tvpb-child", "touch", marker}));
    for (int i = 0; i < 3000 && QFileInfo(marker).size() == 0; ++i)
        QThread::msleep(10);
    QFile f(marker);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), programFolder());
    EXPECT_FALSE(startProgram("no_such_program"));
}

// ---- Clock and random numbers ------------------------------------------------------------
TEST(Clock, InjectedClockAndFakeTicks)
{
    const QDateTime fixed(QDate(2004, 5, 6), QTime(7, 8, 9));
    setClock([&] { return fixed; });
    EXPECT_EQ(now(), fixed);
    const qint64 start = tickCount();
    sleepMs(30000); // a dial-up time-out passes at once
    EXPECT_EQ(tickCount() - start, 30000);
    sleepMs(-5);
    EXPECT_EQ(tickCount() - start, 30000);

    qint64 ticks = 100;
    int slept = 0;
    setClock([&] { return fixed; }, [&] { return ticks; }, [&](int ms) { slept += ms; ticks += ms; });
    sleepMs(250);
    EXPECT_EQ(slept, 250);
    EXPECT_EQ(tickCount(), 350);

    setClock({});
    EXPECT_LE(qAbs(now().secsTo(QDateTime::currentDateTime())), 5);
    const qint64 a = tickCount();
    sleepMs(2);
    EXPECT_GE(tickCount(), a + 2) << "the real sleep waits";
}

TEST(Random, InjectedAndRealSources)
{
    setRandomSource([](int low, int high) { return low + high; });
    EXPECT_EQ(randomInt(1, 35), 36);
    EXPECT_EQ(randomInt(35, 1), 36) << "bounds are given in order";
    setRandomSource({});
    bool sawLow = false, sawHigh = false;
    for (int i = 0; i < 2000; ++i) {
        const int v = randomInt(1, 35);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 35);
        sawLow |= v == 1;
        sawHigh |= v == 35;
    }
    EXPECT_TRUE(sawLow && sawHigh) << "both ends are reachable";
    EXPECT_EQ(randomInt(7, 7), 7);
}

// ---- Sounds and input panel ------------------------------------------------------------------
TEST(Sounds, NamesAreRecordedInOrder)
{
    EXPECT_TRUE(soundsPlayed().isEmpty());
    playSound("InfBeg");
    playSound("Alarm1.wav");
    EXPECT_EQ(soundsPlayed(), QStringList({"InfBeg", "Alarm1.wav"}));
    clearSoundsPlayed();
    EXPECT_TRUE(soundsPlayed().isEmpty());
}

TEST(InputPanel, StateFollowsRequests)
{
    EXPECT_FALSE(inputPanelVisible());
    setInputPanelVisible(true);
    EXPECT_TRUE(inputPanelVisible());
    setInputPanelVisible(false);
    EXPECT_FALSE(inputPanelVisible());
}

// ---- deploy.ini ----------------------------------------------------------------------------
TEST(DeployFile, ValuesFromTheFileNamedByTheEnvironment)
{
    const QString path = writeFile("deploy.ini",
                                   "[bank]\nserver_host = 127.0.0.1:18080\ngateway_public_key = abc+/def=\n"
                                   "[download]\nhost = 127.0.0.1:18081\n"
                                   "[carrier]\nskt_account = 타브린,은행\n");
    const QByteArray saved = qgetenv("TVPB_DEPLOY");
    qputenv("TVPB_DEPLOY", path.toLocal8Bit());
    EXPECT_EQ(Deploy::filePath(), path);
    EXPECT_EQ(Deploy::serverHost(), "127.0.0.1:18080");
    EXPECT_EQ(Deploy::gatewayPublicKey(), "abc+/def=");
    EXPECT_EQ(Deploy::downloadHost(), "127.0.0.1:18081");
    EXPECT_EQ(Deploy::value("carrier", "skt_account"), "타브린,은행");
    EXPECT_EQ(Deploy::value("carrier", "ktf_realm", "none"), "none");

    // Read once; reload() picks up a change.
    writeFile("deploy.ini", "[bank]\nserver_host = 10.0.0.1:8080\n");
    EXPECT_EQ(Deploy::serverHost(), "127.0.0.1:18080");
    Deploy::reload();
    EXPECT_EQ(Deploy::serverHost(), "10.0.0.1:8080");
    EXPECT_EQ(Deploy::downloadHost(), QString());

    if (saved.isEmpty())
        qunsetenv("TVPB_DEPLOY");
    else
        qputenv("TVPB_DEPLOY", saved);
    EXPECT_EQ(Deploy::filePath(), saved.isEmpty() ? programFile("deploy.ini") : QString::fromLocal8Bit(saved));
}

// ---- Application set-up --------------------------------------------------------------------
TEST(AppSetup, KoreanStandardButtonsAndHangulFont)
{
    // The harness main has installed both, as every program does at start-up.
    EXPECT_TRUE(installKoreanTranslation(*qApp));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("예(&Y)"));
    const QFont font = QApplication::font();
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_TRUE(QFontInfo(font).family().startsWith("Nanum")) << QFontInfo(font).family().toStdString();
    // Hangul has glyphs in it (no boxes).
    EXPECT_TRUE(QFontMetrics(font).inFont(QChar(0xD0C0))); // 타
}
