#pragma once
#include <QImage>
#include <QString>
#include <QStringList>

namespace bmpgen {

// Lays out the program folder's pictures and sounds:
//   bmpDir/   three faces of every listed button, the other pictures, index.txt
//   soundDir/ one WAV file per system sound
// Files that an earlier run listed in index.txt and this run no longer draws are
// removed, so a name taken off the list does not linger.
class Generator {
public:
    struct Options {
        QString buttonListPath;
        QString bmpDir;
        QString soundDir;
    };

    explicit Generator(Options options);

    // False, with errors(), on the first failure.
    bool run();

    QStringList errors() const { return m_errors; }
    // Every file written into bmpDir, in order ("조회_4226.bmp" ...).
    QStringList bitmapsWritten() const { return m_bitmaps; }
    QStringList soundsWritten() const { return m_sounds; }

private:
    bool drawButtons();
    bool drawArt();
    bool writeSounds();
    bool writeIndex();
    void removeStale(const QStringList& previous);
    bool saveBitmap(const QString& fileName, const QImage& image);

    Options m_options;
    QStringList m_errors;
    QStringList m_bitmaps;
    QStringList m_indexLines;
    QStringList m_sounds;
};

} // namespace bmpgen
