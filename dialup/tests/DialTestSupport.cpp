#include "DialTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

#include "Deploy.h"
#include "RasService.h"
#include "Registry.h"
#include "Screenshot.h"
#include "Services.h"
#include "TestHome.h"

namespace dialtest {

void DialTest::SetUp() {
    ticks = 1000000;
    platform::setClock([] { return QDateTime(QDate(2026, 3, 2), QTime(10, 0)); }, [this] { return ticks; },
                       [this](int ms) { ticks += ms; });
    const QString deploy = QDir(harness::testHome()).filePath(QStringLiteral("deploy.ini"));
    QFile f(deploy);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[carrier]\nskt_account=tvpbpda@skt.tavrin.kr\nskt_realm=skt.tavrin.kr\n"
            "ktf_realm=ktfpda.kr\nlgt_realm=lgtpda.kr\n");
    f.close();
    qputenv("TVPB_DEPLOY", deploy.toLocal8Bit());
    platform::Deploy::reload();
    platform::RasService::setBackend(nullptr);
}

void DialTest::TearDown() {
    // The dial state is process-wide: leave no link up for the next test.
    CRasEx ras;
    if (ras.RAS_IsConnected())
        ras.RAS_Disconnect();
    platform::RasService::setBackend(nullptr);
    qunsetenv("TVPB_DEPLOY");
    platform::Deploy::reload();
}

void DialTest::writeBook(const QString& text) {
    QFile f(QDir(harness::testHome()).filePath(QStringLiteral("rasbook.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

QString DialTest::stored(const QString& entry, const QString& name) {
    return platform::Registry::readText(platform::Root::CurrentUser, QStringLiteral("Comm\\RasBook\\") + entry, name);
}

void DialTest::store(const QString& entry, const QString& name, const QString& value) {
    const QString key = QStringLiteral("Comm\\RasBook\\") + entry;
    platform::Registry::createKey(platform::Root::CurrentUser, key);
    ASSERT_TRUE(platform::Registry::setText(platform::Root::CurrentUser, key, name, value));
}

int DialTest::driveProgress(QDialog* dlg, int stepMs, const std::function<void()>& during) {
    auto* status = dlg->findChild<QLabel*>(QStringLiteral("statusLine"));
    EXPECT_NE(status, nullptr);
    auto note = [&] {
        if (status && !status->text().isEmpty() && (statuses.isEmpty() || statuses.last() != status->text()))
            statuses << status->text();
    };
    bool first = true;
    // 120 s of clock at most: far beyond the dialog's own time limit.
    for (qint64 spent = 0; dlg->isVisible() && spent <= 120000; spent += stepMs) {
        ticks += stepMs;
        QTest::qWait(25);
        note();
        if (first && during) {
            first = false;
            during();
        }
    }
    note();
    if (status)
        lastStatus = status->text();
    EXPECT_FALSE(dlg->isVisible()) << "the progress dialog did not close";
    return dlg->result();
}

QString DialTest::shoot(QWidget* w, const QString& name) {
    QString dir = qEnvironmentVariable("TVPB_SHOTS");
    if (dir.isEmpty())
        dir = QStringLiteral("/tmp/shots");
    QDir().mkpath(dir);
    QTest::qWait(10);
    const QImage image = harness::shotImage(w);
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
    return path;
}

} // namespace dialtest
