#include "VersionList.h"


#include <sodium.h>

#include <algorithm>
#include <array>

#include <ReleaseSignature.h>

#include <CodePage949Qt.h>
#include <Deploy.h>

namespace vup {

QList<VersionEntry> ReadVersionList(const QString& text)
{
    QList<VersionEntry> out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), pos);
        if (nl < 0) break; // a last line without "\n" is not read
        const QString line = text.mid(pos, nl - pos).trimmed();
        pos = nl + 1;
        if (line.isEmpty()) break;
        if (line.startsWith(QLatin1Char(';'))) continue;
        const qsizetype slash = line.indexOf(QLatin1Char('/'));
        if (slash < 0)
            out.append({QString(), line});
        else
            out.append({line.left(slash).trimmed(), line.mid(slash + 1).trimmed()});
    }
    return out;
}

bool NeedsUpdate(const QString& installed, const QString& listed)
{
    if (listed.isEmpty()) return true;
    return QString::compare(installed, listed, Qt::CaseSensitive) < 0;
}

bool IsPlainFileName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char(':')) return false;
    return true;
}

namespace {

SignedList refuse(const QString& why)
{
    SignedList r;
    r.why = why;
    return r;
}

} // namespace

SignedList CheckSignedList(const QByteArray& fileBytes, const QByteArray& publicKey)
{
    if (publicKey.size() != crypto_sign_PUBLICKEYBYTES) return refuse(QStringLiteral("no pinned update key"));
    std::array<unsigned char, 32> key{};
    std::copy(publicKey.begin(), publicKey.end(), key.begin());
    const std::optional<std::string> body =
        velcor::openReleaseList(std::string_view(fileBytes.constData(), size_t(fileBytes.size())), key);
    if (!body) return refuse(QStringLiteral("not signed by the update key"));

    // Only what the signature covers is read.
    const QString text = cp949::decode(QByteArray::fromStdString(*body));
    const QString hashPrefix = QString::fromLatin1(velcor::kReleaseHashPrefix.data(), qsizetype(velcor::kReleaseHashPrefix.size()));
    SignedList r;
    r.entries = ReadVersionList(text);
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (!line.startsWith(hashPrefix)) continue;
        // The hex digest, one space, then the name (which may hold spaces).
        const QString rest = line.mid(hashPrefix.size()).trimmed();
        const qsizetype space = rest.indexOf(QLatin1Char(' '));
        const QByteArray hash = QByteArray::fromHex(rest.left(space).toLatin1());
        if (space != 64 || hash.size() != crypto_hash_sha256_BYTES) return refuse(QStringLiteral("bad hash line"));
        r.sha256.insert(rest.mid(space + 1).trimmed(), hash);
    }
    for (const VersionEntry& e : r.entries) {
        if (!IsPlainFileName(e.name)) return refuse(QStringLiteral("not a plain file name: ") + e.name);
        if (!r.sha256.contains(e.name)) return refuse(QStringLiteral("no hash for ") + e.name);
    }
    r.ok = true;
    return r;
}

QByteArray PinnedUpdateKey()
{
    const QByteArray key = QByteArray::fromBase64(
        platform::Deploy::value(QStringLiteral("download"), QStringLiteral("update_public_key")).trimmed().toLatin1());
    return key.size() == crypto_sign_PUBLICKEYBYTES ? key : QByteArray();
}

} // namespace vup
