// Program folder, home folder, file versions and program start.
#include "Services.h"
#include "EmbeddedVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

QString programFolder()
{
    // Test programs live outside the program folder; the harness names it.
    const QString forTests = qEnvironmentVariable("TVPB_PROGRAM_DIR");
    if (!forTests.isEmpty())
        return forTests;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QFileInfo exe(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
    return exe.absolutePath();
}

QString programFile(const QString& relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(rel))
        return rel;
    return QDir(programFolder()).filePath(rel);
}

QString homeFolder()
{
    QString home = qEnvironmentVariable("TVPB_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share/tavrin-pda");
    QDir().mkpath(home);
    return QDir(home).absolutePath();
}

QString fileVersion(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = f.size();
    if (size <= 0)
        return {};
    const uchar* mapped = f.map(0, size);
    QByteArray copy;
    QByteArrayView data;
    if (mapped) {
        data = QByteArrayView(reinterpret_cast<const char*>(mapped), size);
    } else {
        copy = f.readAll();
        data = copy;
    }
    return QString::fromStdString(tvpbversion::read(std::string_view(data.data(), size_t(data.size()))));
}

bool startProgram(const QString& name, const QStringList& args)
{
    const QString file = programFile(name);
    if (!QFileInfo(file).isExecutable())
        return false;
    return QProcess::startDetached(file, args, programFolder());
}

} // namespace platform
