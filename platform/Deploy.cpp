// Deployment values from deploy.ini.
#include "Deploy.h"
#include "Services.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QStringList>

namespace platform {
namespace {

struct DeployCache {
    QMutex mutex;
    bool loaded = false;
    QString path;
    QHash<QString, QString> values; // "section/key" -> value
};

DeployCache& cache()
{
    static DeployCache c;
    return c;
}

void loadLocked(DeployCache& c, const QString& path)
{
    c.values.clear();
    c.path = path;
    c.loaded = true;
    QSettings ini(path, QSettings::IniFormat);
    for (const QString& k : ini.allKeys()) {
        const QVariant v = ini.value(k);
        // QSettings splits unquoted values at commas; the file means the whole text.
        c.values.insert(k.toLower(), v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString());
    }
}

} // namespace

QString Deploy::filePath()
{
    const QString env = qEnvironmentVariable("TVPB_DEPLOY");
    return env.isEmpty() ? programFile(QStringLiteral("deploy.ini")) : env;
}

QString Deploy::value(const QString& section, const QString& key, const QString& fallback)
{
    auto& c = cache();
    QMutexLocker lock(&c.mutex);
    const QString path = filePath();
    if (!c.loaded || c.path != path)
        loadLocked(c, path);
    const QString name = (section + QLatin1Char('/') + key).toLower();
    const auto it = c.values.constFind(name);
    return it == c.values.constEnd() ? fallback : *it;
}

QString Deploy::serverHost()
{
    return value(QStringLiteral("bank"), QStringLiteral("server_host"));
}

QString Deploy::gatewayPublicKey()
{
    return value(QStringLiteral("bank"), QStringLiteral("gateway_public_key"));
}

QString Deploy::downloadHost()
{
    return value(QStringLiteral("download"), QStringLiteral("host"));
}

void Deploy::reload()
{
    auto& c = cache();
    QMutexLocker lock(&c.mutex);
    loadLocked(c, filePath());
}

} // namespace platform
