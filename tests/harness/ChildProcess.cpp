// Child processes of a test program.
#include "ChildProcess.h"

#include <QCoreApplication>
#include <QMap>
#include <QProcess>

namespace harness {
namespace {

const char* const kChildFlag = "--tvpb-child";

QMap<QString, ChildMain>& modes()
{
    static QMap<QString, ChildMain> m;
    return m;
}

} // namespace

bool registerChildMode(const char* name, ChildMain fn)
{
    modes().insert(QString::fromUtf8(name), std::move(fn));
    return true;
}

QProcess* startChild(const QString& mode, const QStringList& args)
{
    auto* p = new QProcess;
    p->setProgram(QCoreApplication::applicationFilePath());
    p->setArguments(QStringList{QString::fromLatin1(kChildFlag), mode} + args);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start();
    if (!p->waitForStarted(30000)) {
        delete p;
        return nullptr;
    }
    return p;
}

int runChild(const QString& mode, const QStringList& args, QString* output, int timeoutMs)
{
    QProcess* p = startChild(mode, args);
    if (!p)
        return -1;
    int code = -1;
    if (p->waitForFinished(timeoutMs) && p->exitStatus() == QProcess::NormalExit)
        code = p->exitCode();
    else
        p->kill(), p->waitForFinished(5000);
    if (output)
        *output = QString::fromUtf8(p->readAllStandardOutput());
    delete p;
    return code;
}

bool runChildModeFromArgs(int argc, char** argv, int* exitCode)
{
    if (argc < 3 || qstrcmp(argv[1], kChildFlag) != 0)
        return false;
    const QString mode = QString::fromLocal8Bit(argv[2]);
    QStringList args;
    for (int i = 3; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const auto it = modes().constFind(mode);
    *exitCode = it == modes().constEnd() ? 100 : (*it)(args);
    return true;
}

} // namespace harness
