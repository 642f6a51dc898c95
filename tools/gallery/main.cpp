// tvpb_gallery: every Lattice control on the device frame with Hangul texts.
//   tvpb_gallery              interactive
//   tvpb_gallery --shot DIR   saves a PNG of every page into DIR and quits
#include <QApplication>
#include <QTextStream>

#include "DeviceFrame.h"
#include "GalleryScreen.h"
#include "Services.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    platform::installKoreanTranslation(app);
    platform::applyDeviceFont(app);

    QString shotDir;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--shot") && i + 1 < args.size()) {
            shotDir = args[++i];
        } else {
            QTextStream(stderr) << "usage: tvpb_gallery [--shot DIR]\n";
            return 2;
        }
    }

    platform::DeviceFrame frame;
    frame.setCaption(QStringLiteral("Lattice 갤러리"));
    auto* screen = new gallery::GalleryScreen(nullptr);
    frame.show();
    screen->show();

    if (!shotDir.isEmpty()) {
        const QStringList files = screen->saveShots(shotDir);
        QTextStream out(stdout);
        for (const QString& f : files)
            out << f << '\n';
        const bool complete = files.size() >= screen->pageCount();
        delete screen;
        return complete ? 0 : 1;
    }
    const int rc = app.exec();
    delete screen;
    return rc;
}
