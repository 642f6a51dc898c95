#pragma once
// Installs a set of program files all or nothing. The files are staged in
// "<program folder>/.vup-stage/" and checked there; then the old files are kept
// (hard links in ".vup-old/"), a journal names the set, and each staged file
// takes its place by rename. A run that stops half-way (power loss, a kill) is
// finished by the next run's Recover(); a rename that fails puts the old set
// back. Listed names never begin with ".", so the two folders cannot collide.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vup {

class CInstaller {
public:
    explicit CInstaller(const QString& programFolder);

    QString stageFolder() const;
    QString stagedPath(const QString& name) const;

    // Finishes an install the journal names (or rolls it back when that cannot
    // be done) and removes what an unfinished staging left.
    void Recover();
    // An empty staging folder; FALSE when it cannot be made.
    bool BeginStaging();
    // The staged file has the listed SHA-256 and, unless the listed version is
    // empty, that embedded version. `why` says what differs.
    bool CheckStaged(const QString& name, const QByteArray& sha256, const QString& version, QString* why) const;
    // Installs the staged files; FALSE when it failed and the old set is back.
    bool Install(const QStringList& names);
    void DiscardStaging();

private:
    struct Item {
        QString name;
        bool hadOld = false;
    };
    bool writeJournal(const QList<Item>& items);
    QList<Item> readJournal() const;
    void rollBack(const QList<Item>& items);
    void finish();
    // Crash tests stop the process here (TVPB_VUP_CRASH_AFTER_STEP=n).
    void step();

    QString folder_;
    int step_ = 0;
};

} // namespace vup
