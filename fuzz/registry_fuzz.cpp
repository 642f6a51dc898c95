// The registry reader on a hostile root file: whatever the file holds, reads
// answer (or answer nothing) without a fault, and a write made over it is read
// back as written.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>

#include "FuzzHome.h"
#include "FuzzInput.h"
#include "Registry.h"

namespace {

QString text(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("TVPB_HOME", QByteArray::fromStdString(fuzz::scratchFolder("registry")));
    return 0;
}

// Input: flags byte, key, name, value (records), then the root file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using platform::Registry;
    using platform::Root;
    fuzz::Reader in(data, size);
    const std::uint8_t flags = in.byte();
    const Root root = (flags & 1) ? Root::CurrentUser : Root::LocalMachine;
    const QString key = text(in.chunk());
    const QString name = text(in.chunk());
    const QString value = text(in.chunk());
    const std::string_view file = in.rest();

    const QString folder = QString::fromStdString(fuzz::scratchFolder("registry")) + QStringLiteral("/registry");
    const QString base = root == Root::LocalMachine ? QStringLiteral("local_machine") : QStringLiteral("current_user");
    QFile::remove(folder + QLatin1Char('/') + base + QStringLiteral(".corrupt"));
    {
        Registry::createKey(root, QStringLiteral("Probe")); // makes the folder
        QFile f(folder + QLatin1Char('/') + base + QStringLiteral(".json"));
        fuzz::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the root file");
        f.write(file.data(), static_cast<qint64>(file.size()));
    }

    Registry::keyExists(root, key);
    Registry::getNumber(root, key, name);
    Registry::getText(root, key, name);
    if (flags & 2)
        Registry::readNumber(root, key, name, 7);
    if (flags & 4)
        Registry::readText(root, key, name, value);
    if (flags & 8)
        Registry::deleteValue(root, key, name);

    // A write over whatever the file held is read back as written.
    if (Registry::setText(root, key, name, value)) {
        fuzz::check(Registry::keyExists(root, key), "a written key is missing");
        const auto back = Registry::getText(root, key, name);
        fuzz::check(back && *back == value, "a written text reads back differently");
    }
    if (Registry::setNumber(root, key, name, flags * 65537u)) {
        const auto back = Registry::getNumber(root, key, name);
        fuzz::check(back && *back == flags * 65537u, "a written number reads back differently");
    }
    return 0;
}
