#pragma once
// A bank's release on loopback for the updater's tests: a program folder made
// from the build's (hard links, so nothing is copied), a data folder made by
// `bankd init` that pins its update key in the folder's deploy.ini, and
// `bankd serve` as the download host. Releases are published with `bankd publish`.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vuptest {

struct UpdaterRun {
    int exitCode = -1;
    bool crashed = false;
    QString output;
};

class ReleaseFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString bin(const QString& name) const;      // a file of the build's program folder
    QString prog(const QString& name) const;     // a file of the test's program folder
    QString download(const QString& name) const; // a file the bank serves
    QString scratch(const QString& name) const;

    // `bankd publish`; exit code, output in *output.
    int publish(const QString& file, const QString& version, QString* output = nullptr);
    // A copy of a built file carrying another embedded version (tvpb_setversion).
    QString withVersion(const QString& builtName, const QString& version);
    // Sets the updater's settings: Equal_VUP 1 and LAN.
    void updateOverLan();
    // Runs the test program folder's updater to its end (client arguments after it).
    UpdaterRun runUpdater(const QStringList& args = {}, const QStringList& extraEnv = {});
    // Starts the client of the test program folder and waits for its start screen.
    bool clientStarts();

    std::unique_ptr<QTemporaryDir> root;
    QString data;
    QString programDir;
    QString host;
    QProcess bank;
};

// Whole contents of a file ("<missing>" when it cannot be read).
QByteArray fileBytes(const QString& path);

} // namespace vuptest
