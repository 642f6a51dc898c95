// The registry: one file per root under $TVPB_HOME/registry/, shared by every
// program of the suite. A write holds an exclusive lock on the root, reads the
// file afresh, changes it, writes a temporary file, flushes it to the disk and
// renames it over the old one, so a reader sees either the old or the new file
// and two programs never lose each other's writes. Reads always look at the file
// itself, so they see what another program wrote.
#include "Registry.h"
#include "Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <functional>

namespace platform {
namespace {

// File layout (JSON):
//   { "keys": { "<folded key>": { "name": "<key as first written>",
//                                 "values": { "<folded name>": { "name": ..., "type": "dword"|"sz", "data": ... } } } } }
const QString kKeys = QStringLiteral("keys");
const QString kValues = QStringLiteral("values");
const QString kName = QStringLiteral("name");
const QString kType = QStringLiteral("type");
const QString kData = QStringLiteral("data");
const QString kDword = QStringLiteral("dword");
const QString kText = QStringLiteral("sz");

QMutex g_writeMutex;

QString rootFileBase(Root root)
{
    return root == Root::LocalMachine ? QStringLiteral("local_machine") : QStringLiteral("current_user");
}

QString registryFolder()
{
    const QString dir = homeFolder() + QStringLiteral("/registry");
    QDir().mkpath(dir);
    return dir;
}

QString dataPath(Root root)
{
    return registryFolder() + QLatin1Char('/') + rootFileBase(root) + QStringLiteral(".json");
}

// Key names: back-slash separated, compared without regard to case.
QString tidyKey(const QString& key)
{
    QStringList parts = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\'));
}

QString foldName(const QString& name)
{
    return name.toCaseFolded();
}

QJsonObject readRoot(const QString& path, bool* corrupt = nullptr)
{
    if (corrupt)
        *corrupt = false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (bytes.isEmpty())
        return {};
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        if (corrupt)
            *corrupt = true;
        return {};
    }
    return doc.object();
}

bool writeFully(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

// Writes the whole root atomically: temporary file, fsync, rename, fsync of the folder.
bool writeRoot(const QString& path, const QJsonObject& rootObj)
{
    const QByteArray bytes = QJsonDocument(rootObj).toJson(QJsonDocument::Indented);
    const QByteArray target = QFile::encodeName(path);
    const QByteArray tmp = target + ".tmp." + QByteArray::number(::getpid());
    const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = writeFully(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(tmp.constData(), target.constData()) != 0) {
        ::unlink(tmp.constData());
        return false;
    }
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

// Runs one read-modify-write of a root under its lock. `change` returns false to
// leave the file untouched (nothing to write); the result is then `unchangedResult`.
bool modifyRoot(Root root, const std::function<bool(QJsonObject& keys, bool& result)>& change)
{
    QMutexLocker guard(&g_writeMutex);
    const QString path = dataPath(root);
    const QByteArray lockPath = QFile::encodeName(registryFolder() + QLatin1Char('/') + rootFileBase(root) + QStringLiteral(".lock"));
    const int lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return false;
    while (::flock(lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(lockFd);
            return false;
        }
    }
    bool corrupt = false;
    QJsonObject rootObj = readRoot(path, &corrupt);
    if (corrupt) // keep the unreadable file for inspection rather than losing it silently
        QFile::copy(path, path + QStringLiteral(".corrupt"));
    QJsonObject keys = rootObj.value(kKeys).toObject();
    bool result = false;
    bool write = change(keys, result);
    if (write) {
        rootObj.insert(kKeys, keys);
        result = writeRoot(path, rootObj) && result;
    }
    ::flock(lockFd, LOCK_UN);
    ::close(lockFd);
    return result;
}

QJsonObject readKeys(Root root)
{
    return readRoot(dataPath(root)).value(kKeys).toObject();
}

std::optional<QJsonObject> findValue(Root root, const QString& key, const QString& name)
{
    const QJsonObject keys = readKeys(root);
    const auto k = keys.constFind(foldName(tidyKey(key)));
    if (k == keys.constEnd())
        return std::nullopt;
    const QJsonObject values = k->toObject().value(kValues).toObject();
    const auto v = values.constFind(foldName(name));
    if (v == values.constEnd())
        return std::nullopt;
    return v->toObject();
}

// Adds the key (and its parent keys, as the original's create does) to `keys`.
QJsonObject& ensureKey(QJsonObject& keys, const QString& key, QJsonObject& scratch)
{
    const QStringList parts = key.split(QLatin1Char('\\'));
    QString path;
    for (const QString& part : parts) {
        path = path.isEmpty() ? part : path + QLatin1Char('\\') + part;
        const QString folded = foldName(path);
        if (!keys.contains(folded)) {
            QJsonObject k;
            k.insert(kName, path);
            k.insert(kValues, QJsonObject());
            keys.insert(folded, k);
        }
    }
    scratch = keys.value(foldName(key)).toObject();
    return scratch;
}

bool setValue(Root root, const QString& key, const QString& name, const QString& type, const QJsonValue& data)
{
    const QString tidy = tidyKey(key);
    if (tidy.isEmpty())
        return false;
    return modifyRoot(root, [&](QJsonObject& keys, bool& result) {
        QJsonObject scratch;
        QJsonObject& k = ensureKey(keys, tidy, scratch);
        QJsonObject values = k.value(kValues).toObject();
        const QString folded = foldName(name);
        QJsonObject v;
        // The value keeps the spelling of its name as first written.
        v.insert(kName, values.contains(folded) ? values.value(folded).toObject().value(kName).toString() : name);
        v.insert(kType, type);
        v.insert(kData, data);
        values.insert(folded, v);
        k.insert(kValues, values);
        keys.insert(foldName(tidy), k);
        result = true;
        return true;
    });
}

// Writes `value` as the default of a missing value, in one locked step so that a
// value another program wrote meanwhile is not overwritten; `value` becomes what
// the value now holds. A value of another type under this name is left alone and
// the default is answered without writing.
void storeDefault(Root root, const QString& key, const QString& name, const QString& type, QJsonValue& value)
{
    const QString tidy = tidyKey(key);
    if (tidy.isEmpty())
        return;
    modifyRoot(root, [&](QJsonObject& keys, bool& result) {
        QJsonObject scratch;
        QJsonObject& k = ensureKey(keys, tidy, scratch);
        QJsonObject values = k.value(kValues).toObject();
        const QString folded = foldName(name);
        result = true;
        if (values.contains(folded)) {
            const QJsonObject existing = values.value(folded).toObject();
            if (existing.value(kType).toString() == type)
                value = existing.value(kData);
            return false;
        }
        QJsonObject v;
        v.insert(kName, name);
        v.insert(kType, type);
        v.insert(kData, value);
        values.insert(folded, v);
        k.insert(kValues, values);
        keys.insert(foldName(tidy), k);
        return true;
    });
}

} // namespace

bool Registry::keyExists(Root root, const QString& key)
{
    const QString tidy = tidyKey(key);
    if (tidy.isEmpty())
        return true; // the root itself
    return readKeys(root).contains(foldName(tidy));
}

bool Registry::createKey(Root root, const QString& key)
{
    const QString tidy = tidyKey(key);
    if (tidy.isEmpty())
        return true;
    return modifyRoot(root, [&](QJsonObject& keys, bool& result) {
        result = true;
        if (keys.contains(foldName(tidy)))
            return false;
        QJsonObject scratch;
        ensureKey(keys, tidy, scratch);
        return true;
    });
}

std::optional<quint32> Registry::getNumber(Root root, const QString& key, const QString& name)
{
    const auto v = findValue(root, key, name);
    if (!v || v->value(kType).toString() != kDword)
        return std::nullopt;
    const double d = v->value(kData).toDouble(-1);
    if (d < 0 || d > 4294967295.0)
        return std::nullopt;
    return static_cast<quint32>(d);
}

std::optional<QString> Registry::getText(Root root, const QString& key, const QString& name)
{
    const auto v = findValue(root, key, name);
    if (!v || v->value(kType).toString() != kText)
        return std::nullopt;
    return v->value(kData).toString();
}

bool Registry::setNumber(Root root, const QString& key, const QString& name, quint32 value)
{
    return setValue(root, key, name, kDword, QJsonValue(static_cast<qint64>(value)));
}

bool Registry::setText(Root root, const QString& key, const QString& name, const QString& value)
{
    return setValue(root, key, name, kText, QJsonValue(value));
}

bool Registry::deleteValue(Root root, const QString& key, const QString& name)
{
    const QString tidy = tidyKey(key);
    return modifyRoot(root, [&](QJsonObject& keys, bool& result) {
        const QString foldedKey = foldName(tidy);
        QJsonObject k = keys.value(foldedKey).toObject();
        QJsonObject values = k.value(kValues).toObject();
        const QString folded = foldName(name);
        result = values.contains(folded);
        if (!result)
            return false;
        values.remove(folded);
        k.insert(kValues, values);
        keys.insert(foldedKey, k);
        return true;
    });
}

quint32 Registry::readNumber(Root root, const QString& key, const QString& name, quint32 defaultValue)
{
    if (const auto v = getNumber(root, key, name))
        return *v;
    if (defaultValue == kNoDefault)
        return kNoDefault;
    QJsonValue answer(static_cast<qint64>(defaultValue));
    storeDefault(root, key, name, kDword, answer);
    const double d = answer.toDouble(-1);
    return (d >= 0 && d <= 4294967295.0) ? static_cast<quint32>(d) : defaultValue;
}

QString Registry::readText(Root root, const QString& key, const QString& name, const std::optional<QString>& defaultValue)
{
    if (const auto v = getText(root, key, name))
        return *v;
    if (!defaultValue)
        return {};
    QJsonValue answer(*defaultValue);
    storeDefault(root, key, name, kText, answer);
    return answer.toString();
}

} // namespace platform
