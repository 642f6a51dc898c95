// TavrinPdaBanking: the program the user starts.
#include "CTavrinPdaBankingDlg.h"

#include <DeviceFrame.h>
#include <Modal.h>
#include <Services.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TavrinPdaBanking"));
    platform::installKoreanTranslation(app);
    platform::applyDeviceFont(app);

    QCommandLineParser args;
    args.addHelpOption();
    QCommandLineOption shot(QStringLiteral("shot"),
                            QStringLiteral("Save a PNG of the device window to FILE once the first screen is up."),
                            QStringLiteral("FILE"));
    args.addOption(shot);
    args.process(app);

    platform::DeviceFrame frame;
    CTavrinPdaBankingDlg shell(&frame);
    QObject::connect(&shell, &CTavrinPdaBankingDlg::quitRequested, &app, &QApplication::quit, Qt::QueuedConnection);
    frame.show();

    if (args.isSet(shot)) {
        const QString file = args.value(shot);
        QObject::connect(&shell, &CTavrinPdaBankingDlg::moduleStarted, &frame, [&frame, file](int, QWidget*) {
            QTimer::singleShot(800, &frame, [&frame, file] { frame.grab().save(file); });
        });
    }
    shell.start();
    return app.exec();
}
