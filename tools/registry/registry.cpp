// tvpb_registry set-number|set-text local|user KEY NAME VALUE
// Writes one value into the registry of $TVPB_HOME (the client's and the
// updater's settings), e.g. the demo's LAN and updater settings.
#include <QCoreApplication>
#include <QStringList>

#include <Registry.h>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 6 || (a[1] != QLatin1String("set-number") && a[1] != QLatin1String("set-text"))
        || (a[2] != QLatin1String("local") && a[2] != QLatin1String("user"))) {
        std::fprintf(stderr, "usage: tvpb_registry set-number|set-text local|user KEY NAME VALUE\n");
        return 2;
    }
    const platform::Root root = a[2] == QLatin1String("local") ? platform::Root::LocalMachine : platform::Root::CurrentUser;
    bool ok = true;
    if (a[1] == QLatin1String("set-number")) {
        const quint32 value = a[5].toUInt(&ok);
        if (!ok) {
            std::fprintf(stderr, "tvpb_registry: %s is not a number\n", qPrintable(a[5]));
            return 2;
        }
        ok = platform::Registry::setNumber(root, a[3], a[4], value);
    } else {
        ok = platform::Registry::setText(root, a[3], a[4], a[5]);
    }
    if (!ok) {
        std::fprintf(stderr, "tvpb_registry: cannot write the registry under %s\n", qPrintable(qEnvironmentVariable("TVPB_HOME")));
        return 1;
    }
    return 0;
}
