// The updater program as a newcomer's run.sh starts it: against bankd serving a
// published release, installing into a program folder, then starting the client.
#include <QDir>
#include <QFile>

#include <NetSettings.h>
#include <Services.h>

#include "ReleaseFixture.h"

namespace {

using vuptest::ReleaseFixture;

const QString kOld = QStringLiteral("1.0.0.1");
const QString kNew = QStringLiteral("1.0.0.9");
const QStringList kModules = {QStringLiteral("tvpb_1100.so"), QStringLiteral("tvpb_2100.so"),
                              QStringLiteral("tvpb_2200.so")};

class UpdaterProcessTest : public ReleaseFixture {
protected:
    QString version(const QString& name) const { return platform::fileVersion(prog(name)); }
    bool leftovers() const
    {
        return QDir(prog(QStringLiteral(".vup-stage"))).exists() || QDir(prog(QStringLiteral(".vup-old"))).exists();
    }
    void publishNewModules()
    {
        for (const QString& m : kModules) {
            QString out;
            ASSERT_EQ(publish(withVersion(m, kNew), kNew, &out), 0) << out.toStdString();
        }
    }
};

TEST_F(UpdaterProcessTest, WithoutEqualVupOrWithNothingNewTheClientStartsAsItIs)
{
    ASSERT_EQ(version(QStringLiteral("tvpb_2100.so")), kOld);
    // Equal_VUP never stored: no connection, nothing fetched, the client starts.
    vuptest::UpdaterRun run = runUpdater({QStringLiteral("--ready-exit")});
    EXPECT_TRUE(run.output.contains(QStringLiteral("ready"))) << run.output.toStdString();
    EXPECT_FALSE(QFile::exists(prog(QStringLiteral("TVPB_Version.info"))));

    // A fresh build against an empty release: the list is fetched, nothing to do.
    updateOverLan();
    run = runUpdater({QStringLiteral("--ready-exit")});
    EXPECT_TRUE(run.output.contains(QStringLiteral("ready"))) << run.output.toStdString();
    EXPECT_EQ(vuptest::fileBytes(prog(QStringLiteral("TVPB_Version.info"))),
              vuptest::fileBytes(download(QStringLiteral("TVPB_Version.info"))));
    EXPECT_FALSE(leftovers());
}

TEST_F(UpdaterProcessTest, NewerModuleIsInstalledAndTheClientStartsWithIt)
{
    QString out;
    // bankd refuses a listed version the file does not carry.
    EXPECT_NE(publish(bin(QStringLiteral("tvpb_2100.so")), kNew, &out), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("carries version"))) << out.toStdString();
    ASSERT_EQ(publish(withVersion(QStringLiteral("tvpb_2100.so"), kNew), kNew, &out), 0) << out.toStdString();

    updateOverLan();
    const vuptest::UpdaterRun run = runUpdater({QStringLiteral("--ready-exit")});
    EXPECT_TRUE(run.output.contains(QStringLiteral("ready"))) << run.output.toStdString();
    EXPECT_EQ(version(QStringLiteral("tvpb_2100.so")), kNew);
    EXPECT_EQ(version(QStringLiteral("tvpb_2200.so")), kOld);
    // The build's own file (the program folder began as links to it) is untouched.
    EXPECT_EQ(platform::fileVersion(bin(QStringLiteral("tvpb_2100.so"))), kOld);
    EXPECT_FALSE(leftovers());
}

TEST_F(UpdaterProcessTest, TamperedFileOrListInstallsNothing)
{
    updateOverLan();
    QString out;
    ASSERT_EQ(publish(withVersion(QStringLiteral("tvpb_2100.so"), kNew), kNew, &out), 0) << out.toStdString();
    const QByteArray list = vuptest::fileBytes(download(QStringLiteral("TVPB_Version.info")));
    auto writeServed = [&](const QString& name, const QByteArray& bytes) {
        QFile f(download(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };

    // The served module differs from the one the list was signed for.
    const QByteArray genuine = vuptest::fileBytes(download(QStringLiteral("tvpb_2100.so")));
    QByteArray evil = genuine;
    evil[evil.size() / 2] = char(evil[evil.size() / 2] ^ 0x55);
    writeServed(QStringLiteral("tvpb_2100.so"), evil);
    vuptest::UpdaterRun run = runUpdater({QStringLiteral("--ready-exit")});
    EXPECT_TRUE(run.output.contains(QStringLiteral("ready"))) << run.output.toStdString();
    EXPECT_EQ(version(QStringLiteral("tvpb_2100.so")), kOld);
    writeServed(QStringLiteral("tvpb_2100.so"), genuine);

    // The list changed after signing, or not signed at all.
    QByteArray changed = list;
    changed.replace("tvpb_2100.so/1.0.0.9", "tvpb_2100.so/1.0.0.8");
    const QByteArray unsignedList = list.mid(list.indexOf('\n') + 1);
    for (const QByteArray& bad : {changed, unsignedList}) {
        writeServed(QStringLiteral("TVPB_Version.info"), bad);
        run = runUpdater({QStringLiteral("--ready-exit")});
        EXPECT_TRUE(run.output.contains(QStringLiteral("ready"))) << run.output.toStdString();
        EXPECT_EQ(version(QStringLiteral("tvpb_2100.so")), kOld);
        EXPECT_FALSE(leftovers());
    }
    EXPECT_TRUE(clientStarts());
}

TEST_F(UpdaterProcessTest, KilledAtAnyInstallStepTheNextRunCompletesTheSet)
{
    publishNewModules();
    updateOverLan();
    // Steps: 1 old files kept, 2 journal written, 3-5 after each rename.
    for (int step = 1; step <= 5; ++step) {
        SCOPED_TRACE(step);
        for (const QString& m : kModules) {
            QFile::remove(prog(m));
            ASSERT_TRUE(QFile::copy(bin(m), prog(m)));
        }
        const vuptest::UpdaterRun killed = runUpdater({}, {QStringLiteral("TVPB_VUP_CRASH_AFTER_STEP=%1").arg(step)});
        EXPECT_TRUE(killed.crashed);
        QStringList versions;
        for (const QString& m : kModules) versions << version(m);
        if (step == 3 || step == 4) { // stopped between two renames: the folder really is half-way
            EXPECT_TRUE(versions.contains(kOld) && versions.contains(kNew)) << versions.join(',').toStdString();
        }
        for (const QString& m : kModules) EXPECT_TRUE(QFile::exists(prog(m))) << m.toStdString();

        const vuptest::UpdaterRun next = runUpdater({QStringLiteral("--ready-exit")});
        EXPECT_TRUE(next.output.contains(QStringLiteral("ready"))) << next.output.toStdString();
        for (const QString& m : kModules) EXPECT_EQ(version(m), kNew) << m.toStdString();
        EXPECT_FALSE(leftovers());
    }
}

} // namespace
