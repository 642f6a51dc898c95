// The client's resident memory in each module and its request cycle, measured
// through the real shell against a running bank: the program is the client's
// own (same shell, same module libraries loaded from the program folder, same
// start-up), with the hands of a user replaced by a modal handler. It logs in
// on the start screen (typing the user ID and password, tapping 로그인), then
// opens every module in turn; once each module's screen has been up for a
// while (its opening requests done) it prints
//   module=CODE rss_kb=N hwm_kb=N
// and at the end times the request cycle (encrypt, HTTP, decrypt, read the
// envelope) of the account list through the logged-in session:
//   cycle n=N p50_ms=X p99_ms=Y
//
//   TVPB_PROGRAM_DIR=build/bin TVPB_HOME=... TVPB_DEPLOY=... tvpb_module_walk USER PASSWORD
#include <CQV.h>
#include <CQVParser.h>
#include <CTavrinPdaBankingDlg.h>
#include <DeviceFrame.h>
#include <Modal.h>
#include <ModuleSwitch.h>
#include <Services.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

long statusKb(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(static_cast<int>(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Lets the screen do what it does on its own (opening requests, timers) for `ms`.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The modules after the start screen, in the order they are opened. 2100 (the
// account inquiry) is where the login lands.
const std::vector<int> kWalk = {2100, 2200, 2300, 2400, 3100, 3200, 3300, 3400, 3500, 1200, 1300};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tvpb_module_walk USER PASSWORD [cycles]\n");
        return 2;
    }
    const QString userId = QString::fromLocal8Bit(argv[1]);
    const QString password = QString::fromLocal8Bit(argv[2]);
    const int cycles = argc > 3 ? std::max(1, std::atoi(argv[3])) : 200;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // As the client's main.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TavrinPdaBanking"));
    platform::installKoreanTranslation(app);
    platform::applyDeviceFont(app);
    platform::DeviceFrame frame;
    CTavrinPdaBankingDlg shell(&frame);
    frame.show();

    QPointer<QDialog> moduleScreen;
    int moduleCode = 0;
    QObject::connect(&shell, &CTavrinPdaBankingDlg::moduleStarted, &frame, [&](int code, QWidget* screen) {
        moduleCode = code;
        moduleScreen = qobject_cast<QDialog*>(screen);
    });

    size_t next = 0;
    int failures = 0;
    bool loggedIn = false;
    platform::setModalHandler([&](platform::ModalRequest& req) -> int {
        if (req.kind == platform::ModalRequest::MessageBox) {
            std::fprintf(stderr, "message (module %d): %s\n", moduleCode, qPrintable(req.text));
            return (req.flags & 0xF) == platform::MB_YESNO ? platform::IDNO : platform::IDOK;
        }
        if (req.dialog != moduleScreen) return QDialog::Rejected;  // a dialog inside a module: closed
        settle(700);
        std::printf("module=%d rss_kb=%ld hwm_kb=%ld\n", moduleCode, statusKb("VmRSS:"), statusKb("VmHWM:"));
        std::fflush(stdout);
        if (moduleCode == 1100 && !loggedIn) {
            // The user's hands: ID, password, 로그인.
            auto* id = req.dialog->findChild<QLineEdit*>(QStringLiteral("edit1001"));
            auto* pw = req.dialog->findChild<QLineEdit*>(QStringLiteral("edit1002"));
            auto* button = req.dialog->findChild<QAbstractButton*>(QStringLiteral("button1006"));
            if (!id || !pw || !button) {
                std::fprintf(stderr, "tvpb_module_walk: the start screen has no login fields\n");
                std::_Exit(1);
            }
            id->setText(userId);
            pw->setText(password);
            button->click();
            loggedIn = true;
            if (req.dialog && req.dialog->isVisible()) {
                std::fprintf(stderr, "tvpb_module_walk: the login did not go through\n");
                std::_Exit(1);
            }
            ++next;  // the start screen moves on to 2100 itself
            return 1;
        }
        if (moduleCode != kWalk[next - 1]) ++failures;  // a module missing or refused
        if (next < kWalk.size()) {
            platform::postModuleSwitch(&shell, kWalk[next++]);
            return QDialog::Rejected;
        }
        // The request cycle, through the logged-in session of the shell.
        CQVParser parser(shell.session());
        const QString request = QStringLiteral("encrypt=1&trcode=PDA_U002&UserID=%1").arg(userId);
        std::vector<double> ms;
        QString reply;
        for (int i = 0; i < cycles; ++i) {
            QElapsedTimer t;
            t.start();
            const int ok = parser.TransData(request, reply, 1, 0);
            const double took = static_cast<double>(t.nsecsElapsed()) / 1e6;
            if (!ok || !reply.contains(QStringLiteral("<msg>10000;"))) {
                std::fprintf(stderr, "tvpb_module_walk: request cycle failed: %s\n", qPrintable(reply.left(120)));
                std::_Exit(1);
            }
            ms.push_back(took);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("cycle n=%zu p50_ms=%.3f p99_ms=%.3f\n", ms.size(), ms[ms.size() / 2],
                    ms[std::min(ms.size() - 1, ms.size() * 99 / 100)]);
        std::fflush(stdout);
        std::_Exit(failures == 0 ? 0 : 1);
    });
    // The walk cannot hang a benchmark run.
    QTimer::singleShot(120000, [] {
        std::fprintf(stderr, "tvpb_module_walk: gave up after 120 s\n");
        std::_Exit(1);
    });
    shell.start();
    return app.exec();
}
