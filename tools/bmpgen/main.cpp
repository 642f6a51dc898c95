// Draws the program folder's button faces and pictures, and writes its sounds.
#include <QCommandLineParser>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextStream>

#include "Generator.h"

int main(int argc, char** argv)
{
    // Drawing text needs the font database, hence a GUI application; the build
    // runs it with the offscreen platform.
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws button bitmaps, pictures and sounds"));
    parser.addHelpOption();
    const QCommandLineOption buttons(QStringLiteral("buttons"), QStringLiteral("List of button names."),
                                     QStringLiteral("file"));
    const QCommandLineOption bmpDir(QStringLiteral("bmp-dir"), QStringLiteral("Folder for the bitmaps."),
                                    QStringLiteral("dir"));
    const QCommandLineOption soundDir(QStringLiteral("sound-dir"), QStringLiteral("Folder for the sounds."),
                                      QStringLiteral("dir"));
    parser.addOptions({buttons, bmpDir, soundDir});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(buttons) || !parser.isSet(bmpDir) || !parser.isSet(soundDir)) {
        err << "tvpb_bmpgen: --buttons, --bmp-dir and --sound-dir are required\n";
        return 2;
    }
    // Without the Korean font every label would come out as empty boxes.
    if (!QFontDatabase::families().contains(QStringLiteral("NanumGothic"))) {
        err << "tvpb_bmpgen: the NanumGothic font is not installed (fonts-nanum)\n";
        return 1;
    }
    bmpgen::Generator gen({parser.value(buttons), parser.value(bmpDir), parser.value(soundDir)});
    if (!gen.run()) {
        for (const QString& e : gen.errors())
            err << "tvpb_bmpgen: " << e << '\n';
        return 1;
    }
    QTextStream(stdout) << "tvpb_bmpgen: " << gen.bitmapsWritten().size() << " bitmaps, "
                        << gen.soundsWritten().size() << " sounds\n";
    return 0;
}
