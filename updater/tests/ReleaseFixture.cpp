#include "ReleaseFixture.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <NetSettings.h>
#include <Registry.h>

#include <TestServer.h>

namespace vuptest {
namespace {

QString buildBin()
{
    return qEnvironmentVariable("TVPB_BIN");
}

// The environment of a program of the test's program folder: its own folder,
// its own deploy.ini, the test's registry.
QProcessEnvironment programEnv(const QString& programDir, const QStringList& extra)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TVPB_PROGRAM_DIR"));
    env.insert(QStringLiteral("TVPB_DEPLOY"), QDir(programDir).filePath(QStringLiteral("deploy.ini")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& kv : extra) env.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    return env;
}

int runTool(const QString& program, const QStringList& args, QString* output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return -1;
    if (output) *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void ReleaseFixture::SetUp()
{
    ASSERT_FALSE(buildBin().isEmpty());
    // Inside the build folder, so the program folder can be hard links of the build's.
    root = std::make_unique<QTemporaryDir>(QDir(buildBin()).filePath(QStringLiteral("../vup-test-XXXXXX")));
    ASSERT_TRUE(root->isValid());
    programDir = root->filePath(QStringLiteral("prog"));
    data = root->filePath(QStringLiteral("data"));
    QString out;
    ASSERT_EQ(runTool(QStringLiteral("cp"), {QStringLiteral("-al"), buildBin(), programDir}, &out), 0) << out.toStdString();
    // What a run of the build's own updater left there is not part of the build.
    QFile::remove(prog(QStringLiteral("TVPB_Version.info")));
    QDir(prog(QStringLiteral(".vup-stage"))).removeRecursively();
    QDir(prog(QStringLiteral(".vup-old"))).removeRecursively();
    QFile::remove(prog(QStringLiteral("deploy.ini")));
    QFile::copy(bin(QStringLiteral("deploy.ini")), prog(QStringLiteral("deploy.ini")));

    host = QStringLiteral("127.0.0.1:%1").arg(transporttest::closedPort()); // free now, bankd takes it
    ASSERT_EQ(runTool(bin(QStringLiteral("bankd")),
                      {QStringLiteral("init"), QStringLiteral("--data"), data, QStringLiteral("--server-host"), host,
                       QStringLiteral("--deploy"), prog(QStringLiteral("deploy.ini")), QStringLiteral("--fast-hash")},
                      &out),
              0)
        << out.toStdString();
    bank.setProcessChannelMode(QProcess::MergedChannels);
    bank.start(bin(QStringLiteral("bankd")),
               {QStringLiteral("serve"), QStringLiteral("--data"), data, QStringLiteral("--listen"), host});
    ASSERT_TRUE(bank.waitForStarted());
    QByteArray seen;
    while (!seen.contains("serving") && bank.waitForReadyRead(20000)) seen += bank.readAll();
    ASSERT_TRUE(seen.contains("serving")) << seen.toStdString();
}

void ReleaseFixture::TearDown()
{
    bank.terminate();
    bank.waitForFinished(10000);
}

QString ReleaseFixture::bin(const QString& name) const { return QDir(buildBin()).filePath(name); }
QString ReleaseFixture::prog(const QString& name) const { return QDir(programDir).filePath(name); }
QString ReleaseFixture::download(const QString& name) const { return QDir(data).filePath(QStringLiteral("download/") + name); }
QString ReleaseFixture::scratch(const QString& name) const { return root->filePath(name); }

int ReleaseFixture::publish(const QString& file, const QString& version, QString* output)
{
    return runTool(bin(QStringLiteral("bankd")),
                   {QStringLiteral("publish"), QStringLiteral("--data"), data, QStringLiteral("--file"), file,
                    QStringLiteral("--version"), version},
                   output);
}

QString ReleaseFixture::withVersion(const QString& builtName, const QString& version)
{
    QDir().mkpath(scratch(QStringLiteral("release")));
    const QString out = scratch(QStringLiteral("release/") + builtName);
    QString text;
    EXPECT_EQ(runTool(bin(QStringLiteral("tvpb_setversion")), {bin(builtName), out, version}, &text), 0)
        << text.toStdString();
    return out;
}

void ReleaseFixture::updateOverLan()
{
    netsettings::WriteEqualVUP(1);
    netsettings::WriteNetworkConnectOption(0);
}

UpdaterRun ReleaseFixture::runUpdater(const QStringList& args, const QStringList& extraEnv)
{
    // The client the updater starts inherits its output: a file outlives both.
    static int runs = 0;
    const QString output = scratch(QStringLiteral("updater-run-%1.out").arg(++runs));
    QProcess p;
    p.setProcessEnvironment(programEnv(programDir, extraEnv));
    p.setStandardOutputFile(output);
    p.setStandardErrorFile(output + QStringLiteral(".err"));
    p.start(prog(QStringLiteral("TVPB_VUP")), args);
    UpdaterRun run;
    if (!p.waitForStarted() || !p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.crashed = p.exitStatus() == QProcess::CrashExit;
    run.exitCode = p.exitCode();
    // A client asked to report its start screen does so after the updater has ended.
    const bool waitForClient = args.contains(QStringLiteral("--ready-exit")) && !run.crashed;
    for (int i = 0; i < 300; ++i) {
        run.output = QString::fromUtf8(fileBytes(output) + fileBytes(output + QStringLiteral(".err")));
        if (!waitForClient || run.output.contains(QStringLiteral("ready"))) break;
        QThread::msleep(50);
    }
    return run;
}

bool ReleaseFixture::clientStarts()
{
    QProcess p;
    p.setProcessEnvironment(programEnv(programDir, {}));
    p.start(prog(QStringLiteral("TavrinPdaBanking")), {QStringLiteral("--ready-exit")});
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && p.readAllStandardOutput().contains("ready");
}

} // namespace vuptest
