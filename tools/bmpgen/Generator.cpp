#include "Generator.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QSet>

#include "ArtPainter.h"
#include "BmpWriter.h"
#include "ButtonList.h"
#include "ButtonPainter.h"
#include "SoundSet.h"

namespace bmpgen {

namespace {
const char kIndexName[] = "index.txt";

// The file names listed by an index: the first word of each non-comment line.
QStringList readIndex(const QString& path)
{
    QStringList names;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return names;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
            continue;
        names.append(t.section(QLatin1Char(' '), 0, 0));
    }
    return names;
}
} // namespace

Generator::Generator(Options options) : m_options(std::move(options)) {}

bool Generator::run()
{
    m_errors.clear();
    m_bitmaps.clear();
    m_indexLines.clear();
    m_sounds.clear();
    for (const QString& dir : {m_options.bmpDir, m_options.soundDir}) {
        if (!QDir().mkpath(dir)) {
            m_errors << QStringLiteral("cannot create %1").arg(dir);
            return false;
        }
    }
    const QStringList previous = readIndex(QDir(m_options.bmpDir).filePath(QString::fromLatin1(kIndexName)));
    if (!drawButtons() || !drawArt() || !writeSounds() || !writeIndex())
        return false;
    removeStale(previous);
    return true;
}

bool Generator::saveBitmap(const QString& fileName, const QImage& image)
{
    QString error;
    if (!writeBmp24(image, QDir(m_options.bmpDir).filePath(fileName), &error)) {
        m_errors << error;
        return false;
    }
    m_bitmaps << fileName;
    m_indexLines << QStringLiteral("%1 %2x%3").arg(fileName).arg(image.width()).arg(image.height());
    return true;
}

bool Generator::drawButtons()
{
    QFile list(m_options.buttonListPath);
    if (!list.open(QIODevice::ReadOnly)) {
        m_errors << QStringLiteral("cannot read %1").arg(m_options.buttonListPath);
        return false;
    }
    QList<ButtonSpec> specs;
    QString error;
    if (!parseButtonList(QString::fromUtf8(list.readAll()), &specs, &error)) {
        m_errors << QStringLiteral("%1: %2").arg(m_options.buttonListPath, error);
        return false;
    }
    for (const ButtonSpec& s : specs) {
        if (!saveBitmap(s.normalFile(), paintButton(s, Face::Normal)) ||
            !saveBitmap(s.pressedFile(), paintButton(s, Face::Pressed)) ||
            !saveBitmap(s.dimmedFile(), paintButton(s, Face::Dimmed)))
            return false;
    }
    return true;
}

bool Generator::drawArt()
{
    for (const ArtSpec& art : programArt()) {
        if (!saveBitmap(art.fileName, art.paint(art.width, art.height)))
            return false;
    }
    return true;
}

bool Generator::writeSounds()
{
    for (const SoundSpec& s : systemSounds()) {
        QString error;
        if (!writeWav(s.tones, QDir(m_options.soundDir).filePath(s.fileName()), &error)) {
            m_errors << error;
            return false;
        }
        m_sounds << s.fileName();
    }
    return true;
}

bool Generator::writeIndex()
{
    QSaveFile f(QDir(m_options.bmpDir).filePath(QString::fromLatin1(kIndexName)));
    if (!f.open(QIODevice::WriteOnly)) {
        m_errors << QStringLiteral("cannot write %1").arg(f.fileName());
        return false;
    }
    QString text = QStringLiteral("# Pictures of the program folder: file, width x height.\n");
    text += m_indexLines.join(QLatin1Char('\n'));
    text += QLatin1Char('\n');
    f.write(text.toUtf8());
    if (!f.commit()) {
        m_errors << QStringLiteral("cannot write %1").arg(f.fileName());
        return false;
    }
    return true;
}

void Generator::removeStale(const QStringList& previous)
{
    const QSet<QString> current(m_bitmaps.cbegin(), m_bitmaps.cend());
    QDir dir(m_options.bmpDir);
    for (const QString& name : previous) {
        // Only plain file names of this folder that this run did not draw.
        if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.')))
            continue;
        if (!current.contains(name))
            dir.remove(name);
    }
}

} // namespace bmpgen
