// TavrinPdaBanking: the program the user starts.
#include "CTavrinPdaBankingDlg.h"

#include <DeviceFrame.h>
#include <Modal.h>
#include <Services.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {
long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
} // namespace

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
    QCommandLineOption readyExit(QStringLiteral("ready-exit"),
                                 QStringLiteral("Print \"ready rss_kb=N\" once the start screen is shown, then exit "
                                                "(start-up benchmark)."));
    args.addOption(readyExit);
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
    if (args.isSet(readyExit)) {
        QObject::connect(&shell, &CTavrinPdaBankingDlg::moduleStarted, &frame, [](int, QWidget*) {
            // Runs inside the screen's modal loop, once it is on screen.
            QTimer::singleShot(0, [] {
                std::printf("ready rss_kb=%ld\n", residentKb());
                std::fflush(stdout);
                std::_Exit(0);
            });
        });
    }
    shell.start();
    return app.exec();
}
