// Program folder, home folder, file versions and program start.
#include "Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {
namespace {

// The build puts this marker, followed by the version and a zero byte, into
// every program and library. The text is assembled at run time so that this
// library's own copy of the search text is never mistaken for a version.
QByteArray versionMarker()
{
    QByteArray m("TVPB-FILE-");
    m.append("VERSION:");
    return m;
}

bool isVersionChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-' || c == '_';
}

} // namespace

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
    const QByteArray marker = versionMarker();
    for (qsizetype at = data.indexOf(marker); at >= 0; at = data.indexOf(marker, at + 1)) {
        qsizetype end = at + marker.size();
        while (end < data.size() && isVersionChar(data[end]))
            ++end;
        // A real version is a non-empty run of version characters ended by a zero byte.
        if (end > at + marker.size() && end < data.size() && data[end] == '\0')
            return QString::fromLatin1(data.sliced(at + marker.size(), end - at - marker.size()));
    }
    return {};
}

bool startProgram(const QString& name, const QStringList& args)
{
    const QString file = programFile(name);
    if (!QFileInfo(file).isExecutable())
        return false;
    return QProcess::startDetached(file, args, programFolder());
}

} // namespace platform
