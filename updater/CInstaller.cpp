#include "CInstaller.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <Services.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vup {
namespace {

const QString kStage = QStringLiteral(".vup-stage");
const QString kOld = QStringLiteral(".vup-old");
const QString kJournal = QStringLiteral("INSTALL");

// A rename or link is durable only once its folder is on disk.
void syncFolder(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool renameOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

CInstaller::CInstaller(const QString& programFolder) : folder_(programFolder) {}

QString CInstaller::stageFolder() const { return QDir(folder_).filePath(kStage); }
QString CInstaller::stagedPath(const QString& name) const { return QDir(stageFolder()).filePath(name); }

void CInstaller::step()
{
    ++step_;
    bool ok = false;
    const int crashAt = qEnvironmentVariableIntValue("TVPB_VUP_CRASH_AFTER_STEP", &ok);
    if (ok && crashAt == step_) ::raise(SIGKILL);
}

bool CInstaller::BeginStaging()
{
    QDir(stageFolder()).removeRecursively();
    QDir(QDir(folder_).filePath(kOld)).removeRecursively();
    return QDir().mkpath(stageFolder());
}

void CInstaller::DiscardStaging()
{
    QDir(stageFolder()).removeRecursively();
}

bool CInstaller::CheckStaged(const QString& name, const QByteArray& sha256, const QString& version, QString* why) const
{
    QFile f(stagedPath(name));
    if (!f.open(QIODevice::ReadOnly)) {
        *why = name + QStringLiteral(": not staged");
        return false;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&f) || hash.result() != sha256) {
        *why = name + QStringLiteral(": hash differs");
        return false;
    }
    if (!version.isEmpty() && platform::fileVersion(stagedPath(name)) != version) {
        *why = name + QStringLiteral(": embedded version differs");
        return false;
    }
    return true;
}

bool CInstaller::writeJournal(const QList<Item>& items)
{
    QSaveFile journal(QDir(stageFolder()).filePath(kJournal));
    if (!journal.open(QIODevice::WriteOnly)) return false;
    for (const Item& item : items)
        journal.write((item.name + (item.hadOld ? QStringLiteral("\told\n") : QStringLiteral("\tnew\n"))).toUtf8());
    if (!journal.flush() || ::fsync(journal.handle()) != 0 || !journal.commit()) return false;
    syncFolder(stageFolder());
    return true;
}

QList<CInstaller::Item> CInstaller::readJournal() const
{
    QList<Item> items;
    QFile f(QDir(stageFolder()).filePath(kJournal));
    if (!f.open(QIODevice::ReadOnly)) return items;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() != 2) continue;
        items.append({QString::fromUtf8(parts[0]), parts[1] == "old"});
    }
    return items;
}

bool CInstaller::Install(const QStringList& names)
{
    const QDir program(folder_);
    const QString oldFolder = program.filePath(kOld);
    QDir(oldFolder).removeRecursively();
    if (!QDir().mkpath(oldFolder)) return false;

    // Keep the old files: a second name for each, so the set in place stays whole.
    QList<Item> items;
    for (const QString& name : names) {
        Item item{name, QFileInfo::exists(program.filePath(name))};
        if (item.hadOld) {
            const QString keep = QDir(oldFolder).filePath(name);
            if (::link(QFile::encodeName(program.filePath(name)).constData(), QFile::encodeName(keep).constData()) != 0
                && !QFile::copy(program.filePath(name), keep)) {
                QDir(oldFolder).removeRecursively();
                return false;
            }
        }
        items.append(item);
    }
    syncFolder(oldFolder);
    step();
    // From here on the set is committed: a stop is finished by the next run.
    if (!writeJournal(items)) {
        QDir(oldFolder).removeRecursively();
        return false;
    }
    step();
    for (const Item& item : items) {
        if (!renameOver(stagedPath(item.name), program.filePath(item.name))) {
            rollBack(items);
            return false;
        }
        syncFolder(folder_);
        step();
    }
    finish();
    return true;
}

void CInstaller::rollBack(const QList<Item>& items)
{
    const QDir program(folder_);
    const QDir old(program.filePath(kOld));
    for (const Item& item : items) {
        if (item.hadOld) {
            if (QFileInfo::exists(old.filePath(item.name)))
                renameOver(old.filePath(item.name), program.filePath(item.name));
        } else if (!QFileInfo::exists(stagedPath(item.name))) {
            QFile::remove(program.filePath(item.name)); // a new file that was already put in place
        }
    }
    syncFolder(folder_);
    finish();
}

void CInstaller::finish()
{
    QFile::remove(QDir(stageFolder()).filePath(kJournal));
    syncFolder(stageFolder());
    QDir(QDir(folder_).filePath(kOld)).removeRecursively();
    DiscardStaging();
}

void CInstaller::Recover()
{
    const QList<Item> items = readJournal();
    if (items.isEmpty()) {
        // Nothing was committed: the files in place are the old set.
        DiscardStaging();
        QDir(QDir(folder_).filePath(kOld)).removeRecursively();
        return;
    }
    const QDir program(folder_);
    for (const Item& item : items) {
        if (QFileInfo::exists(stagedPath(item.name))
            && !renameOver(stagedPath(item.name), program.filePath(item.name))) {
            rollBack(items);
            return;
        }
    }
    syncFolder(folder_);
    finish();
}

} // namespace vup
